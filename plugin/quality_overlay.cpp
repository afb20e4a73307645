#include "plugin/quality_overlay.h"

#include "engine/band_grid.h"
#include "graphics/graphics.h"
#include "graphics/text_style.h"
#include "plugin/curve_rasteriser.h"
#include "raster/cached_font.h"
#include "raster/font.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kPlotRight = 486;
constexpr double kEdgeDb = 20.0;
constexpr RAST_Pixel kShadeColour = 0xFF283C6Eu; // a dark blue, so the grid stays readable
constexpr double kDeepestShade = 0.5;

RAST_Pixel Blend(RAST_Pixel under, RAST_Pixel over, double a) {
    auto mix = [&](int shift) {
        const double u = (under >> shift) & 0xFF, o = (over >> shift) & 0xFF;
        return static_cast<RAST_Pixel>(std::lround(u + (o - u) * a)) << shift;
    };
    return (under & 0xFF000000u) | mix(16) | mix(8) | mix(0);
}

// Column of knot i of n, as the curves place their knots.
int KnotColumn(int i, int n) {
    return kPlotLeft + 437 * i / (n - 1);
}

void Text(IGraphics& editor, RAST_IBitmap& target, const IPixelRect& origin, const char* text, int left,
          int top, int right, int bottom, RAST_Pixel colour, int size, unsigned align) {
    ITextStyle style("Verdana", size,
                     IArgbColor(255, (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF),
                     ITextStyle::kNormal, ITextStyle::kNear);
    RAST_CachedFont* font = editor.FontFor(style);
    if (!font) return;
    font->SetTextColour(style.textColour.ToPixel());
    RAST_Rect box{left - origin.left, top - origin.top, right - origin.left, bottom - origin.top};
    font->RenderText(&target, text, -1, &box, align | TextSingleLine | TextNoPrefix | TextNoPlatformDrawing);
}

} // namespace

void ShadeLowConfidence(RAST_IBitmap& target, const IPixelRect& origin, const double* coherence,
                        const ProtectionRule& rule) {
    const int n = kNormalBands;
    for (int k = 0; k < n; ++k) {
        const double a = kDeepestShade * (1.0 - CorrectionShare(rule, coherence[k]));
        if (a <= 0.0) continue;
        // From half way to the previous knot to half way to the next one.
        const int x0 = k == 0 ? kPlotLeft : (KnotColumn(k - 1, n) + KnotColumn(k, n)) / 2 + 1;
        const int x1 = k == n - 1 ? kPlotRight : (KnotColumn(k, n) + KnotColumn(k + 1, n)) / 2;
        const int left = std::max(x0, origin.left), right = std::min(x1 + 1, origin.right);
        const int top = std::max(kPlotTop, origin.top), bottom = std::min(kPlotBottom + 1, origin.bottom);
        for (int y = top; y < bottom; ++y) {
            RAST_Pixel* row = target.Row(y - origin.top);
            for (int x = left; x < right; ++x)
                row[x - origin.left] = Blend(row[x - origin.left], kShadeColour, a);
        }
    }
}

void MarkCurveBeyondPlot(IGraphics& editor, RAST_IBitmap& target, const IPixelRect& origin,
                         const double* ratios, int n, RAST_Pixel colour) {
    if (n < 2) return;
    auto db = [&](int i) {
        const double v = ratios[i];
        return v > 0.0 && std::isfinite(v) ? 20.0 * std::log10(v) : 0.0;
    };
    for (int i = 0; i < n;) {
        const double d = db(i);
        if (std::fabs(d) <= kEdgeDb) {
            ++i;
            continue;
        }
        // One marker for a run of knots beyond the same edge, at its most extreme knot.
        const bool above = d > 0;
        int extreme = i;
        int j = i;
        for (; j < n && (above ? db(j) > kEdgeDb : db(j) < -kEdgeDb); ++j)
            if (std::fabs(db(j)) > std::fabs(db(extreme))) extreme = j;
        i = j;
        const int x = KnotColumn(extreme, n);
        // A triangle of 5 rows pointing out of the plot.
        for (int r = 0; r < 5; ++r) {
            const int y = above ? kPlotTop + r : kPlotBottom - r;
            if (y < origin.top || y >= origin.bottom) continue;
            RAST_Pixel* row = target.Row(y - origin.top);
            for (int c = x - r; c <= x + r; ++c)
                if (c >= origin.left && c < origin.right && c >= kPlotLeft && c <= kPlotRight)
                    row[c - origin.left] = colour;
        }
        char label[16];
        std::snprintf(label, sizeof label, "%+.0f", std::clamp(db(extreme), -999.0, 999.0));
        const int w = 40;
        const int left = std::clamp(x - w / 2, kPlotLeft, kPlotRight - w);
        const int top = above ? kPlotTop + 6 : kPlotBottom - 6 - 13;
        Text(editor, target, origin, label, left, top, left + w, top + 13, colour, 10, TextCentre);
    }
}

void DrawStatusLine(IGraphics& editor, RAST_IBitmap& target, const IPixelRect& origin, const char* text) {
    if (!text || !*text) return;
    Text(editor, target, origin, text, kPlotLeft + 4, kPlotBottom - 15, kPlotRight - 4, kPlotBottom - 2,
         0xFFD8D8D8u, 10, TextRight);
}
