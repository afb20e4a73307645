#pragma once

#include "canvas.h"

#include <cmath>

// The editor's images. Their geometry follows the control layout of the editor: every position
// here is where a control lies or where the controls expect something drawn.
namespace art {

constexpr int kEditorWidth = 730, kEditorHeight = 330;
// Response display, inclusive corners.
constexpr int kPlotLeft = 49, kPlotTop = 11, kPlotRight = 486, kPlotBottom = 305;
// Grid rows of +15 ... -15 dB.
constexpr int kGridRows[] = {47, 84, 121, 158, 195, 232, 269};
constexpr int kGridDecibels[] = {15, 10, 5, 0, -5, -10, -15};

// Pixel column of a frequency: the first column right of the display's logarithmic position.
inline int FrequencyColumn(double hertz) {
    return int(std::floor(49.0 + 437.0 * std::log10(hertz / 20.0) / 3.0)) + 1;
}

// Frame sizes of the strips.
constexpr int kInputsFrameWidth = 55, kInputsFrameHeight = 33;
constexpr int kRadioFrameWidth = 22, kRadioFrameHeight = 16;
constexpr int kProgressFrameWidth = 225, kProgressFrameHeight = 29, kProgressFrames = 21;
constexpr int kFaderSize = 12;
constexpr int kAboutWidth = 220, kAboutHeight = 187;

// Where the controls lie in the editor.
constexpr int kInputsX = 631, kInputsY = 100;
constexpr int kOutputsX = 521, kOutputsY[] = {172, 189, 206};
constexpr int kResolutionX = 521, kResolutionY[] = {242, 259};
constexpr int kFaderLeft = 621, kFaderTop = 191, kFaderLength = 84;
constexpr int kAboutX = 158, kAboutY = 60;
// The version number's text rectangle and the OK button, relative to the About box.
constexpr int kAboutVersionLeft = 275 - kAboutX, kAboutVersionTop = 91 - kAboutY;
constexpr int kAboutOkLeft = 189 - kAboutX, kAboutOkTop = 203 - kAboutY, kAboutOkRight = 262 - kAboutX,
              kAboutOkBottom = 224 - kAboutY;

struct ButtonFace {
    int left, top, right, bottom;
    const char* label;
    bool playIcon;
};
constexpr ButtonFace kButtons[] = {
    {521, 290, 577, 311, "Start", true},   {585, 290, 641, 311, "Save", false},
    {649, 290, 705, 311, "Load", false},   {521, 49, 577, 70, "Help", false},
    {585, 49, 641, 70, "About...", false}, {648, 49, 705, 70, "Reset", false},
};

Canvas MakeBackground();
Canvas MakeFader();
// Two frames stacked: frame 0 upper row L, lower row R marked; frame 1 the other way round.
Canvas MakeInputs();
// Two frames stacked: empty, filled.
Canvas MakeRadio();
Canvas MakeAboutBox();
// 21 frames stacked: 0 empty bar, 1-19 a growing bar, 20 the wait notice.
Canvas MakeProgressBar();

} // namespace art
