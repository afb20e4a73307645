#pragma once

#include "canvas.h"
#include "text.h"

#include <string>

// The one look every image shares: colours, type and the few drawn parts they have in common.
namespace style {

inline const Colour kFace = Rgb(100, 100, 100);
inline const Colour kPlot = Rgb(0, 0, 0);
inline const Colour kGrid = Rgb(100, 100, 100);
inline const Colour kText = Rgb(236, 236, 236);
inline const Colour kDimText = Rgb(196, 196, 196);
inline const Colour kAccent = Rgb(0, 184, 194); // the fader's track colour
inline const Colour kGreen = Rgb(72, 208, 104);
inline const Colour kEngraveDark = Rgb(70, 70, 70);
inline const Colour kEngraveLight = Rgb(128, 128, 128);

// Type faces, loaded once.
struct Fonts {
    TextFace label{"DejaVu Sans", 11};
    TextFace small{"DejaVu Sans", 10};
    TextFace tiny{"DejaVu Sans", 9};
    TextFace button{"DejaVu Sans Condensed:bold", 11};
    TextFace title{"DejaVu Sans:bold", 11};
    TextFace product{"DejaVu Sans:bold", 15};
    bool Loaded() const {
        return label.Loaded() && small.Loaded() && tiny.Loaded() && button.Loaded() && title.Loaded() &&
               product.Loaded();
    }
};
const Fonts& TheFonts();

// A raised button face filling [left, right) x [top, bottom) with its label centred; with
// `playIcon` a green play triangle stands before the label.
void DrawButton(Canvas& canvas, int left, int top, int right, int bottom, const std::string& label,
                bool playIcon = false);

// An engraved group frame around [left, right] x [top, bottom] with its title set into the top line.
void DrawGroup(Canvas& canvas, int left, int top, int right, int bottom, const std::string& title);

// A small microphone mark whose capsule is centred at (cx, cy), `size` pixels tall in all.
void DrawMicrophoneMark(Canvas& canvas, float cx, float cy, float size, Colour colour);

// A round selection mark: an inset ring, filled with the accent colour when `marked`.
void DrawSelectionMark(Canvas& canvas, float cx, float cy, bool marked);

} // namespace style
