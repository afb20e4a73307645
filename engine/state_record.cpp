#include "engine/correction_engine.h"

#include "framework/byte_chunk.h"
#include "framework/effect_base.h"
#include "platform/plugin_lock.h"

#include <cmath>
#include <cstdint>

namespace {

// Byte offsets within the record.
constexpr int kNormalBytes = kNormalBands * 8; // 264
constexpr int kHighBytes = kHighBands * 8;     // 960
constexpr int kTargetNormalAt = 0;
constexpr int kReferenceNormalAt = kTargetNormalAt + kNormalBytes; // 264
constexpr int kTargetHighAt = kReferenceNormalAt + kNormalBytes;   // 528
constexpr int kReferenceHighAt = kTargetHighAt + kHighBytes;       // 1488
constexpr int kUserCurveAt = kReferenceHighAt + kHighBytes;        // 2448
constexpr int kParamsAt = kUserCurveAt + kNormalBytes;             // 2712

double PositiveOrOne(double v) {
    return std::isfinite(v) && v > 0.0 ? v : 1.0;
}

} // namespace

void ExpandCurveTo120(const double* in, double* out) {
    double L[kNormalBands];
    for (int i = 0; i < kNormalBands; ++i)
        L[i] = std::log10(PositiveOrOne(in[i]));
    for (int i = 0; i < kHighBands - 1; ++i) {
        const double a = i * 32.0 / 119.0;
        const int k = static_cast<int>(std::trunc(a));
        out[i] = std::pow(10.0, L[k] + (L[k + 1] - L[k]) * (a - std::floor(a)));
    }
    out[kHighBands - 1] = PositiveOrOne(in[kNormalBands - 1]);
}

bool CorrectionEngine::SerializeState(IByteChunk& chunk) {
    PluginLockGuard guard(base.Lock());
    const bool put = chunk.Put(targetBands.data(), kNormalBytes) > 0 &&
                     chunk.Put(referenceBands.data(), kNormalBytes) > 0 &&
                     chunk.Put(targetBands.data() + kHighOffset, kHighBytes) > 0 &&
                     chunk.Put(referenceBands.data() + kHighOffset, kHighBytes) > 0 &&
                     chunk.Put(userCurve.data(), kNormalBytes) > 0;
    // A record that could not be written whole is reported as failed.
    const bool params = base.SerializeParams(chunk);
    return put && params;
}

int CorrectionEngine::UnserializeState(const IByteChunk& chunk, int p) {
    int result = -1;
    {
        PluginLockGuard guard(base.Lock());
        result = base.UnserializeParams(chunk, ReadRecordUnderLock(chunk, p));
    }
    // The design runs once the record is read; the lock is then held only to copy and to install.
    if (!designsDeferred) DesignIfRequested();
    return result;
}

int CorrectionEngine::ReadRecordUnderLock(const IByteChunk& chunk, int p) {
    const int64_t L = chunk.Size();
    auto fits = [&](int end) { return L >= static_cast<int64_t>(p) + end; };
    int q = -1;
    if (p >= 0 && fits(kReferenceNormalAt)) {
        chunk.Get(targetBands.data(), kNormalBytes, p + kTargetNormalAt);
        if (fits(kTargetHighAt)) {
            chunk.Get(referenceBands.data(), kNormalBytes, p + kReferenceNormalAt);
            if (fits(kReferenceHighAt)) {
                chunk.Get(targetBands.data() + kHighOffset, kHighBytes, p + kTargetHighAt);
                if (fits(kUserCurveAt)) {
                    chunk.Get(referenceBands.data() + kHighOffset, kHighBytes, p + kReferenceHighAt);
                    if (fits(kParamsAt)) {
                        chunk.Get(userCurve.data(), kNormalBytes, p + kUserCurveAt);
                        q = p + kParamsAt;
                    }
                }
            }
        }
    }
    if (q >= 0) {
        double* fields[] = {&inputSelection, &outputSelection, &resolution, &gainPosition};
        int at = q;
        for (double* f : fields) {
            const int next = chunk.GetValue(f, at);
            if (next < 0) break;
            at = next;
        }
    }
    gainFactor = GainFactorFor(gainPosition);
    ExpandCurveTo120(userCurve.data(), userCurve.data() + kHighOffset);
    // The record itself keeps no coherence: unknown unless a trailer after the state brings it.
    quality = MeasurementQuality{};
    RequestDesign();
    return q;
}
