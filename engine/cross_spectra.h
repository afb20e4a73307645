#pragma once

#include "engine/double_array.h"

// Auto- and cross-spectra of the two recordings, averaged over overlapping windowed segments
// (half a segment apart, analysis window on each). The long single transform of the band levels
// cannot tell how much of a band the two microphones share; these averages can.
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

// Fills `out` from the first 2^recordingOrder samples of each recording, which are left as they
// are. False when memory or the transform's tables could not be had.
bool AverageCrossSpectra(const double* reference, const double* target, int recordingOrder,
                         CrossSpectra& out);
