#include "tools/vorelline/input_check.h"

#include "engine/band_grid.h"
#include "platform/file_system.h"
#include "plugin/alg_file.h"
#include "tools/vorelline/progress_reporter.h"
#include "tools/vorelline/tool_messages.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
void Say(const std::string& path, const std::string& text) {
    ClearProgressLine();
    std::fprintf(stderr, "%s\n", ToolMessageLine(path, text).c_str());
}
std::string FormatHz(double hz) {
    char text[48];
    std::snprintf(text, sizeof text, "%g Hz", hz);
    return text;
}
} // namespace

std::string WhyUnreadable(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) return "no such file";
    if (status.type() == fs::file_type::directory) return "it is a folder, not a file";
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return errno == EACCES || errno == EPERM ? "permission denied" : std::strerror(errno);
    std::fclose(f);
    return {};
}

bool CheckReadable(const std::string& path, const std::string& what) {
    const std::string why = WhyUnreadable(path);
    if (why.empty()) return true;
    Say(path, "cannot open " + what + ": " + why);
    return false;
}

bool ReadCorrectionFile(const std::string& path, AlgRecord& record) {
    if (!CheckReadable(path, "the correction file")) return false;
    const MessageFileScope about(path);
    return LoadAlgFile(path, record);
}

bool ReadUsableCalibration(const std::string& path, CalibrationInfo& calibration) {
    if (!CheckReadable(path, "the calibration file")) return false;
    const std::string name = fs::path(path).filename().string();
    {
        const MessageFileScope about(path);
        calibration = ReadCalibrationFile(path, name, TheBandGrid().bandFrequencies);
    }
    if (!calibration.opened) return false; // the plug-in's message has been shown
    std::vector<std::uint8_t> bytes;
    ReadWholeFile(path, bytes, kMaxCalibrationFileBytes);
    const std::vector<CalibrationPoint> points = ParseCalibrationText(bytes.data(), bytes.size());
    std::size_t usable = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const CalibrationPoint& p = points[i];
        usable += std::isfinite(p.frequency) && p.frequency > 0.0 && std::isfinite(p.level) ? 1 : 0;
        // A table that falls back in frequency is no maker's table (random bytes read as one are).
        if (i > 0 && p.frequency < points[i - 1].frequency) {
            Say(path, "not a calibration file: its frequencies do not rise from line to line (pair " +
                          std::to_string(i + 1) + " of " + std::to_string(points.size()) + ": " +
                          FormatHz(p.frequency) + " after " + FormatHz(points[i - 1].frequency) + ")");
            return false;
        }
    }
    if (usable >= 2) return true;
    Say(path, "not a calibration file: " + std::to_string(usable) + " of its " +
                  std::to_string(points.size()) +
                  " pairs have a frequency above 0 Hz; at least two lines of frequency (Hz) and level (dB) "
                  "are needed");
    return false;
}
