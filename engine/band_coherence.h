#pragma once

#include "engine/cross_spectra.h"
#include "engine/recording_analysis.h"

// Magnitude-squared coherence of the two recordings per band, 0 (nothing in common) to 1 (one is a
// filtered copy of the other): |sum of reference * conj(target)|^2 / (sum |reference|^2 * sum
// |target|^2), each sum over the band's bins and all segments before the ratio.
//
// For unrelated signals the estimate is not 0 but about 1/(segments * bins in the band): with 15
// half-overlapping segments about 0.05 for the three-bin lowest band and below 0.003 from 200 Hz up.
//
// The cross-spectrum is first turned back by `delaySamples` (the target's delay behind the
// reference, as the capture checks find it): a delay turns its phase by 2*pi*delay/L from one bin
// to the next, and a sum over a wide band of such bins would cancel although the two recordings are
// alike.
//
// bins: the band bins of the full recording of 2^recordingOrder samples (as the band levels use);
// they are scaled to the segment length. A band narrower than a segment bin takes the bin at its
// lower edge. A band where either microphone has no power gets 0.
void BandCoherence(const CrossSpectra& spectra, const BandBins& bins, int recordingOrder, double delaySamples,
                   double* coherence);
