#include "engine/cascade_wavefront.h"

bool RunCascadeTwoLanes(PeakingSection* sections, int count, const double* x, int frames, double gain,
                        double* out0, double* out1) {
    return Run<2>(sections, count, x, frames, gain, out0, out1);
}
