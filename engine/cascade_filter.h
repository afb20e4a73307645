#pragma once

#include "engine/peaking_section.h"
#include "platform/vector_paths.h"

// The correction cascade over one block: x[0..frames) through sections[0..count), every output
// v*gain written to out0 and out1 (either may be null; a null x reads as silence). A non-finite
// output is written as 0 and makes the call return true, so that the caller can clear the states.
// count is at most 120.
//
// RunCascade gives bit for bit what RunCascadePlain gives; it runs the sections as a wavefront
// (section k works on sample t - k while section k + 1 works on sample t - k - 1), so the sections
// of one step are independent and go through vector lanes, instead of every sample waiting on the
// whole chain of sections.
bool RunCascade(PeakingSection* sections, int count, const double* x, int frames, double gain, double* out0,
                double* out1);

// Sample after sample, section after section: the reference for RunCascade.
bool RunCascadePlain(PeakingSection* sections, int count, const double* x, int frames, double gain,
                     double* out0, double* out1);

// The wavefront RunCascade took on its latest call that ran sections (any thread).
VectorPath LastCascadePath();
