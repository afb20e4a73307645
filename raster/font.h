#pragma once

#include "raster/bitmap.h"

#include <cstdint>

// A platform font: HFONT on Windows, a FreeType face of the platform font layer elsewhere
// (see raster/platform_font.h).
using RAST_FontHandle = void*;

// Font flags.
enum RAST_FontFlags : int {
    FontOwnsPlatformFont = 0x200,   // delete the platform font when replaced or destroyed
    FontPreferPlatformText = 0x400, // draw with the platform's own text drawing when possible
    FontAsciiOnly = 4,              // render codes 0-127 at set-up and never other codes
    FontEffectMask = 0x1f7,         // glyph effects (vertical, blur, inversion, threshold, surrounds)
};

// Text format flags: the platform's values plus two of this library.
enum RAST_TextFormat : unsigned {
    TextLeft = 0,
    TextCentre = 1,
    TextRight = 2,
    TextVCentre = 4,
    TextBottom = 8,
    TextSingleLine = 0x20,
    TextNoClip = 0x100,
    TextMeasureOnly = 0x400,
    TextNoPrefix = 0x800,
    TextUseColourAlpha = 0x40000000u, // multiply the drawing alpha by the text colour's alpha
    TextNoPlatformDrawing = 0x80000000u,
};

// Background modes.
enum RAST_BackMode : int { BackTransparent = 1, BackOpaque = 2 };

class RAST_IFont {
  public:
    virtual ~RAST_IFont() = default;
    virtual void SetFromPlatformFont(RAST_FontHandle font, int flags) = 0;
    virtual RAST_Pixel SetTextColour(RAST_Pixel colour) = 0;
    virtual RAST_Pixel SetBackColour(RAST_Pixel colour) = 0;
    virtual RAST_Pixel SetEffectColour(RAST_Pixel colour) = 0;
    virtual int SetBackMode(int mode) = 0;
    // Blit mode and alpha used to put text on bitmaps.
    virtual void SetCombineMode(int mode, float alpha) = 0;
    // Draws (or with TextMeasureOnly measures into rect) UTF-8 text; length -1 = up to the NUL.
    // Returns the text height, 0 when nothing was drawn.
    virtual int RenderText(RAST_IBitmap* bitmap, const char* text, int length, RAST_Rect* rect,
                           unsigned format) = 0;
    virtual RAST_Pixel TextColour() const = 0;
    virtual RAST_FontHandle PlatformFont() const = 0;
    virtual int LineHeight() const = 0;
};
