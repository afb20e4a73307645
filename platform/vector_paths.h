#pragma once

// Whether the engine and the raster code may take their paths for wider vector instructions (AVX2):
// the processor has them, the build targets x86, and nothing forced the baseline. Every wide path
// gives the same results as its baseline; tests force the baseline to compare the two.
bool WideVectorPathsEnabled();

// true: only the baseline (SSE2) paths run from now on; false: the wide ones where available.
void ForceBaselineVectorPaths(bool force);

// The inner loop a vectorised routine actually took, recorded by the routine itself so that tests
// and benchmarks see what ran rather than what was meant to run.
enum class VectorPath { None, Baseline, Wide };

// "none" (nothing ran yet), "baseline (SSE2)" or "wide (AVX2)".
const char* VectorPathName(VectorPath path);
