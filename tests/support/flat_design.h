#pragma once

// The correction of a measured microphone pair towards a wanted curve as the engine designs it,
// without the engine: a flat calibration, the corrected target heard.

#include "engine/band_grid.h"
#include "engine/correction_design.h"

#include <array>

// `target`, `reference` and `wanted` hold kBandCount entries each.
inline DesignResult DesignWithFlatCalibration(const double* target, const double* reference,
                                              const double* wanted, double rate, double resolution) {
    std::array<double, kBandCount> flat;
    flat.fill(1.0);
    DesignInputs in;
    in.workingSampleRate = rate;
    in.resolution = resolution;
    in.outputSelection = 1.0;
    in.targetBands = target;
    in.referenceBands = reference;
    in.calibrationGain = flat.data();
    in.userCurve = wanted;
    DesignResult out;
    ComputeCorrection(in, out);
    return out;
}
