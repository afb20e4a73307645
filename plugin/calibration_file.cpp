#include "plugin/calibration_file.h"

#include "platform/file_system.h"
#include "platform/message_service.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

enum class ScanState { Idle, Frequency, Level };

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The conversion of the C library's atof, without its dependence on the process locale: leading white
// space skipped, the longest valid prefix read, 0 when there is none, ±infinity on overflow.
double ReadNumberPrefix(const std::string& token) {
    std::size_t i = 0;
    while (i < token.size() && IsSpace(token[i]))
        ++i;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    const char* first = token.data() + i;
    const char* last = token.data() + token.size();
    if (first == last || *first == '+' || *first == '-') return 0.0;
    double value = 0.0;
    auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::invalid_argument) return 0.0;
    if (error == std::errc::result_out_of_range) {
        // Which way it overflowed follows from the exponent's sign.
        bool tiny = false;
        for (const char* p = first; p < last; ++p)
            if ((*p == 'e' || *p == 'E') && p + 1 < last && p[1] == '-') tiny = true;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    (void)end;
    return negative ? -value : value;
}

} // namespace

std::vector<CalibrationPoint> ParseCalibrationText(const std::uint8_t* data, std::size_t size) {
    std::vector<CalibrationPoint> points;
    if (!data) return points;
    ScanState state = ScanState::Idle;
    std::string token;
    token.reserve(kMaxCalibrationToken);
    CalibrationPoint pending;

    // Appends one character; false when the token would outgrow the working storage, which abandons
    // the pair.
    auto append = [&](char c) {
        if (token.size() >= kMaxCalibrationToken) {
            token.clear();
            state = ScanState::Idle;
            return false;
        }
        token.push_back(c);
        return true;
    };

    for (std::size_t i = 0; i < size; ++i) {
        char c = static_cast<char>(data[i]);
        if (c == ',') c = '.';
        const bool lineStart = i == 0 || data[i - 1] == '\n';
        if (lineStart && (c == ' ' || c == '.' || IsDigit(c))) {
            token.clear();
            state = ScanState::Frequency;
        }
        if (state == ScanState::Frequency) {
            if (c == ' ' && token.empty()) {
                append(c);
            } else if (c == '+' || c == '.' || IsDigit(c) || c == 'E' || c == 'e') {
                append(c);
            } else {
                pending.frequency = ReadNumberPrefix(token);
                token.clear();
                state = ScanState::Level; // the same character is looked at again below
            }
        }
        if (state == ScanState::Level) {
            if (c == '+' || c == '-' || c == '.' || IsDigit(c) || c == 'E' || c == 'e') {
                append(c);
            } else if (!token.empty()) {
                pending.level = ReadNumberPrefix(token);
                token.clear();
                state = ScanState::Idle;
                if (std::isfinite(pending.frequency) && std::isfinite(pending.level) &&
                    points.size() < kMaxCalibrationPairs)
                    points.push_back(pending);
            }
        }
    }
    // A token still being collected at the end of the file is dropped.
    return points;
}

double CalibrationLevelToGain(double levelDb) {
    if (levelDb > kCalibrationLevelLimitDb) levelDb = kCalibrationLevelLimitDb;
    if (levelDb < -kCalibrationLevelLimitDb) levelDb = -kCalibrationLevelLimitDb;
    return std::pow(10.0, levelDb / 20.0);
}

CalibrationCurve ResampleCalibration(const std::vector<CalibrationPoint>& points,
                                     const CalibrationCurve& bandFrequencies) {
    CalibrationCurve gain;
    gain.fill(1.0);
    const std::size_t n = points.size();
    if (n < 2) return gain;
    for (int i = 0; i < kCalibrationBands; ++i) {
        const double f = bandFrequencies[i];
        double value = 1.0; // in dB; kept when no segment brackets f (unordered files)
        for (std::size_t k = 0; k + 1 < n; ++k) {
            const CalibrationPoint& a = points[k];
            const CalibrationPoint& b = points[k + 1];
            if (a.frequency <= f && f < b.frequency)
                value = a.level + (b.level - a.level) * (f - a.frequency) / (b.frequency - a.frequency);
        }
        if (f < points[0].frequency) value = points[0].level;
        if (f >= points[n - 1].frequency) value = points[n - 1].level;
        gain[i] = CalibrationLevelToGain(value);
    }
    return gain;
}

CalibrationInfo ReadCalibrationFile(const std::string& path, const std::string& name,
                                    const CalibrationCurve& bandFrequencies) {
    CalibrationInfo info;
    info.path = path;
    std::vector<std::uint8_t> bytes;
    // A path beyond the fixed path field is treated like a file that cannot be opened.
    info.opened = path.size() <= kCalibrationPathMax && ReadWholeFile(path, bytes, kMaxCalibrationFileBytes);
    if (!info.opened) {
        ShowInfo("Error_005 Can't open calibration file.");
        bytes.clear();
    }
    const std::vector<CalibrationPoint> points = ParseCalibrationText(bytes.data(), bytes.size());
    info.pairs = points.size();
    info.valid = points.size() >= 2;
    const std::string suffix = info.valid ? "" : kCalibrationNotValidSuffix;
    info.label = name.substr(0, kCalibrationLabelMax - suffix.size()) + suffix;
    if (info.valid) info.gain = ResampleCalibration(points, bandFrequencies);
    return info;
}

CalibrationInfo FindCalibration(const std::string& folder, const CalibrationCurve& bandFrequencies) {
    // No documents folder: nothing to search (never the current directory).
    if (folder.empty()) return CalibrationInfo{};
    for (const char* pattern : {"*.frd", "*.cal", "*.txt"}) {
        const std::vector<std::string> names = FindFiles(folder, pattern);
        if (names.empty()) continue;
        std::string path = folder;
        if (!path.empty() && path.back() != '/' && path.back() != '\\') path += kPathSeparator;
        return ReadCalibrationFile(path + names.front(), names.front(), bandFrequencies);
    }
    return CalibrationInfo{};
}
