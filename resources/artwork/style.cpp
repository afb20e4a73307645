#include "style.h"

#include <cmath>

namespace style {

const Fonts& TheFonts() {
    static const Fonts fonts;
    return fonts;
}

void DrawButton(Canvas& canvas, int left, int top, int right, int bottom, const std::string& label,
                bool playIcon) {
    const float l = float(left), t = float(top), r = float(right), b = float(bottom);
    // Soft shadow below, a dark rim, then the face with light falling from above.
    canvas.FillRoundRect(l, t + 1, r, b + 1, 4, Rgb(0, 0, 0, 0.28f));
    canvas.FillRoundRect(l, t, r, b, 4, Rgb(44, 44, 46));
    canvas.FillRoundRect(l + 1, t + 1, r - 1, b - 1, 3,
                         VerticalGradient(t + 1, b - 1, Rgb(160, 160, 163), Rgb(116, 116, 119)));
    canvas.FillRect(left + 3, top + 1, right - 3, top + 2, Rgb(255, 255, 255, 0.30f));

    const Fonts& fonts = TheFonts();
    const float middle = (t + b) / 2;
    const float textWidth = fonts.button.Measure(label);
    const float iconWidth = playIcon ? 8.0f : 0.0f, gap = playIcon ? 5.0f : 0.0f;
    const float start = std::round((l + r - textWidth - iconWidth - gap) / 2);
    if (playIcon) {
        const float x = start, h = 4.5f;
        canvas.FillPolygon({{x, middle - h + 1}, {x + iconWidth, middle + 1}, {x, middle + h + 1}},
                           Rgb(0, 0, 0, 0.35f));
        canvas.FillPolygon({{x, middle - h}, {x + iconWidth, middle}, {x, middle + h}}, kGreen);
    }
    const float textLeft = start + iconWidth + gap;
    fonts.button.DrawCentredOn(canvas, label, textLeft, middle + 1, Rgb(0, 0, 0, 0.40f));
    fonts.button.DrawCentredOn(canvas, label, textLeft, middle, Rgb(250, 250, 250));
}

void DrawGroup(Canvas& canvas, int left, int top, int right, int bottom, const std::string& title) {
    const float l = float(left) + 0.5f, t = float(top) + 0.5f, r = float(right) + 0.5f,
                bo = float(bottom) + 0.5f;
    canvas.StrokeRoundRect(l + 1, t + 1, r + 1, bo + 1, 4, 1, kEngraveLight);
    canvas.StrokeRoundRect(l, t, r, bo, 4, 1, kEngraveDark);
    if (title.empty()) return;
    const Fonts& fonts = TheFonts();
    const int textLeft = left + 10;
    const int width = int(std::ceil(fonts.title.Measure(title)));
    // Only the frame lines behind the title are covered, not the group above.
    canvas.FillRect(textLeft - 4, top - 1, textLeft + width + 4, top + 3, kFace);
    fonts.title.DrawCentredOn(canvas, title, float(textLeft), float(top) + 1, kText);
}

void DrawMicrophoneMark(Canvas& canvas, float cx, float cy, float size, Colour colour) {
    // Capsule, then the cradle around its lower half, then the stem and foot.
    const float w = size * 0.36f, h = size * 0.56f;
    const float capTop = cy - h / 2, capBottom = cy + h / 2;
    canvas.FillRoundRect(cx - w / 2, capTop, cx + w / 2, capBottom, w / 2, colour);
    const float cradle = w * 0.95f, thick = std::max(1.0f, size * 0.07f);
    canvas.FillShape(
        int(cx - cradle) - 2, int(cy) - 1, int(cx + cradle) + 3, int(capBottom + cradle) + 2,
        [=](float x, float y) {
            const float ring = std::fabs(CircleDistance(x, y, cx, cy + h * 0.12f, cradle)) - thick / 2;
            return y < cy + h * 0.12f ? std::max(ring, cy + h * 0.12f - y) : ring;
        },
        [colour](float, float) { return colour; });
    const float stemTop = cy + h * 0.12f + cradle, stemBottom = cy + size / 2;
    canvas.FillRoundRect(cx - thick / 2, stemTop, cx + thick / 2, stemBottom, 0, colour);
    canvas.FillRoundRect(cx - w * 0.7f, stemBottom - thick, cx + w * 0.7f, stemBottom, thick / 2, colour);
}

void DrawSelectionMark(Canvas& canvas, float cx, float cy, bool marked) {
    canvas.FillCircle(cx, cy + 0.5f, 6.0f, Rgb(255, 255, 255, 0.18f));
    canvas.FillCircle(cx, cy, 6.0f, Rgb(40, 40, 42));
    canvas.FillCircle(cx, cy, 5.0f, VerticalGradient(cy - 5, cy + 5, Rgb(58, 58, 60), Rgb(82, 82, 84)));
    if (!marked) return;
    canvas.FillCircle(cx, cy, 4.2f, Rgb(0, 184, 194, 0.35f));
    canvas.FillCircle(cx, cy, 3.3f,
                      VerticalGradient(cy - 3.3f, cy + 3.3f, Rgb(120, 240, 248), Rgb(0, 170, 182)));
}

} // namespace style
