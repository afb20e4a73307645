#pragma once

#include "engine/band_grid.h"
#include "engine/capture_checks.h"
#include "engine/recording_analysis.h"

#include <array>

// How far a measurement can be trusted: the coherence of the two recordings per band and what the
// capture checks found. Kept with the last analysis; a measurement restored from a `.alg` file or
// an older host state has none ("not known").
struct MeasurementQuality {
    bool known = false;
    std::array<double, kBandCount> coherence{}; // 153 entries, 0..1
    CaptureChecks checks;
};

// Why a measurement cannot be used (the previous one is then kept).
enum class MeasurementVerdict {
    Usable,
    ReferenceSilent,
    TargetSilent,
    NothingInCommon, // no band between 59 Hz and 6.8 kHz reaches the coherence of kUsableCoherence
};
constexpr double kUsableCoherence = 0.5;

MeasurementVerdict JudgeMeasurement(const MeasurementQuality& q);

// The whole analysis of a measurement in one pass over the averaged segments of both recordings
// (first 2^order samples of each, left unchanged): the capture checks, delay and polarity, the
// coherence per band and, when both arrays are given (153 entries each), the band levels. bins: the
// band bins of the full recording. False when memory could not be had; nothing is written then.
bool AssessRecordings(const double* reference, const double* target, int order, const BandBins& bins,
                      double recordedRate, MeasurementQuality& out, double* referenceBands = nullptr,
                      double* targetBands = nullptr);
