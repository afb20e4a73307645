#include "raster/platform_text.h"
#include "raster/posix/freetype_font.h"

#include FT_OUTLINE_H

#include <algorithm>

namespace rast {

namespace {
FreeTypeFont* Font(RAST_FontHandle handle) {
    return static_cast<FreeTypeFont*>(handle);
}

bool LoadGlyph(FreeTypeFont* font, uint32_t code, bool render) {
    const FT_UInt index = FT_Get_Char_Index(font->face, code);
    FT_Int32 load = font->monochrome ? (FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Glyph(font->face, index, load) != 0) return false;
    FT_GlyphSlot slot = font->face->glyph;
    if (font->emboldenStrength && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        const FT_Pos strength = FT_MulFix(font->face->units_per_EM, font->face->size->metrics.y_scale) / 24;
        FT_Outline_Embolden(&slot->outline, strength);
        slot->advance.x += strength;
    }
    if (render && FT_Render_Glyph(slot, font->monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return false;
    return true;
}
} // namespace

// Plain memory has no drawing state to prepare: drawing below is always white on black.
void PrepareGlyphSurface(RAST_SysBitmap&) {}

int PlatformLineHeight(RAST_FontHandle handle, RAST_SysBitmap&) {
    return handle ? Font(handle)->height : 0;
}

bool MeasureCodePoint(RAST_FontHandle handle, RAST_SysBitmap&, uint32_t code, int& w, int& h) {
    w = h = 0;
    FreeTypeFont* font = Font(handle);
    if (!font || !LoadGlyph(font, code, false)) return false;
    w = static_cast<int>((font->face->glyph->advance.x + 32) >> 6);
    h = font->height;
    return true;
}

void DrawCodePoint(RAST_FontHandle handle, RAST_SysBitmap& surface, uint32_t code, int x) {
    FreeTypeFont* font = Font(handle);
    if (!font || !surface.Bits() || !LoadGlyph(font, code, true)) return;
    const FT_GlyphSlot slot = font->face->glyph;
    const FT_Bitmap& bmp = slot->bitmap;
    const int left = x + slot->bitmap_left, top = font->ascent - slot->bitmap_top;
    for (int row = 0; row < static_cast<int>(bmp.rows); ++row) {
        const int y = top + row;
        if (y < 0 || y >= surface.Height()) continue;
        const unsigned char* src = bmp.buffer + static_cast<long>(row) * bmp.pitch;
        RAST_Pixel* dst = surface.Row(y);
        for (int col = 0; col < static_cast<int>(bmp.width); ++col) {
            const int px = left + col;
            if (px < 0 || px >= surface.Width()) continue;
            int v;
            if (bmp.pixel_mode == FT_PIXEL_MODE_MONO)
                v = (src[col >> 3] >> (7 - (col & 7)) & 1) ? 255 : 0;
            else
                v = src[col];
            const int old = dst[px] & 255;
            if (v > old) dst[px] = static_cast<RAST_Pixel>(v) * 0x010101u;
        }
    }
}

bool HasPlatformTextDrawing() {
    return false;
}

namespace {
int wineOverride = -1;
}
bool RunningUnderWine() {
    return wineOverride == 1;
}
void OverrideWineDetection(int state) {
    wineOverride = state;
}

// Never called: without platform text drawing every text takes the cached path.
int DrawPlatformText(const NativeTextState&, RAST_IBitmap*, const char*, int, RAST_Rect*, unsigned,
                     RAST_SysBitmap*&) {
    return 0;
}

} // namespace rast
