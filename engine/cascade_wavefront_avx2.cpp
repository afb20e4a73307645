#include "engine/cascade_wavefront.h"

// Built with AVX2 but without FMA: a fused multiply-add would round differently from the plain form.
bool RunCascadeFourLanes(PeakingSection* sections, int count, const double* x, int frames, double gain,
                         double* out0, double* out1) {
    return Run<4>(sections, count, x, frames, gain, out0, out1);
}
