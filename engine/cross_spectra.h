#pragma once

#include "engine/double_array.h"

#include <cstddef>

// Auto- and cross-spectra of the two recordings, averaged over overlapping windowed segments
// (half a segment apart, the segment window on each). Everything the analysis reports comes from
// these averages: band levels, coherence, delay and polarity.
//
// The segment window is a sine, sqrt(2)*sin(pi*t/L): the squares of two windows half a segment
// apart add up to a constant, so every moment of the recording (but the first and last half
// segment) weighs alike in every bin. A sweep, which visits each frequency only once, is then
// measured with the same weight whenever it passes, as a steady sound is. Its sidelobes fall by
// 12 dB per octave: 2^16 samples apart from a voice's loud band they lie 90 dB and more below it.
//
// 2^16-sample segments: at 44.1 or 48 kHz a bin is 0.7 Hz wide, so the lowest band (20-22 Hz)
// still gets three bins, and a 2^19-sample recording gives 15 segments.
constexpr int kSegmentOrder = 16;

struct CrossSpectra {
    int order = 0;    // segment length 2^order
    int segments = 0; // segments averaged
    // Bins 0 .. 2^(order-1), summed over the segments: reference and target power, and the real
    // and imaginary parts of reference * conj(target).
    DoubleArray rr, tt, cre, cim;
    int Bins() const { return (1 << order) / 2 + 1; }
};

// Segment order for a recording of 2^recordingOrder samples: kSegmentOrder, or less for short
// recordings so that there are at least 15 segments (never below 2).
int SegmentOrderFor(int recordingOrder);

// The segment window's n values (n a multiple of 2); its mean power is 1.
void SegmentWindow(double* w, std::size_t n);

// Fills `out` from the first 2^recordingOrder samples of each recording, which are left as they
// are. False when memory or the transform's tables could not be had.
bool AverageCrossSpectra(const double* reference, const double* target, int recordingOrder,
                         CrossSpectra& out);
