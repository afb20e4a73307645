#include "raster/blit.h"
#include "raster/cached_font.h"
#include "raster/glyph_combine.h"
#include "raster/pixel_ops.h"
#include "raster/utf8.h"

#include <algorithm>
#include <climits>

using namespace rast;

namespace {

// a + b limited to the int range (a measured box may start anywhere).
int SaturatedSum(int a, int b) {
    const long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : (sum < INT_MIN ? INT_MIN : static_cast<int>(sum));
}

struct Extent {
    int width = 0, height = 0;
};

// Walks the characters of the text: carriage returns are skipped, a line feed starts a new line
// (or counts as a space in single-line text). visit(glyph, penX, penY) sees each renderable one.
template <typename Visit>
void WalkText(RAST_CachedFont& font, const char* text, size_t length, bool singleLine, int lineStep,
              Visit visit) {
    int penX = 0, penY = 0;
    for (size_t pos = 0; pos < length;) {
        uint32_t code = NextCodePoint(text, length, pos);
        if (code == '\r') continue;
        if (code == '\n') {
            if (!singleLine) {
                penX = 0;
                penY += lineStep;
                continue;
            }
            code = ' ';
        }
        const RAST_CachedFont::Glyph* g = font.GlyphFor(code);
        if (!g) continue;
        visit(*g, penX, penY);
        penX += g->advance;
    }
}

} // namespace

int RAST_CachedFont::RenderCached(RAST_IBitmap* bitmap, const char* text, size_t length, RAST_Rect* rect,
                                  unsigned format) {
    const bool measureOnly = (format & TextMeasureOnly) != 0;
    float drawAlpha = alpha;
    if (format & TextUseColourAlpha) drawAlpha *= static_cast<float>(textColour >> 24) / 255.0f;
    const int a = IntAlpha(drawAlpha);
    if (!measureOnly && a == 0) return 0;

    const bool singleLine = (format & TextSingleLine) != 0;
    const int lineStep = lineHeight + extraLineSpacing;
    Extent e;
    WalkText(*this, text, length, singleLine, lineStep, [&](const Glyph& g, int penX, int penY) {
        e.width = std::max({e.width, penX + g.advance, penX + g.width - g.leftOffset});
        e.height = std::max(e.height, penY + g.height);
    });
    if (measureOnly) {
        rect->right = SaturatedSum(rect->left, e.width);
        rect->bottom = SaturatedSum(rect->top, e.height);
        return e.height;
    }
    if (!bitmap->Bits()) return 0;

    // Placement in 64 bits: extreme rectangles must not wrap.
    const long long left = rect->left, top = rect->top, right = rect->right, bottom = rect->bottom;
    long long x = left, y = top;
    if (format & TextCentre)
        x = left + (right - e.width - left) / 2;
    else if (format & TextRight)
        x = right - e.width;
    if (format & TextVCentre)
        y = top + (bottom - e.height - top) / 2;
    else if (format & TextBottom)
        y = bottom - e.height;

    WalkText(*this, text, length, singleLine, lineStep, [&](const Glyph& g, int penX, int penY) {
        DrawGlyphWeighted(bitmap, g, x + penX - g.leftOffset, y + penY, *rect, a);
    });
    return e.height;
}

bool RAST_CachedFont::DrawGlyph(RAST_IBitmap* bitmap, uint32_t code, int x, int y, const RAST_Rect* clip) {
    if (!bitmap || !bitmap->Bits()) return false;
    const Glyph* g = GlyphFor(code);
    if (!g) return false;
    const RAST_Rect whole{0, 0, bitmap->Width(), bitmap->Height()};
    return DrawGlyphWeighted(bitmap, *g, x, y, clip ? *clip : whole, IntAlpha(alpha));
}

bool RAST_CachedFont::DrawGlyphWeighted(RAST_IBitmap* bitmap, const Glyph& g, long long x, long long y,
                                        const RAST_Rect& clip, int a) {
    // Visible part of the coverage box, in 64 bits so extreme positions cannot wrap.
    const long long left = std::max({x, 0LL, static_cast<long long>(clip.left)});
    const long long top = std::max({y, 0LL, static_cast<long long>(clip.top)});
    const long long right =
        std::min({x + g.width, static_cast<long long>(bitmap->Width()), static_cast<long long>(clip.right)});
    const long long bottom = std::min(
        {y + g.height, static_cast<long long>(bitmap->Height()), static_cast<long long>(clip.bottom)});
    if (left >= right || top >= bottom) return true;
    const int bx = static_cast<int>(left), by = static_cast<int>(top);
    const int bw = static_cast<int>(right - left), bh = static_cast<int>(bottom - top);

    const int mode = combineMode & 0xFF;
    if (backMode == BackOpaque) FillRectangle(bitmap, bx, by, bw, bh, backColour, alpha, mode);

    const uint8_t* coverage = Coverage(g);
    for (int row = 0; row < bh; ++row) {
        const uint8_t* cov = coverage + static_cast<size_t>(by - y + row) * g.width + (bx - x);
        RAST_Pixel* d = bitmap->Row(by + row) + bx;
        for (int i = 0; i < bw; ++i)
            if (cov[i]) d[i] = CombineCoverage(mode, d[i], textColour, cov[i], a);
    }
    return true;
}
