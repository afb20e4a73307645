#include "engine/cascade_filter.h"

#include "engine/band_grid.h"
#include "platform/vector_paths.h"

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <cmath>

namespace {
std::atomic<VectorPath> lastPath{VectorPath::None};

// Once per block: written only when it changes, so instances on other threads share a clean line.
void Record(VectorPath path) {
    if (lastPath.load(std::memory_order_relaxed) != path) lastPath.store(path, std::memory_order_relaxed);
}
} // namespace

VectorPath LastCascadePath() {
    return lastPath.load(std::memory_order_relaxed);
}

bool RunCascadeTwoLanes(PeakingSection* sections, int count, const double* x, int frames, double gain,
                        double* out0, double* out1);
#if defined(TV_ENGINE_WIDE_VECTORS)
bool RunCascadeFourLanes(PeakingSection* sections, int count, const double* x, int frames, double gain,
                         double* out0, double* out1);
#endif

bool RunCascadePlain(PeakingSection* c, int count, const double* x, int frames, double gain, double* out0,
                     double* out1) {
    count = std::clamp(count, 0, kMaxSections);
    bool poisoned = false;
    for (int i = 0; i < frames; ++i) {
        double v = x ? x[i] : 0.0;
        for (int k = 0; k < count; ++k) {
            PeakingSection& s = c[k];
            const double w = -v * s.b;
            double y = s.z1 - w;
            if (std::fabs(y) < 1e-100) // keeps silent sections out of subnormal numbers
                y = 0.0;
            s.z1 = s.z2 - y * s.a1;
            s.z2 = w - s.a2 * y;
            v += y;
        }
        double out = v * gain;
        if (!(std::fabs(out) <= DBL_MAX)) {
            out = 0.0;
            poisoned = true;
        } else if (std::fabs(out) < DBL_MIN) {
            out = 0.0; // no subnormal number leaves the plug-in
        }
        if (out0) out0[i] = out;
        if (out1) out1[i] = out;
    }
    return poisoned;
}

bool RunCascade(PeakingSection* sections, int count, const double* x, int frames, double gain, double* out0,
                double* out1) {
    count = std::clamp(count, 0, kMaxSections);
    if (frames <= 0) return false;
    if (count == 0) return RunCascadePlain(sections, count, x, frames, gain, out0, out1);
#if defined(TV_ENGINE_WIDE_VECTORS)
    if (WideVectorPathsEnabled()) {
        Record(VectorPath::Wide);
        return RunCascadeFourLanes(sections, count, x, frames, gain, out0, out1);
    }
#endif
    Record(VectorPath::Baseline);
    return RunCascadeTwoLanes(sections, count, x, frames, gain, out0, out1);
}
