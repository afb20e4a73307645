#include "tools/vorelline/progress_reporter.h"

#include <cmath>

namespace {
bool progressEnabled = false;
// The reporter whose line is on screen, if any (the tool runs on one thread).
ProgressReporter* lineOwner = nullptr;
} // namespace

void EnableProgress(bool on) {
    progressEnabled = on;
}

bool ProgressEnabled() {
    return progressEnabled;
}

void ProgressReporter::Phase(const std::string& text) {
    if (!enabled) return;
    label = text;
    percent = -1;
    Draw("vorelline: " + label);
}

void ProgressReporter::Update(double fraction) {
    if (!enabled) return;
    if (!(fraction >= 0.0)) fraction = 0.0; // also NaN
    if (fraction > 1.0) fraction = 1.0;
    const int now = static_cast<int>(std::floor(fraction * 100.0));
    if (now == percent) return;
    percent = now;
    Draw("vorelline: " + label + "  " + std::to_string(now) + "%");
}

void ProgressReporter::Draw(const std::string& text) {
    // Pad over a longer previous line instead of using terminal control sequences.
    std::string line = "\r" + text;
    if (text.size() < shownWidth) line.append(shownWidth - text.size(), ' ');
    std::fputs(line.c_str(), out);
    std::fflush(out);
    shownWidth = text.size() > shownWidth ? text.size() : shownWidth;
    lineOwner = this;
}

void ProgressReporter::Done() {
    if (!enabled || shownWidth == 0) return;
    std::fprintf(out, "\r%*s\r", static_cast<int>(shownWidth), "");
    std::fflush(out);
    shownWidth = 0;
    percent = -1;
    if (lineOwner == this) lineOwner = nullptr;
}

void ClearProgressLine() {
    if (lineOwner) lineOwner->Done();
}
