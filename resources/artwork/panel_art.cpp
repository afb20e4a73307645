#include "editor_art.h"
#include "style.h"

#include <string>

namespace art {

Canvas MakeAboutBox() {
    const float w = kAboutWidth, h = kAboutHeight;
    Canvas c(kAboutWidth, kAboutHeight);
    const style::Fonts& f = style::TheFonts();
    c.FillRoundRect(0, 0, w, h, 7, Rgb(28, 28, 30));
    c.FillRoundRect(1, 1, w - 1, h - 1, 6, VerticalGradient(1, h - 1, Rgb(74, 74, 78), Rgb(46, 46, 50)));
    c.FillRect(7, 1, kAboutWidth - 7, 2, Rgb(255, 255, 255, 0.18f));

    // Name, then "Version" ending just before the number the editor writes beside it.
    const std::string name = "Tessivane Vorelline";
    const float nameWidth = f.product.Measure(name);
    const float nameLeft = (w - nameWidth + 16) / 2;
    style::DrawMicrophoneMark(c, nameLeft - 11, 17, 20, style::kAccent);
    f.product.DrawCentredOn(c, name, nameLeft, 17, style::kText);
    // The number is Verdana with a 16-pixel cell, drawn from the top of its rectangle: its baseline
    // lies 13 pixels down. "Version" shares that baseline and a similar size.
    const TextFace versionFace("DejaVu Sans", 13);
    versionFace.Draw(c, "Version", float(kAboutVersionLeft) - 5, float(kAboutVersionTop) + 13,
                     style::kDimText, TextFace::Right);

    c.FillRect(24, 53, kAboutWidth - 24, 54, Rgb(0, 184, 194, 0.55f));
    const float centre = w / 2;
    f.label.DrawCentredOn(c, "Makes one microphone", centre, 69, style::kText, TextFace::Centre);
    f.label.DrawCentredOn(c, "sound like another.", centre, 83, style::kText, TextFace::Centre);
    f.small.DrawCentredOn(c,
                          "\xC2\xA9 2019\xE2\x80\x93"
                          "2026 Tessivane.",
                          centre, 102, style::kDimText, TextFace::Centre);
    f.small.DrawCentredOn(c, "All rights reserved.", centre, 115, style::kDimText, TextFace::Centre);
    f.small.DrawCentredOn(c, "Uses VST plug-in technology.", centre, 129, style::kDimText, TextFace::Centre);

    style::DrawButton(c, kAboutOkLeft, kAboutOkTop, kAboutOkRight, kAboutOkBottom, "OK");
    // The maker's name balances the OK button on the other side.
    const float okMiddle = float(kAboutOkTop + kAboutOkBottom) / 2;
    f.title.DrawCentredOn(c, "Tessivane", w - 18, okMiddle, Rgb(150, 150, 154), TextFace::Right);
    return c;
}

Canvas MakeProgressBar() {
    const int w = kProgressFrameWidth, h = kProgressFrameHeight;
    Canvas strip(w, h * kProgressFrames);
    const style::Fonts& f = style::TheFonts();
    const float barLeft = 9, barRight = float(w) - 9, barTop = 17, barBottom = 24;
    for (int frame = 0; frame < kProgressFrames; ++frame) {
        const float top = float(frame * h);
        strip.FillRoundRect(0, top, float(w), top + float(h), 5, Rgb(16, 16, 18, 0.88f));
        strip.StrokeRoundRect(0.5f, top + 0.5f, float(w) - 0.5f, top + float(h) - 0.5f, 4.5f, 1,
                              Rgb(120, 120, 124));

        const bool waiting = frame == kProgressFrames - 1;
        const float textMiddle = top + 9;
        f.title.DrawCentredOn(strip, waiting ? "Wait..." : "Speak or sing...", barLeft, textMiddle,
                              style::kText);
        if (!waiting)
            f.tiny.DrawCentredOn(strip, std::to_string(frame * 5) + " %", barRight, textMiddle,
                                 style::kDimText, TextFace::Right);

        strip.FillRoundRect(barLeft, top + barTop, barRight, top + barBottom, 3.5f, Rgb(46, 46, 48));
        strip.FillRect(int(barLeft) + 2, int(top + barBottom), int(barRight) - 2, int(top + barBottom) + 1,
                       Rgb(255, 255, 255, 0.12f));
        // The bar grows from the left over frames 1 to 19 and is full while the analysis runs.
        const float fraction = float(frame) / float(kProgressFrames - 1);
        if (frame > 0) {
            const float right = barLeft + (barRight - barLeft) * fraction;
            const Colour green = waiting ? Rgb(60, 150, 80) : style::kGreen;
            strip.FillShape(
                int(barLeft) - 1, int(top + barTop) - 1, int(right) + 2, int(top + barBottom) + 2,
                [=](float x, float y) {
                    return std::max(
                        RoundRectDistance(x, y, barLeft, top + barTop, barRight, top + barBottom, 3.5f),
                        x - right);
                },
                VerticalGradient(top + barTop, top + barBottom, Mix(green, Rgb(255, 255, 255), 0.35f),
                                 green));
        }
    }
    return strip;
}

} // namespace art
