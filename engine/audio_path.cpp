#include "engine/correction_engine.h"

#include "engine/output_player.h"

#include <cfloat>
#include <cmath>

namespace {

inline double Sample(const double* channel, int i) {
    return channel ? channel[i] : 0.0;
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

    PlayRequest request;
    const double sel = outputSelection;
    request.source = sel == 0.5   ? PlayRequest::Source::Target
                     : sel == 0.0 ? PlayRequest::Source::Reference
                                  : PlayRequest::Source::Corrected;
    request.referenceChannel = inputSelection == 0.0 ? 0 : 1;
    request.pathsReady = filterReady.load(std::memory_order_acquire) != 0;
    request.sections = pathSections == kHighBands ? kHighBands : kNormalBands;
    request.reference = referencePath.data();
    request.target = targetPath.data();
    request.targetGain = targetPathGain;
    request.rawGain = gainFactor;
    request.sampleRate = workingSampleRate;
    outputPlayer->Play(request, in0, in1, out0, out1, frames);
}
