#pragma once

// Engine states whose designs the tests and benchmarks know: what they measure, draw and hear.

#include "engine/band_grid.h"
#include "engine/correction_engine.h"
#include "support/engine_operations.h"

#include <cmath>

// A target microphone with a low cut and a presence peak against a flat reference, and a drawn wish
// for more low end, with the selections and the gain the engine has.
inline CorrectionSettings KnownMeasurement(const CorrectionEngine& e) {
    CorrectionSettings c = CorrectionInForce(e);
    const auto& f = TheBandGrid().bandFrequencies;
    for (int i = 0; i < kBandCount; ++i) {
        const double lowCut = -8.0 / (1.0 + std::pow(f[i] / 90.0, 2.0));
        const double presence = 4.0 * std::exp(-std::pow(std::log2(f[i] / 3500.0) / 0.5, 2.0));
        c.referenceBands[i] = 0.02;
        c.targetBands[i] = 0.02 * std::pow(10.0, (lowCut + presence) / 20.0);
    }
    for (int i = 0; i < kNormalBands; ++i)
        c.userCurve[i] = i < 8 ? std::pow(10.0, 3.0 / 20.0) : 1.0;
    return c;
}

// The known measurement applied as it stands; it is designed as any applied correction is (at
// once, or when the owner runs the request where designs are deferred).
inline void SetKnownMeasurement(CorrectionEngine& e) {
    e.ApplyCorrection(KnownMeasurement(e));
}

// The engine ready to play a real correction at the host's rate: a target measured with ±6 dB
// wiggles over frequency, the resolution chosen, the corrected target heard.
inline void PlayWigglyCorrection(CorrectionEngine& e, double hostRate, bool highResolution) {
    e.Reset(hostRate);
    CorrectionSettings c = CorrectionInForce(e);
    for (int i = 0; i < kBandCount; ++i)
        c.targetBands[i] = std::pow(10.0, 6.0 * std::sin(std::log(TheBandGrid().bandFrequencies[i])) / 20.0);
    if (highResolution) c.resolution = 1.0;
    c.outputSelection = 1.0;
    e.ApplyCorrection(c);
}
