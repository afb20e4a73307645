#pragma once

#include <array>

// The fixed analysis grid. Every per-band array of the engine has kBandCount entries: the 33
// normal-resolution bands first, then the 120 semitone bands.
constexpr int kNormalBands = 33;
constexpr int kHighBands = 120;
constexpr int kBandCount = kNormalBands + kHighBands;
constexpr int kHighOffset = kNormalBands; // index of the first semitone band in a 153-entry array
constexpr int kMaxSections = kHighBands;

// Samples recorded per microphone and its base-2 logarithm.
constexpr int kFftOrder = 19;
constexpr int kFftLength = 1 << kFftOrder;

// Number of band-bin entries: 33 centres, 33 normal edges (32 mid points + 20000 Hz), 121 semitone edges.
constexpr int kCentreBinsOffset = 0;
constexpr int kNormalEdgeBinsOffset = kNormalBands;
constexpr int kHighEdgeBinsOffset = 2 * kNormalBands;
constexpr int kBandBinCount = 2 * kNormalBands + kHighBands + 1;

struct BandGrid {
    // 20*1000^(k/32) Hz (entry 32 exactly 20000 Hz), then 440*2^((m-53)/12) Hz.
    std::array<double, kBandCount> bandFrequencies;
    // 20*1000^((k+0.5)/32) Hz: geometric means of neighbouring normal centres.
    std::array<double, kNormalBands - 1> bandEdges33;
    // 440*2^((m-53.5)/12) Hz for m = 0..119, then 20000 Hz.
    std::array<double, kHighBands + 1> bandEdges120;
};

// The grid is a constant of the system; computed once.
const BandGrid& TheBandGrid();

// Number of sections in use for a resolution value: 0 is normal, anything else high.
inline int SectionCount(double resolution) {
    return resolution == 0.0 ? kNormalBands : kHighBands;
}
// First entry of a 153-entry band array used at that resolution.
inline int BandOffset(double resolution) {
    return resolution == 0.0 ? 0 : kHighOffset;
}

// At high sample rates only every 2nd, 4th or 8th sample is recorded so that a recording spans
// about the same time; this is that step for a working rate.
int DecimationStep(double workingSampleRate);
// The rate of the recorded signal.
inline double RecordedRate(double workingSampleRate) {
    return workingSampleRate / DecimationStep(workingSampleRate);
}

// FFT bins of the centres, the normal edges (plus 20000 Hz) and the semitone edges, each
// trunc(fftLength*f/S). Bins are clamped to [0, fftLength/2] so that a nonsense rate cannot
// index outside the spectrum.
std::array<int, kBandBinCount> ComputeBandBins(double workingSampleRate, int fftLength);
