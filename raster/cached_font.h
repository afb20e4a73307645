#pragma once

#include "raster/font.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Text on raster bitmaps. Draws either through the platform's own text drawing or from a cache of
// glyph coverage it renders once per character and combines with the bitmap itself - the latter
// for translucent text, under Wine, and on systems without platform text drawing.
class RAST_CachedFont : public RAST_IFont {
  public:
    RAST_CachedFont();
    ~RAST_CachedFont() override;
    RAST_CachedFont(const RAST_CachedFont&) = delete;
    RAST_CachedFont& operator=(const RAST_CachedFont&) = delete;

    void SetFromPlatformFont(RAST_FontHandle font, int flags) override;
    RAST_Pixel SetTextColour(RAST_Pixel colour) override;
    RAST_Pixel SetBackColour(RAST_Pixel colour) override;
    RAST_Pixel SetEffectColour(RAST_Pixel colour) override;
    int SetBackMode(int mode) override;
    void SetCombineMode(int mode, float alpha) override;
    int RenderText(RAST_IBitmap* bitmap, const char* text, int length, RAST_Rect* rect,
                   unsigned format) override;
    RAST_Pixel TextColour() const override { return textColour; }
    RAST_FontHandle PlatformFont() const override { return platformFont; }
    int LineHeight() const override { return lineHeight; }
    // Puts one cached glyph on the bitmap with its coverage's left edge at x, clipped to clip and the
    // bitmap; false when the character cannot be rendered.
    virtual bool DrawGlyph(RAST_IBitmap* bitmap, uint32_t code, int x, int y, const RAST_Rect* clip);

    struct Glyph {
        int offset = 0; // coverage position in the heap plus one; 0 not rendered, negative unrenderable
        int width = 0, height = 0;
        int advance = 0;
        uint32_t code = 0;
        int leftOffset = 0; // columns trimmed on the left of the drawing position
    };
    // The rendered glyph for a character, or null when it cannot be rendered.
    const Glyph* GlyphFor(uint32_t code);
    // Coverage bytes of a rendered glyph, width x height, row by row.
    const uint8_t* Coverage(const Glyph& glyph) const { return heap.data() + glyph.offset - 1; }

    // Live fonts in the process (the shared surfaces exist while this is above zero).
    static int LiveFonts();

  private:
    int RenderCached(RAST_IBitmap* bitmap, const char* text, size_t length, RAST_Rect* rect, unsigned format);
    bool DrawGlyphWeighted(RAST_IBitmap* bitmap, const Glyph& glyph, long long x, long long y,
                           const RAST_Rect& clip, int a);
    bool RenderGlyph(Glyph& glyph);
    void ClearGlyphs();

    RAST_Pixel textColour = 0;
    RAST_Pixel backColour = 0xffffffffu;
    RAST_Pixel effectColour = 0xffffffffu;
    int backMode = BackTransparent;
    int combineMode = 0;
    float alpha = 1.0f;
    int flags = 0;
    int lineHeight = 0;
    int extraLineSpacing = 0;
    Glyph ascii[128];
    std::vector<Glyph> others; // codes 128 and above, sorted by code
    std::vector<uint8_t> heap; // glyph coverage
    RAST_FontHandle platformFont = nullptr;
};
