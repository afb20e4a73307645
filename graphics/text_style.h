#pragma once

#include "graphics/argb_color.h"

class RAST_CachedFont;

// Everything needed to pick a font and place text. The cached font belongs to the font cache.
struct ITextStyle {
    enum Style { kNormal = 0, kBold = 1, kItalic = 2 };
    enum Align { kNear = 0, kCentre = 1, kFar = 2 };
    enum Quality { kDefaultQuality = 0, kNonAntialiased = 1, kAntialiased = 2, kClearType = 3 };

    char faceName[32] = "Verdana";
    int size = 12;
    IArgbColor textColour{255, 0, 0, 0};
    IArgbColor entryBackColour{255, 255, 255, 255};
    IArgbColor entryTextColour{255, 0, 0, 0};
    int style = kNormal;
    int alignment = kCentre;
    int orientation = 0;
    int quality = kDefaultQuality;
    RAST_CachedFont* cachedFont = nullptr;

    ITextStyle() = default;
    // Face names longer than the field are cut; the name always ends with a NUL.
    ITextStyle(const char* face, int size, IArgbColor colour, int style = kNormal, int alignment = kCentre,
               int orientation = 0, int quality = kDefaultQuality);

    void SetFaceName(const char* face);
};
