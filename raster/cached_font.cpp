#include "raster/cached_font.h"
#include "raster/blit.h"
#include "raster/font_surfaces.h"
#include "raster/platform_font.h"
#include "raster/platform_text.h"

#include <algorithm>
#include <cstring>
#include <utility>

using namespace rast;

namespace {
constexpr size_t kHeapStep = 65536;
constexpr int kMinGlyphSurface = 256;

// Columns of slack either side of a glyph, for ink that overhangs its advance.
int GlyphMargin(int lineHeight) {
    return lineHeight < 16 ? 2 : lineHeight / 16 + 2;
}
} // namespace

RAST_CachedFont::RAST_CachedFont() {
    FontCreated();
}

RAST_CachedFont::~RAST_CachedFont() {
    if ((flags & FontOwnsPlatformFont) && platformFont) DeletePlatformFont(platformFont);
    FontDestroyed();
}

int RAST_CachedFont::LiveFonts() {
    return LiveFontCount();
}

RAST_Pixel RAST_CachedFont::SetTextColour(RAST_Pixel colour) {
    return std::exchange(textColour, colour);
}
RAST_Pixel RAST_CachedFont::SetBackColour(RAST_Pixel colour) {
    return std::exchange(backColour, colour);
}
RAST_Pixel RAST_CachedFont::SetEffectColour(RAST_Pixel colour) {
    return std::exchange(effectColour, colour);
}
int RAST_CachedFont::SetBackMode(int mode) {
    return std::exchange(backMode, mode);
}
void RAST_CachedFont::SetCombineMode(int mode, float a) {
    combineMode = mode;
    alpha = a;
}

void RAST_CachedFont::SetFromPlatformFont(RAST_FontHandle font, int newFlags) {
    if ((flags & FontOwnsPlatformFont) && platformFont && platformFont != font)
        DeletePlatformFont(platformFont);
    flags = newFlags;
    platformFont = font;
    if (font) {
        if (RAST_SysBitmap* surface = GlyphSurface(kMinGlyphSurface))
            lineHeight = PlatformLineHeight(font, *surface);
    }
    ClearGlyphs();
    if (flags & FontAsciiOnly)
        for (uint32_t code = 0; code < 128; ++code)
            GlyphFor(code);
}

void RAST_CachedFont::ClearGlyphs() {
    for (Glyph& g : ascii)
        g = Glyph{};
    others.clear();
    heap.clear();
}

const RAST_CachedFont::Glyph* RAST_CachedFont::GlyphFor(uint32_t code) {
    if (lineHeight > 1023 || !platformFont) return nullptr;
    if (code < 128) {
        Glyph& g = ascii[code];
        if (g.offset == 0) {
            g.code = code;
            RenderGlyph(g);
        }
        return g.offset > 0 ? &g : nullptr;
    }
    auto at = std::lower_bound(others.begin(), others.end(), code,
                               [](const Glyph& g, uint32_t c) { return g.code < c; });
    if (at != others.end() && at->code == code) return at->offset > 0 ? &*at : nullptr;
    if (flags & FontAsciiOnly) return nullptr;
    Glyph g;
    g.code = code;
    RenderGlyph(g);
    // Unrenderable characters keep a record too, so they are not tried again.
    at = others.insert(at, g);
    return at->offset > 0 ? &*at : nullptr;
}

bool RAST_CachedFont::RenderGlyph(Glyph& g) {
    const int keepCode = static_cast<int>(g.code);
    g = Glyph{};
    g.code = static_cast<uint32_t>(keepCode);
    g.offset = -1;
    const int size = 2 * std::max(lineHeight, 1) + 8;
    RAST_SysBitmap* surface = GlyphSurface(size);
    if (!surface) return false;
    const int m = GlyphMargin(lineHeight);

    int w = 0, h = 0;
    if (!MeasureCodePoint(platformFont, *surface, g.code, w, h)) return false;
    w = std::min(w, surface->Width());
    h = std::min(h, surface->Height());
    const int boxWidth = std::min(w + 2 * m, surface->Width());
    if (w < 1 || h < 1) return false;
    FillRectangle(surface, 0, 0, boxWidth, h, 0xFF000000u, 1.0f, ModeCopy);
    DrawCodePoint(platformFont, *surface, g.code, m);

    // Keep only the inked columns, but never less than the advance with its margin on the left.
    int first = boxWidth, last = -1;
    for (int y = 0; y < h; ++y) {
        const RAST_Pixel* row = surface->Row(y);
        for (int x = 0; x < boxWidth; ++x)
            if ((row[x] >> 16) & 255) first = std::min(first, x), last = std::max(last, x);
    }
    const int from = std::min(first, m);
    const int to = std::min(std::max(last + 1, w + m), boxWidth);
    const int width = to - from;

    const size_t offset = heap.size();
    const size_t need = offset + static_cast<size_t>(width) * h;
    if (need > heap.capacity()) heap.reserve((need + kHeapStep - 1) / kHeapStep * kHeapStep);
    heap.resize(need);
    for (int y = 0; y < h; ++y) {
        const RAST_Pixel* row = surface->Row(y);
        for (int x = 0; x < width; ++x)
            heap[offset + static_cast<size_t>(y) * width + x] = (row[from + x] >> 16) & 255;
    }
    g.offset = static_cast<int>(offset) + 1;
    g.width = width;
    g.height = h;
    g.advance = w;
    g.leftOffset = m - from;
    return true;
}

int RAST_CachedFont::RenderText(RAST_IBitmap* bitmap, const char* text, int length, RAST_Rect* rect,
                                unsigned format) {
    if (!bitmap && !(format & TextMeasureOnly)) return 0;
    if (!text || !rect) return 0;
    const bool noPlatform = (format & TextNoPlatformDrawing) != 0;
    format &= ~TextNoPlatformDrawing;
    const size_t n = length < 0 ? std::strlen(text) : static_cast<size_t>(length);

    const bool platformPreferred = (flags & FontPreferPlatformText) && platformFont && !noPlatform &&
                                   !RunningUnderWine() && !(format & TextUseColourAlpha) &&
                                   !(flags & FontEffectMask) &&
                                   (extraLineSpacing == 0 || (format & TextSingleLine));
    if (HasPlatformTextDrawing() && platformFont && (platformPreferred || lineHeight > 255)) {
        const NativeTextState state{platformFont, textColour, backColour, backMode, alpha, lineHeight};
        return DrawPlatformText(state, bitmap, text, static_cast<int>(n), rect, format, TextScratchSurface());
    }
    return RenderCached(bitmap, text, n, rect, format);
}
