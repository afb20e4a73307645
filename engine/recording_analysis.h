#pragma once

#include "engine/band_grid.h"

#include <array>

// Turning two complete recordings into band levels.

using BandBins = std::array<int, kBandBinCount>;

// Level of the bin range [lo, hi): sqrt of the summed power; 0 for an empty range.
double BandLevel(const double* power, int lo, int hi);

// The 33 normal and 120 semitone levels of one power spectrum, in the 153-entry band order.
void BandLevelsFromPower(const double* power, const BandBins& bins, double* bands);

// Windows (the analysis window, both alike) and transforms both recordings and writes their band levels. Each
// buffer holds 2*2^order doubles with the samples in the first half (the second half is working space); both
// are overwritten. Both signals are real, so they go through one complex transform (reference as real part,
// target as imaginary part) and their spectra are separated afterwards. Returns false when the transform's
// tables could not be allocated; the band arrays are then untouched.
// windowed = false gives the plain, unwindowed transform, for the benchmarks that compare with it.
bool AnalyseRecordings(double* referenceBuffer, double* targetBuffer, int order, const BandBins& bins,
                       double* referenceBands, double* targetBands, bool windowed = true);
