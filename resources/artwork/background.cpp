#include "editor_art.h"
#include "style.h"

#include <cstdio>
#include <string>

namespace art {

namespace {

void DrawResponseArea(Canvas& c) {
    // Inset frame around the display, then the black area and its grid.
    c.FillRect(kPlotLeft - 2, kPlotTop - 2, kPlotRight + 3, kPlotTop - 1, Rgb(78, 78, 78));
    c.FillRect(kPlotLeft - 2, kPlotTop - 2, kPlotLeft - 1, kPlotBottom + 3, Rgb(78, 78, 78));
    c.FillRect(kPlotLeft - 1, kPlotTop - 1, kPlotRight + 2, kPlotTop, Rgb(40, 40, 40));
    c.FillRect(kPlotLeft - 1, kPlotTop - 1, kPlotLeft, kPlotBottom + 2, Rgb(40, 40, 40));
    c.FillRect(kPlotLeft - 1, kPlotBottom + 1, kPlotRight + 2, kPlotBottom + 2, Rgb(124, 124, 124));
    c.FillRect(kPlotRight + 1, kPlotTop - 1, kPlotRight + 2, kPlotBottom + 2, Rgb(124, 124, 124));
    c.FillRect(kPlotLeft - 2, kPlotBottom + 2, kPlotRight + 3, kPlotBottom + 3, Rgb(116, 116, 116));
    c.FillRect(kPlotRight + 2, kPlotTop - 2, kPlotRight + 3, kPlotBottom + 3, Rgb(116, 116, 116));

    c.FillRect(kPlotLeft, kPlotTop, kPlotRight + 1, kPlotBottom + 1, style::kPlot);
    for (int row : kGridRows)
        c.FillRect(kPlotLeft, row, kPlotRight + 1, row + 1, style::kGrid);
    for (double decade : {10.0, 100.0, 1000.0})
        for (int step = decade == 10.0 ? 3 : 1; step <= 9; ++step) {
            const int column = FrequencyColumn(decade * step);
            c.FillRect(column, kPlotTop, column + 1, kPlotBottom + 1, style::kGrid);
        }
    const int lastColumn = FrequencyColumn(10000);
    c.FillRect(lastColumn, kPlotTop, lastColumn + 1, kPlotBottom + 1, style::kGrid);
}

void DrawScales(Canvas& c) {
    const style::Fonts& f = style::TheFonts();
    for (size_t i = 0; i < std::size(kGridRows); ++i) {
        const int db = kGridDecibels[i];
        // A true minus sign, as wide as the plus.
        char text[16];
        std::snprintf(text, sizeof text, "%s%d",
                      db > 0   ? "+"
                      : db < 0 ? "\xE2\x88\x92"
                               : "",
                      db < 0 ? -db : db);
        f.small.DrawCentredOn(c, text, 43, float(kGridRows[i]) + 0.5f, style::kText, TextFace::Right);
    }
    f.small.DrawCentredOn(c, "dB", 43, 20.5f, style::kDimText, TextFace::Right);

    const float baseline = 320;
    struct Label {
        double hertz;
        const char* text;
    };
    const Label labels[] = {{20, "20"}, {200, "200"}, {632.46, "Hz"}, {2000, "2000"}, {20000, "20000"}};
    for (const Label& label : labels) {
        const float x = float(49.0 + 437.0 * std::log10(label.hertz / 20.0) / 3.0);
        const bool unit = std::string(label.text) == "Hz";
        const TextFace::Align align = label.hertz >= 20000 ? TextFace::Right : TextFace::Centre;
        f.small.Draw(c, label.text, label.hertz >= 20000 ? x + 6 : x, baseline,
                     unit ? style::kDimText : style::kText, align);
    }
}

void DrawHeader(Canvas& c) {
    const style::Fonts& f = style::TheFonts();
    const std::string name = "Tessivane Vorelline";
    const float width = f.product.Measure(name);
    const float left = 613 - (width + 16) / 2;
    style::DrawMicrophoneMark(c, left + 5, 23, 20, style::kAccent);
    f.product.DrawCentredOn(c, name, left + 16, 24 + 1, Rgb(0, 0, 0, 0.35f));
    f.product.DrawCentredOn(c, name, left + 16, 24, style::kText);
    f.tiny.Draw(c, "MICROPHONE MATCHING", 613, 40, style::kDimText, TextFace::Centre);
}

void DrawPanel(Canvas& c) {
    const style::Fonts& f = style::TheFonts();
    for (const ButtonFace& b : kButtons)
        style::DrawButton(c, b.left, b.top, b.right, b.bottom, b.label, b.playIcon);

    // Inputs: the row labels stand beside the selector's two rows.
    style::DrawGroup(c, 511, 86, 715, 141, "Inputs");
    const float rowMiddle[] = {float(kInputsY) + kInputsFrameHeight * 0.25f,
                               float(kInputsY) + kInputsFrameHeight * 0.75f};
    f.label.DrawCentredOn(c, "Reference Mic:", kInputsX - 7, rowMiddle[0], style::kText, TextFace::Right);
    f.label.DrawCentredOn(c, "Target Mic:", kInputsX - 7, rowMiddle[1], style::kText, TextFace::Right);

    // Outputs: three radio marks, the gain fader's track beside the target microphone.
    style::DrawGroup(c, 511, 163, 715, 226, "Outputs");
    const char* outputs[] = {"Reference Mic", "Target Mic", "Corrected Target Mic"};
    for (int i = 0; i < 3; ++i)
        f.label.DrawCentredOn(c, outputs[i], kOutputsX + 26, float(kOutputsY[i]) + 8, style::kText);
    const float trackMiddle = float(kFaderTop) + 6;
    c.FillRoundRect(kFaderLeft - 1, trackMiddle - 2.5f, kFaderLeft + kFaderLength + 1, trackMiddle + 2.5f,
                    2.5f, Rgb(48, 48, 50));
    c.FillRect(kFaderLeft + 1, int(trackMiddle) + 3, kFaderLeft + kFaderLength - 1, int(trackMiddle) + 4,
               Rgb(255, 255, 255, 0.22f));
    c.FillRect(kFaderLeft, int(trackMiddle) - 1, kFaderLeft + kFaderLength, int(trackMiddle) + 1,
               Rgb(84, 84, 86));
    f.tiny.Draw(c, "Gain", float(kFaderLeft + kFaderLength / 2), float(kFaderTop) - 3, style::kDimText,
                TextFace::Centre);

    // Resolution: two radio marks with their band counts.
    style::DrawGroup(c, 511, 233, 715, 280, "Resolution");
    const char* resolutions[] = {"Normal Resolution", "High Resolution"};
    const char* bands[] = {"33 bands", "120 bands"};
    for (int i = 0; i < 2; ++i) {
        const float middle = float(kResolutionY[i]) + 8;
        f.label.DrawCentredOn(c, resolutions[i], kResolutionX + 26, middle, style::kText);
        f.tiny.DrawCentredOn(c, bands[i], 706, middle, style::kDimText, TextFace::Right);
    }
}

} // namespace

Canvas MakeBackground() {
    Canvas c(kEditorWidth, kEditorHeight, style::kFace);
    DrawResponseArea(c);
    DrawScales(c);
    DrawHeader(c);
    DrawPanel(c);
    return c;
}

} // namespace art
