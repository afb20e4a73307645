#pragma once

// Internal: what the cached font needs from the platform's text drawing.

#include "raster/font.h"
#include "raster/sys_bitmap.h"

#include <cstdint>

namespace rast {

// After the glyph surface was resized: white text on an opaque black background.
void PrepareGlyphSurface(RAST_SysBitmap& surface);

// The font's character height (line height); 0 when it cannot be read.
int PlatformLineHeight(RAST_FontHandle font, RAST_SysBitmap& surface);

// Size of one character as the platform measures single-line text.
bool MeasureCodePoint(RAST_FontHandle font, RAST_SysBitmap& surface, uint32_t code, int& w, int& h);

// Draws one character white on black with its cell at (x, 0); no clipping but the surface's.
void DrawCodePoint(RAST_FontHandle font, RAST_SysBitmap& surface, uint32_t code, int x);

// True when the platform draws text itself (Windows); the cached path serves everywhere else.
bool HasPlatformTextDrawing();

// True when the process runs under Wine (checked once).
bool RunningUnderWine();
// Tests force the answer: 0 no, 1 yes, -1 detect.
void OverrideWineDetection(int state);

struct NativeTextState {
    RAST_FontHandle font;
    RAST_Pixel textColour;
    RAST_Pixel backColour;
    int backMode;
    float alpha;
    int lineHeight;
};

// The platform path of RenderText; scratch is the shared surface for bitmaps without a context.
int DrawPlatformText(const NativeTextState& state, RAST_IBitmap* bitmap, const char* text, int length,
                     RAST_Rect* rect, unsigned format, RAST_SysBitmap*& scratch);

} // namespace rast
