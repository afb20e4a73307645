#include "engine/quality_state.h"

#include "framework/byte_chunk.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr char kMagic[4] = {'T', 'V', 'Q', 'X'};
constexpr int kCheckValues = 11;
constexpr int kPayloadBytes = 4 + 8 * (kBandCount + kCheckValues);

double Finite(double v, double otherwise) {
    return std::isfinite(v) ? v : otherwise;
}

} // namespace

bool PutQualityExtension(IByteChunk& chunk, const MeasurementQuality& q) {
    const CaptureChecks& c = q.checks;
    const double checks[kCheckValues] = {static_cast<double>(c.reference.clippedSamples),
                                         c.reference.rmsDbfs,
                                         c.reference.silent ? 1.0 : 0.0,
                                         static_cast<double>(c.target.clippedSamples),
                                         c.target.rmsDbfs,
                                         c.target.silent ? 1.0 : 0.0,
                                         c.correlated ? 1.0 : 0.0,
                                         c.correlationPeak,
                                         c.polarityInverted ? 1.0 : 0.0,
                                         c.delaySamples,
                                         c.delayMs};
    const int32_t version = kQualityExtensionVersion, size = kPayloadBytes, known = q.known ? 1 : 0;
    return chunk.Put(kMagic, 4) > 0 && chunk.PutValue(version) > 0 && chunk.PutValue(size) > 0 &&
           chunk.PutValue(known) > 0 && chunk.Put(q.coherence.data(), 8 * kBandCount) > 0 &&
           chunk.Put(checks, 8 * kCheckValues) > 0;
}

void GetQualityExtension(const IByteChunk& chunk, int p, MeasurementQuality& out) {
    out = MeasurementQuality{};
    if (p < 0 || static_cast<int64_t>(chunk.Size()) < static_cast<int64_t>(p) + 12) return;
    char magic[4];
    int32_t version = 0, size = 0, known = 0;
    if (chunk.Get(magic, 4, p) < 0 || std::memcmp(magic, kMagic, 4) != 0) return;
    if (chunk.GetValue(&version, p + 4) < 0 || chunk.GetValue(&size, p + 8) < 0) return;
    // Any later version keeps version 1's payload first.
    if (version < 1 || size < kPayloadBytes) return;
    if (static_cast<int64_t>(chunk.Size()) < static_cast<int64_t>(p) + 12 + kPayloadBytes) return;
    MeasurementQuality q;
    double checks[kCheckValues];
    int at = p + 12;
    if (chunk.GetValue(&known, at) < 0 || chunk.Get(q.coherence.data(), 8 * kBandCount, at + 4) < 0 ||
        chunk.Get(checks, 8 * kCheckValues, at + 4 + 8 * kBandCount) < 0)
        return;
    if (known != 1) return;
    for (double& v : q.coherence)
        v = std::clamp(Finite(v, 0.0), 0.0, 1.0);
    for (double& v : checks)
        v = Finite(v, 0.0);
    CaptureChecks& c = q.checks;
    auto count = [](double v) { return static_cast<long>(std::clamp(v, 0.0, 1e15)); };
    c.reference = {count(checks[0]), checks[1], checks[2] != 0.0};
    c.target = {count(checks[3]), checks[4], checks[5] != 0.0};
    c.correlated = checks[6] != 0.0;
    c.correlationPeak = std::clamp(checks[7], -1.0, 1.0);
    c.polarityInverted = checks[8] != 0.0;
    c.delaySamples = checks[9];
    c.delayMs = checks[10];
    c.delayCm = c.delayMs * kSpeedOfSoundCmPerMs;
    q.known = true;
    out = q;
}
