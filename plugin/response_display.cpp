#include "plugin/response_display.h"

#include "engine/band_grid.h"
#include "engine/correction_engine.h"
#include "framework/effect_base.h"
#include "graphics/graphics.h"
#include "plugin/curve_rasteriser.h"
#include "plugin/measurement_status.h"
#include "plugin/quality_overlay.h"
#include "raster/blit.h"
#include "raster/sys_bitmap.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr RAST_Pixel kDesiredColour = 0xFF00FF00u;  // green
constexpr RAST_Pixel kMeasuredColour = 0xFFAAAAAAu; // grey
constexpr RAST_Pixel kResultColour = 0xFFFFFFFFu;   // white

// Rows of the drawing: a press or drag from row 11 (+20 dB) to row 306 (-20 dB) sets a value; the
// strip below the plot is dead, and drags further down (the pointer left the editor's lower part)
// still move the line mode's far end but set no value.
constexpr int kValueTopRow = 11;
constexpr int kValueBottomRow = 306;
constexpr int kDeadFirstRow = 307;
constexpr int kDeadLastRow = 321;
constexpr int kDragLastRow = 617;
constexpr int kDragFirstColumn = 49;
constexpr int kDragLastColumn = 487;

bool InDeadRows(int y) {
    return y >= kDeadFirstRow && y <= kDeadLastRow;
}

// Normal-resolution band under an editor column: 0 at the plot's left edge, 32 at its right.
int BandAtColumn(int x) {
    const int clamped = std::clamp(x, 43, kDragLastColumn);
    return std::clamp(32 * (clamped - 43) / 438, 0, kNormalBands - 1);
}

// Ratio of a row: 10 (+20 dB) at row 11 down to 0.1 (-20 dB) at row 306, linear in decibels.
double RatioAtRow(int y) {
    return std::pow(10.0, 1.0 - 2.0 * (y - 11) / 295.0);
}

// Curve entries restored from a host state may be anything; they count as 0 dB for the line.
double Log10OrZero(double ratio) {
    return ratio > 0.0 && std::isfinite(ratio) ? std::log10(ratio) : 0.0;
}

// A rectangle of another bitmap seen as a bitmap of its own, so that lines drawn into it are clipped
// to the rectangle by the raster library's own clipping. Borrows the pixels; allocates nothing.
class BitmapWindow final : public RAST_IBitmap {
  public:
    BitmapWindow(const RAST_IBitmap& whole, const IPixelRect& r)
        : bits((whole.IsFlipped() ? whole.Row(r.bottom - 1) : whole.Row(r.top)) + r.left), width(r.W()),
          height(r.H()), span(whole.RowSpan()), flipped(whole.IsFlipped()) {}

    RAST_Pixel* Bits() const override { return bits; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    int RowSpan() const override { return span; }
    bool IsFlipped() const override { return flipped; }
    bool ResizeTo(int, int) override { return false; }
    void* DrawingContext() const override { return nullptr; }
    intptr_t Extended(int, void*) override { return 0; }

  private:
    RAST_Pixel* bits;
    int width;
    int height;
    int span;
    bool flipped;
};

// How a curve is stroked: thin, or thick with a copy one pixel to the right and, where both ends of
// the raised copy stay at or below raisedTopRow, one pixel higher.
struct Stroke {
    RAST_Pixel colour;
    bool thick;
    int raisedTopRow;
};

void DrawCurve(BitmapWindow& target, const IPixelRect& origin, const double* ratios, int n,
               const Stroke& stroke) {
    CurvePoint pts[kCurveColumns];
    RasteriseCurve(ratios, n, pts);
    ClipCurveToPlot(pts);
    const auto line = [&](int x1, int y1, int x2, int y2) {
        DrawLine(&target, x1 - origin.left, y1 - origin.top, x2 - origin.left, y2 - origin.top, stroke.colour,
                 1.0f, ModeCopy);
    };
    for (int k = 0; k + 1 < kCurveColumns; ++k) {
        const CurvePoint a = pts[k], b = pts[k + 1];
        if (a.y == kNoRow || b.y == kNoRow) continue;
        line(a.x, a.y, b.x, b.y);
        if (!stroke.thick) continue;
        if (a.y - 1 >= stroke.raisedTopRow && b.y - 1 >= stroke.raisedTopRow)
            line(a.x, a.y - 1, b.x, b.y - 1);
        if (k + 1 < kCurveColumns - 1) line(a.x + 1, a.y, b.x + 1, b.y);
    }
}

} // namespace

