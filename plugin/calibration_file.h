#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The reference microphone's calibration: a text table of frequency (Hz) and level (dB) found in the
// plug-in's documents folder, turned into a linear gain at each of the 153 analysis frequencies.

inline constexpr int kCalibrationBands = 153;
using CalibrationCurve = std::array<double, kCalibrationBands>;

struct CalibrationPoint {
    double frequency = 0.0; // Hz
    double level = 0.0;     // dB
};

// Working-storage limits. A file with more pairs is cut: only the first kMaxCalibrationPairs count,
// the rest of the file is ignored. A number token that would grow past kMaxCalibrationToken
// characters abandons its line (no pair), since a cut-off number would read as a different value.
// Pairs whose numbers overflow to infinity are dropped too.
inline constexpr std::size_t kMaxCalibrationPairs = 10000;
inline constexpr std::size_t kMaxCalibrationToken = 99;
// Only the first 16 MiB of a file are read: far more than 10000 pairs of text need, and a bound on what
// a stray huge file in the folder can make the plug-in allocate.
inline constexpr std::size_t kMaxCalibrationFileBytes = 16u << 20;

// Levels are limited to ±kCalibrationLevelLimitDb after resampling so that every gain stays finite
// and non-zero (the analysis divides by it).
inline constexpr double kCalibrationLevelLimitDb = 200.0;

inline constexpr const char* kCalibrationNotValidSuffix = " - NOT VALID!";
inline constexpr std::size_t kCalibrationLabelMax = 255;
inline constexpr std::size_t kCalibrationPathMax = 1023;

// Scans the file's bytes once, comma read as a decimal point, and returns the pairs in file order.
std::vector<CalibrationPoint> ParseCalibrationText(const std::uint8_t* data, std::size_t size);

// Interpolates the pairs (at least two) at the given frequencies: linear in Hz and dB, the first level
// below the first point, the last level from the last point upward; returns linear gains.
CalibrationCurve ResampleCalibration(const std::vector<CalibrationPoint>& points,
                                     const CalibrationCurve& bandFrequencies);

// 10^(level/20) after the level limit above.
double CalibrationLevelToGain(double levelDb);

struct CalibrationInfo {
    std::string label; // file name, " - NOT VALID!" appended when unusable; empty when none was found
    std::string path;  // full path of the file that was found
    std::size_t pairs = 0;
    bool opened = false; // the file could be read
    bool valid = false;  // at least two pairs: the gains come from the file
    CalibrationCurve gain;

    CalibrationInfo() { gain.fill(1.0); }
};

// Reads one file (shown under `name`). A file that cannot be opened shows "Error_005 Can't open
// calibration file." and is then treated as empty: marked not valid, flat gains.
CalibrationInfo ReadCalibrationFile(const std::string& path, const std::string& name,
                                    const CalibrationCurve& bandFrequencies);

// Looks in `folder` for "*.frd", then "*.cal", then "*.txt"; the first match of the first pattern
// that matches anything is read. Nothing found, or an empty folder name: empty label, flat gains.
CalibrationInfo FindCalibration(const std::string& folder, const CalibrationCurve& bandFrequencies);
