#include "editor_art.h"
#include "style.h"

namespace art {

Canvas MakeFader() {
    Canvas c(kFaderSize, kFaderSize);
    const float centre = kFaderSize / 2.0f;
    c.FillCircle(centre, centre + 0.6f, 5.6f, Rgb(0, 0, 0, 0.45f));
    c.FillCircle(centre, centre, 5.5f, Rgb(38, 38, 40));
    c.FillCircle(centre, centre, 4.6f,
                 VerticalGradient(centre - 4.6f, centre + 4.6f, Rgb(246, 246, 246), Rgb(170, 170, 174)));
    c.FillCircle(centre, centre, 1.6f, style::kAccent);
    return c;
}

Canvas MakeInputs() {
    const int w = kInputsFrameWidth, h = kInputsFrameHeight;
    Canvas strip(w, 2 * h);
    const style::Fonts& f = style::TheFonts();
    for (int frame = 0; frame < 2; ++frame)
        for (int row = 0; row < 2; ++row) {
            // Frame 0 marks L in the upper row and R in the lower one; frame 1 swaps them.
            const bool leftMarked = (row == 0) == (frame == 0);
            const float top = float(frame * h) + (row == 0 ? 0.5f : 17.5f);
            const float middle = top + 7.75f;
            strip.FillRoundRect(0.5f, top, float(w) - 0.5f, top + 15.5f, 7.75f, Rgb(74, 74, 76));
            strip.StrokeRoundRect(0.5f, top, float(w) - 0.5f, top + 15.5f, 7.75f, 1, Rgb(56, 56, 58));
            const float marks[] = {9.0f, 34.0f};
            const char* letters[] = {"L", "R"};
            for (int k = 0; k < 2; ++k) {
                const bool marked = (k == 0) == leftMarked;
                style::DrawSelectionMark(strip, marks[k], middle, marked);
                f.title.DrawCentredOn(strip, letters[k], marks[k] + 9, middle,
                                      marked ? style::kText : Rgb(150, 150, 150));
            }
        }
    return strip;
}

Canvas MakeRadio() {
    Canvas strip(kRadioFrameWidth, 2 * kRadioFrameHeight);
    for (int frame = 0; frame < 2; ++frame)
        style::DrawSelectionMark(strip, 10.0f, float(frame * kRadioFrameHeight) + 8.0f, frame == 1);
    return strip;
}

} // namespace art
