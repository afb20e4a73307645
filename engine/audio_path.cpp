#include "engine/correction_engine.h"

#include "engine/cascade_filter.h"

#include <cfloat>
#include <cmath>

namespace {

inline double Sample(const double* channel, int i) {
    return channel ? channel[i] : 0.0;
}
// A sample the host may take: finite, and never subnormal (a subnormal input, or a tiny level
// match of one, would otherwise reach the host and slow down whatever follows).
inline double Finite(double v) {
    const double a = std::fabs(v);
    return a <= DBL_MAX && a >= DBL_MIN ? v : 0.0;
}

} // namespace

void CorrectionEngine::ProcessBlock(double** inputs, double** outputs, int frames) {
    if (frames <= 0 || !outputs) return;
    const double* in0 = inputs ? inputs[0] : nullptr;
    const double* in1 = inputs ? inputs[1] : nullptr;
    const double* ref = inputSelection == 0.0 ? in0 : in1;
    const double* tgt = inputSelection == 0.0 ? in1 : in0;
    double* out0 = outputs[0];
    double* out1 = outputs[1];

    if (recordingActive.load(std::memory_order_acquire)) {
        const int step = DecimationStep(workingSampleRate);
        double* rb = recordBuffers.reference.get();
        double* tb = recordBuffers.target.get();
        for (int i = 0; i < frames && rb && tb; ++i) {
            const int m = ++decimationCounter;
            if (step != 1 && m % step != 1) continue;
            rb[recordPosition] = Sample(ref, i);
            tb[recordPosition] = Sample(tgt, i);
            const int n = ++recordPosition;
            const int steps = static_cast<int>(std::trunc(n * 20.0 / fftLength + 0.5));
            const double p = steps * 0.05;
            if (p > recordProgress) {
                recordProgress = p;
                progressSteps.store(steps, std::memory_order_release);
            }
            if (n >= fftLength) {
                recordingActive.store(0, std::memory_order_release);
                recordingDone.store(1, std::memory_order_release);
                break;
            }
        }
    }

    const double sel = outputSelection;
    if (sel == 0.5) {
        const double gain = gainFactor;
        for (int i = 0; i < frames; ++i) {
            const double y = Finite(Sample(tgt, i) * gain);
            if (out0) out0[i] = y;
            if (out1) out1[i] = y;
        }
        return;
    }
    if (!filterReady.load(std::memory_order_acquire)) {
        for (int i = 0; i < frames; ++i) {
            if (out0) out0[i] = 0.0;
            if (out1) out1[i] = 0.0;
        }
        return;
    }

    const double* x = sel == 0.0 ? ref : tgt;
    const int K = cascadeSections == kHighBands ? kHighBands : kNormalBands;
    // A non-finite input sample would otherwise stay in the section states for good.
    if (RunCascade(correctionCascade.data(), K, x, frames, levelMatchGain, out0, out1))
        for (int k = 0; k < K; ++k)
            correctionCascade[k].z1 = correctionCascade[k].z2 = 0.0;
}
