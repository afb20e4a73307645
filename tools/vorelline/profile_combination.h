#pragma once

#include "engine/band_grid.h"
#include "engine/protected_curve.h"
#include "plugin/alg_file.h"

#include <array>
#include <vector>

// Microphone profiles: a .alg file measured against a calibrated measurement microphone describes
// the measured microphone alone, because the measurement microphone with its calibration is flat.
// Two such files give the correction between their two microphones without measuring them together.

// A band level a measurement can have produced from sound: positive and finite, and no more than
// kUsableLevelRangeDb below the loudest band of the same set (33 normal or 120 semitone bands) of the
// same microphone. A band outside the recorded range holds no bins and reads 0; one that far below the
// rest holds rounding noise, not the microphone.
constexpr double kUsableLevelRangeDb = 120.0;

// Which of the 153 levels of one microphone are usable.
std::array<bool, kBandCount> UsableLevels(const std::array<double, kBandCount>& levels);

// What the design of a file corrects: G*T/R per band with the level-match gain G of the file, as the
// display draws it. `known` is false where either level is unusable (the design leaves those bands
// alone); `ratio` is then 1.
struct MeasuredDifference {
    double levelMatchGain = 1.0;
    std::array<double, kBandCount> ratio{};
    std::array<bool, kBandCount> known{};
};
MeasuredDifference MeasuredDifferenceOf(const AlgRecord& record);

struct ProfileCombination {
    AlgRecord record; // the combined file
    // Bands (153-entry indexes) where either file has an unusable level: stored as 0 in both band
    // sets, so that the design leaves them uncorrected and the level match does not count them.
    std::vector<int> unknownBands;
    // What the boost limit did in the normal bands (share 1 everywhere: the files hold no coherence).
    std::array<BandProtection, kNormalBands> protection{};
    int limitedBands = 0;
};

// The correction that makes the microphone of `a` sound like the microphone of `like`; both files
// measured against the same calibrated measurement microphone. In each band the combined file holds
//   target    = S * Ta/Ra,   reference = S * Tb/Rb,   S = sqrt(Ra*Rb),
// the two microphones' responses to the material of both takes (their geometric mean): what one take
// of both microphones would have recorded, so the design level-matches it as it does a measurement,
// and exchanging the two files exactly inverts the result. The wanted response is flat, with the boost
// limit of `rule` when it is enabled. Selections as in `a`, the gain at its neutral position.
ProfileCombination CombineProfiles(const AlgRecord& a, const AlgRecord& like, const ProtectionRule& rule);
