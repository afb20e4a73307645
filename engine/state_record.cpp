#include "engine/correction_engine.h"

#include "engine/record_values.h"
#include "framework/byte_chunk.h"
#include "platform/plugin_lock.h"

#include <algorithm>
#include <array>
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

} // namespace

bool CorrectionEngine::SerializeState(IByteChunk& chunk) {
    PluginLockGuard guard(lock);
    const bool put = chunk.Put(targetBands.data(), kNormalBytes) > 0 &&
                     chunk.Put(referenceBands.data(), kNormalBytes) > 0 &&
                     chunk.Put(targetBands.data() + kHighOffset, kHighBytes) > 0 &&
                     chunk.Put(referenceBands.data() + kHighOffset, kHighBytes) > 0 &&
                     chunk.Put(userCurve.data(), kNormalBytes) > 0;
    // A record that could not be written whole is reported as failed.
    const bool params = recordTail.SerializeRecordTail(chunk);
    return put && params;
}

// A record read aside from the engine, so that the lock is held only to copy it in. `parts` counts
// the complete parts in record order (target and reference at 33 bands, the same at 120, the user
// curve); the parts and fields the chunk does not hold keep the engine's values. A damaged record
// (a part holding a value no measurement or drawing gives) is not applied at all.
struct CorrectionEngine::RecordImage {
    bool damaged = false;
    int parts = 0;
    std::array<double, kBandCount> target;
    std::array<double, kBandCount> reference;
    std::array<double, kBandCount> userCurve; // the 33 points read, and their 120-point expansion
    double fields[4] = {};
    int fieldCount = 0;
    int paramsAt = -1; // where the parameters start; -1 when the record is incomplete
};

void CorrectionEngine::ParseRecord(const IByteChunk& chunk, int p, RecordImage& image) {
    const int64_t L = chunk.Size();
    auto fits = [&](int end) { return p >= 0 && L >= static_cast<int64_t>(p) + end; };
    struct Part {
        double* to;
        int bytes, at, end;
        bool (*plausible)(const double*, std::size_t);
    };
    const Part parts[] = {
        {image.target.data(), kNormalBytes, kTargetNormalAt, kReferenceNormalAt, BandLevelsCanBeMeasured},
        {image.reference.data(), kNormalBytes, kReferenceNormalAt, kTargetHighAt, BandLevelsCanBeMeasured},
        {image.target.data() + kHighOffset, kHighBytes, kTargetHighAt, kReferenceHighAt,
         BandLevelsCanBeMeasured},
        {image.reference.data() + kHighOffset, kHighBytes, kReferenceHighAt, kUserCurveAt,
         BandLevelsCanBeMeasured},
        {image.userCurve.data(), kNormalBytes, kUserCurveAt, kParamsAt, CurveRatiosCanBeDrawn},
    };
    for (const Part& part : parts) {
        if (!fits(part.end)) break;
        chunk.Get(part.to, part.bytes, p + part.at);
        if (!part.plausible(part.to, static_cast<std::size_t>(part.bytes / 8))) {
            image.damaged = true;
            return;
        }
        ++image.parts;
    }
    if (image.parts < 5) return;
    ExpandCurveTo120(image.userCurve.data(), image.userCurve.data() + kHighOffset);
    image.paramsAt = p + kParamsAt;
    int at = image.paramsAt;
    for (double& f : image.fields) {
        const int next = chunk.GetValue(&f, at);
        if (next < 0) break;
        at = next;
        ++image.fieldCount;
    }
}

int CorrectionEngine::UnserializeState(const IByteChunk& chunk, int p) {
    // The chunk is the caller's: it is read (and the curve expanded) before the lock is taken.
    // On the stack: a preset restored inside processing comes here too, where nothing may allocate.
    RecordImage image;
    ParseRecord(chunk, p, image);
    // A damaged record changes nothing: no arrays, no parameters, no design.
    if (image.damaged) return -1;
    int result = -1;
    {
        PluginLockGuard guard(lock);
        ApplyRecordUnderLock(image);
        result = recordTail.UnserializeRecordTail(chunk, image.paramsAt);
    }
    // The design runs once the record is read; the lock is then held only to copy and to install.
    if (!designsDeferred) DesignIfRequested();
    return result;
}

void CorrectionEngine::ApplyRecordUnderLock(const RecordImage& image) {
    const int n = image.parts;
    if (n >= 1) std::copy_n(image.target.begin(), kNormalBands, targetBands.begin());
    if (n >= 2) std::copy_n(image.reference.begin(), kNormalBands, referenceBands.begin());
    if (n >= 3) std::copy_n(image.target.begin() + kHighOffset, kHighBands, targetBands.begin() + kHighOffset);
    if (n >= 4)
        std::copy_n(image.reference.begin() + kHighOffset, kHighBands, referenceBands.begin() + kHighOffset);
    if (n >= 5)
        userCurve = image.userCurve;
    else // the curve in force, as a record without one leaves it
        ExpandCurveTo120(userCurve.data(), userCurve.data() + kHighOffset);
    double* fields[] = {&inputSelection, &outputSelection, &resolution, &gainPosition};
    for (int i = 0; i < image.fieldCount; ++i)
        *fields[i] = image.fields[i];
    gainFactor = GainFactorFor(gainPosition);
    // The record itself keeps no coherence: unknown unless a trailer after the state brings it.
    quality = MeasurementQuality{};
    RequestDesign();
}