IMyPlots::IMyPlots(IEffectBase* plug, CorrectionEngine& e, const IPixelRect& rect, int paramIdx)
    : IControl(plug, rect, paramIdx), engine(e) {}

IMyPlots::~IMyPlots() = default;

void IMyPlots::HandleMouseDown(int x, int y, const IMouseMods& mods) {
    if (InDeadRows(y)) return;
    dragging = true;
    if (mods.left)
        EditAt(x, y, EditMode::Freehand);
    else if (mods.right)
        EditAt(x, y, EditMode::Anchor);
    MarkDirty(true);
}

void IMyPlots::HandleMouseDrag(int x, int y, int, int, const IMouseMods& mods) {
    if (!dragging) return;
    if (x < kDragFirstColumn || x > kDragLastColumn || y < kValueTopRow || y > kDragLastRow || InDeadRows(y))
        return;
    if (mods.left)
        EditAt(x, y, EditMode::Freehand);
    else if (mods.right)
        EditAt(x, y, EditMode::Line);
    MarkDirty(true);
}

void IMyPlots::HandleMouseUp(int, int, const IMouseMods&) {
    dragging = false;
    engine.DesignCorrection();
}

void IMyPlots::EditAt(int x, int y, EditMode mode) {
    // The engine edits only while the design shows the wanted response; the display arrays follow
    // without a redesign, which the release asks for.
    engine.EditUserCurve([&](double* curve) {
        const int j = BandAtColumn(x);
        if (mode == EditMode::Line && j == anchorBand) return;
        if (mode == EditMode::Anchor) anchorBand = j;
        if (y >= kValueTopRow && y <= kValueBottomRow) curve[j] = RatioAtRow(y);

        const int lo = std::min(anchorBand, j), hi = std::max(anchorBand, j);
        if (mode == EditMode::Line && hi - lo >= 2) {
            const double first = Log10OrZero(curve[lo]), last = Log10OrZero(curve[hi]);
            for (int i = lo + 1; i < hi; ++i)
                curve[i] = std::pow(10.0, first + (i - lo) * (last - first) / (hi - lo));
        }
    });
}

bool IMyPlots::Paint(IGraphics* editor) {
    if (!editor) return true;
    const RAST_IBitmap* surface = editor->DrawSurface();
    if (!surface || !surface->Bits()) return true;
    // Only the area being redrawn: elsewhere the curves are already on the surface, and drawing the
    // anti-aliased edges twice would thicken them.
    const IPixelRect clip = drawRect.Intersection(editor->DrawArea())
                                .Intersection(IPixelRect(0, 0, surface->Width(), surface->Height()));
    if (clip.W() <= 0 || clip.H() <= 0) return true;
    BitmapWindow target(*surface, clip);

    // One snapshot: a design or a restore on another thread writes the curves.
    const EngineSnapshot e = engine.Snapshot();
    const int n = SectionCount(e.resolution);
    const auto& desired = e.curveDesired;
    const auto& measured = e.curveMeasured;
    const auto& result = e.curveResult;
    const ProtectionRule& rule = e.protection;
    // The quality of the measurement, shown while the correction of the target is: behind the
    // curves (which stay exact) and at the plot's edges. Not known (a loaded file): nothing.
    const bool quality = e.quality.known && e.outputSelection != 0.0 && e.outputSelection != 0.5;
    const auto& coherence = e.quality.coherence;
    if (quality) ShadeLowConfidence(target, clip, coherence.data(), rule);
    DrawCurve(target, clip, desired.data(), n, {kDesiredColour, false, 0});
    DrawCurve(target, clip, measured.data(), n, {kMeasuredColour, true, kPlotTop});
    DrawCurve(target, clip, result.data(), n, {kResultColour, true, kPlotTop + 1});
    if (quality) {
        MarkCurveBeyondPlot(*editor, target, clip, desired.data(), n, kDesiredColour);
        MarkCurveBeyondPlot(*editor, target, clip, measured.data(), n, kMeasuredColour);
        MarkCurveBeyondPlot(*editor, target, clip, result.data(), n, kResultColour);
        DrawStatusLine(*editor, target, clip, MeasurementStatusLine(e.quality, rule).c_str());
    }
    return true;
}
