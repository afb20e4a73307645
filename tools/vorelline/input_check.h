#pragma once

#include "plugin/calibration_file.h"

#include <string>

struct AlgRecord;

// Why a file named as an input cannot be read, in words ("no such file", "it is a folder",
// "permission denied"); empty when it can be opened for reading.
std::string WhyUnreadable(const std::string& path);

// Reads a correction file as the plug-in's Load does. A file that cannot be opened is refused in words,
// one the plug-in refuses with the plug-in's own message; false after printing either.
bool ReadCorrectionFile(const std::string& path, AlgRecord& record);

// True when `path` can be read, else prints "vorelline: PATH: cannot open <what>: REASON".
bool CheckReadable(const std::string& path, const std::string& what);

// Reads a calibration file as the plug-in does and refuses one that is no calibration table: fewer than
// two usable pairs (a frequency above 0 Hz with its level), which the plug-in marks NOT VALID or turns
// into one level for every band, or frequencies that fall back from one pair to the next, which no
// maker's table has and which turn into a meaningless curve. False after printing why.
bool ReadUsableCalibration(const std::string& path, CalibrationInfo& calibration);
