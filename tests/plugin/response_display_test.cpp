#include "plugin/response_display.h"
#include "support/engine_operations.h"
#include "support/engine_probe.h"

#include "engine/engine_fixture.h"
#include "graphics/headless/headless_graphics.h"
#include "plugin/curve_rasteriser.h"
#include "plugin/measurement_status.h"
#include "raster/blit.h"
#include "raster/sys_bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr RAST_Pixel kMarker = 0xFF123456u;
constexpr RAST_Pixel kBlack = 0xFF000000u;
constexpr RAST_Pixel kWhite = 0xFFFFFFFFu;
constexpr RAST_Pixel kGrey = 0xFFAAAAAAu;
constexpr int kLastColumn = kPlotLeft + kCurveColumns - 1; // 486

// Row of a knot before clipping, as the display defines it: 0 dB at 159.5, +-20 dB 146.75 rows away.
int KnotRow(double ratio) {
    return static_cast<int>(158.5 - std::log10(ratio) * 293.5 / 2 + 1);
}

struct Curve {
    CurvePoint pts[kCurveColumns];
    explicit Curve(const std::vector<double>& ratios, bool clip = true) {
        RasteriseCurve(ratios.data(), static_cast<int>(ratios.size()), pts);
        if (clip) ClipCurveToPlot(pts);
    }
};

// The editor with the response display where the plug-in puts it, over an engine that hears the
// corrected target. Its designs wait for a release of the mouse (or a test's own call), so that the
// curves a test puts on the display stay there.
struct DisplayRig {
    DisplayRig() : editor(&effect, 730, 330, 25) {
        effect.engine.SetListener(&events);
        effect.engine.SetDesignsDeferred(true);
        effect.engine.SetOutputSelection(1.0);
        editor.PrepareSurfaces();
        editor.AttachToParent(nullptr);
        display = new IMyPlots(&effect, effect.engine, IPixelRect(49, 11, 487, 306), 13);
        editor.AddControl(display);
    }
    // The whole editor redrawn over a surface filled with one colour.
    void PaintOver(RAST_Pixel fill) {
        FillRectangle(editor.DrawSurface(), 0, 0, 730, 330, fill, 1.0f, ModeCopy);
        editor.DrawDirty(IPixelRect(0, 0, 730, 330));
    }
    RAST_Pixel At(int x, int y) const { return editor.DrawSurface()->Row(y)[x]; }
    void FillCurves(double ratio) {
        CorrectionEngineProbe::curveDesired(effect.engine).fill(ratio);
        CorrectionEngineProbe::curveMeasured(effect.engine).fill(ratio);
        CorrectionEngineProbe::curveResult(effect.engine).fill(ratio);
    }

    EngineEffect effect;
    EventLog events;
    IGraphicsHeadless editor;
    IMyPlots* display;
};

IMouseMods Left() {
    IMouseMods m;
    m.left = true;
    return m;
}
IMouseMods Right() {
    IMouseMods m;
    m.right = true;
    return m;
}

// ---- Rasteriser ----

TEST(CurveRasteriser, FlatCurveLiesOnRow159InBothResolutions) {
    for (int n : {33, 120}) {
        Curve c(std::vector<double>(static_cast<size_t>(n), 1.0));
        for (int k = 0; k < kCurveColumns; ++k) {
            ASSERT_EQ(c.pts[k].x, kPlotLeft + k);
            ASSERT_EQ(c.pts[k].y, 159) << "n " << n << " column " << k;
        }
    }
}

TEST(CurveRasteriser, KnotsSitOnTheirColumnsAndSegmentsNeverOvershoot) {
    for (int n : {33, 120}) {
        std::vector<double> v(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            v[size_t(i)] = std::pow(10.0, 0.6 * std::sin(i * 0.7) + 0.3 * std::cos(i * 2.3));
        Curve c(v, false);
        int previousColumn = -1;
        for (int i = 0; i < n; ++i) {
            const int column = 437 * i / (n - 1);
            EXPECT_EQ(c.pts[column].y, KnotRow(v[size_t(i)])) << "n " << n << " knot " << i;
            if (i > 0) {
                // 120 knots lie three or four columns apart.
                if (n == 120) {
                    EXPECT_TRUE(column - previousColumn == 3 || column - previousColumn == 4);
                }
                // Control points are flattened at extremes and capped at half a step: every column
                // between two knots lies between their rows.
                const int lo = std::min(KnotRow(v[size_t(i - 1)]), KnotRow(v[size_t(i)]));
                const int hi = std::max(KnotRow(v[size_t(i - 1)]), KnotRow(v[size_t(i)]));
                for (int x = previousColumn + 1; x < column; ++x) {
                    EXPECT_GE(c.pts[x].y, lo) << "n " << n << " column " << x;
                    EXPECT_LE(c.pts[x].y, hi) << "n " << n << " column " << x;
                }
            }
            previousColumn = column;
        }
    }
}

TEST(CurveRasteriser, FortyDecibelsIsDrawnAtTheLimitAndClippedToTheTopRowWithAGap) {
    std::vector<double> v(33, 1.0);
    v[16] = 100.0;
    Curve raw(v, false);
    EXPECT_EQ(raw.pts[218].y, -16); // +24 dB: trunc(159.5 - 1.2 * 146.75)

    Curve c(v);
    EXPECT_EQ(c.pts[218].y, kNoRow);
    int leave = -1, enter = -1;
    for (int k = 0; k + 1 < kCurveColumns; ++k) {
        const int a = c.pts[k].y, b = c.pts[k + 1].y;
        if (a != kNoRow) {
            EXPECT_GE(a, kPlotTop);
            EXPECT_LE(a, kPlotBottom);
        }
        if (a > kPlotTop && b == kPlotTop) leave = k + 1;
        if (a == kNoRow && b == kPlotTop) enter = k + 1;
    }
    ASSERT_GT(leave, 0);
    ASSERT_GT(enter, leave);
    EXPECT_EQ(c.pts[leave + 1].y, kNoRow);
    EXPECT_GT(c.pts[enter + 1].y, kPlotTop);

    // Entirely above the plot: nothing is left to draw.
    Curve above(std::vector<double>(120, 100.0));
    for (const CurvePoint& p : above.pts)
        ASSERT_EQ(p.y, kNoRow);
}

TEST(CurveRasteriser, BezierParameterIsTheRootInsideTheSegment) {
    struct Case {
        const char* what;
        double x[4];
        double column;
        double t; // < 0: only the residual is checked
    };
    const Case cases[] = {
        {"straight: no cubic or square term", {0, 1, 2, 3}, 1.5, 0.5},
        {"no cubic term", {0, 0, 1, 3}, 0.75, 0.5},
        {"three real roots, one inside", {0, 0.5, 1.5, 2}, 1.0, 0.5},
        {"first segment of 33 knots", {0, 6.3636, 6.3636, 13}, 5.0, -1},
        {"interior segment of 120 knots", {3, 4.825, 5.175, 7}, 6.0, -1},
        {"interior segment of 33 knots", {13, 19.636, 20.364, 27}, 14.0, -1},
        {"start of the segment", {13, 19.636, 20.364, 27}, 13.0, 0.0},
        {"end of the segment", {13, 19.636, 20.364, 27}, 27.0, 1.0},
    };
    for (const Case& c : cases) {
        const double t = BezierParameterAtColumn(c.x[0], c.x[1], c.x[2], c.x[3], c.column);
        ASSERT_TRUE(t >= 0.0 && t <= 1.0) << c.what;
        const double s = 1 - t;
        const double x =
            s * s * s * c.x[0] + 3 * s * s * t * c.x[1] + 3 * s * t * t * c.x[2] + t * t * t * c.x[3];
        EXPECT_NEAR(x, c.column, 1e-9) << c.what;
        if (c.t >= 0) {
            EXPECT_NEAR(t, c.t, 1e-9) << c.what;
        }
    }
}

TEST(CurveRasteriser, ClippingWalk) {
    struct Case {
        const char* what;
        std::vector<int> rows; // the first columns; the rest have no point
        std::vector<int> clipped;
    };
    const Case cases[] = {
        {"inside stays", {100, 200, 305, 11}, {100, 200, 305, 11}},
        {"leaving upward ends on the top row", {100, 5, 3}, {100, 11, -1}},
        {"entering from above starts on the top row", {5, 8, 100}, {-1, 11, 100}},
        {"leaving from the top row drops the outside point", {100, 11, 5}, {100, 11, -1}},
        {"leaving downward ends on the bottom row", {200, 400, 500, 250}, {200, 305, -1, 250}},
        {"entering from below starts on the bottom row", {400, 500, 250}, {-1, 305, 250}},
        {"from below onto the bottom row", {400, 305}, {-1, 305}},
        {"a jump across the plot downward", {5, 320, 200}, {11, 305, 200}},
        {"a jump across the plot upward", {320, 5, 100}, {305, 11, 100}},
        {"an outside point before a gap", {200, 0, -1, 400, -1}, {200, 11, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        CurvePoint pts[kCurveColumns];
        for (int k = 0; k < kCurveColumns; ++k)
            pts[k] = {kPlotLeft + k, k < int(c.rows.size()) ? c.rows[size_t(k)] : kNoRow};
        ClipCurveToPlot(pts);
        std::vector<int> got;
        for (size_t k = 0; k < c.clipped.size(); ++k)
            got.push_back(pts[k].y);
        EXPECT_EQ(got, c.clipped) << c.what;
        EXPECT_EQ(pts[0].x, kPlotLeft);
    }

    // The last column has no step of its own: left outside behind a dropped point, it is dropped too.
    CurvePoint pts[kCurveColumns];
    for (int k = 0; k < kCurveColumns; ++k)
        pts[k] = {kPlotLeft + k, 150};
    pts[435].y = 0;
    pts[436].y = 3;
    pts[437].y = 5;
    ClipCurveToPlot(pts);
    EXPECT_EQ(pts[434].y, 150);
    EXPECT_EQ(pts[435].y, 11);
    EXPECT_EQ(pts[436].y, kNoRow);
    EXPECT_EQ(pts[437].y, kNoRow);
}

// ---- Drawing ----

TEST(ResponseDisplay, FlatCurvesAreOneLineOnRow159WithTheWhiteResultOnTop) {
    DisplayRig rig;
    rig.PaintOver(kBlack);
    for (int x = kPlotLeft; x <= kLastColumn; ++x) {
        ASSERT_EQ(rig.At(x, 159), kWhite) << x;
        ASSERT_EQ(rig.At(x, 158), kWhite) << x; // the thick stroke's raised copy
        ASSERT_EQ(rig.At(x, 160), kBlack) << x;
        ASSERT_EQ(rig.At(x, 157), kBlack) << x;
    }
    EXPECT_EQ(rig.At(kLastColumn + 1, 159), kBlack);
}

TEST(ResponseDisplay, RaisedCopiesOfThickStrokesStayBelowTheirTopRows) {
    DisplayRig rig;
    // Row 12: the grey measured curve may raise its copy to row 11, the white result may not.
    const double row12 = std::pow(10.0, 1.0017);
    CorrectionEngineProbe::curveMeasured(rig.effect.engine).fill(row12);
    CorrectionEngineProbe::curveResult(rig.effect.engine).fill(row12);
    rig.PaintOver(kBlack);
    for (int x = kPlotLeft; x <= kLastColumn; ++x) {
        ASSERT_EQ(rig.At(x, 12), kWhite) << x;
        ASSERT_EQ(rig.At(x, 11), kGrey) << x;
        ASSERT_EQ(rig.At(x, 10), kBlack) << x;
    }
    EXPECT_EQ(rig.At(kPlotLeft + 1, 159), 0xFF00FF00u); // the green wanted response at 0 dB
}

TEST(ResponseDisplay, HostileRatiosNeverDrawOutsideThePlot) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        std::vector<double> pattern; // repeated over the bands
        bool shows;                  // false: every curve lies beyond a limit
    };
    const Case cases[] = {
        {"NaN", {nan}, false},
        {"zero", {0.0}, false},
        {"negative", {-3.0}, false},
        {"huge", {1e308}, false},
        {"infinite", {inf}, false},
        {"minus infinity", {-inf}, false},
        {"denormal", {4.9e-324}, false},
        {"full swing every band", {1e300, 1e-300}, true},
        {"mixed", {nan, 1e308, 0.0, 1.0, -inf, inf, 1e-9, 5.0}, true},
    };
    for (const Case& c : cases) {
        for (double resolution : {0.0, 1.0}) {
            DisplayRig rig;
            auto& e = rig.effect.engine;
            e.SetResolution(resolution);
            for (size_t i = 0; i < e.Snapshot().curveDesired.size(); ++i) {
                const double v = c.pattern[i % c.pattern.size()];
                CorrectionEngineProbe::curveDesired(e)[i] = v;
                CorrectionEngineProbe::curveMeasured(e)[i] = c.pattern[(i + 1) % c.pattern.size()];
                CorrectionEngineProbe::curveResult(e)[i] = c.pattern[(i + 2) % c.pattern.size()];
            }
            const EngineSnapshot drawn = e.Snapshot();
            for (const auto* curve : {&drawn.curveDesired, &drawn.curveMeasured, &drawn.curveResult}) {
                CurvePoint pts[kCurveColumns];
                RasteriseCurve(curve->data(), resolution == 0.0 ? 33 : 120, pts);
                ClipCurveToPlot(pts);
                for (const CurvePoint& p : pts)
                    ASSERT_TRUE(p.y == kNoRow || (p.y >= kPlotTop && p.y <= kPlotBottom)) << c.what;
            }

            rig.PaintOver(kMarker);
            int changed = 0;
            for (int y = 0; y < 330; ++y)
                for (int x = 0; x < 730; ++x) {
                    const bool inside =
                        x >= kPlotLeft && x <= kLastColumn && y >= kPlotTop && y <= kPlotBottom;
                    if (inside)
                        changed += rig.At(x, y) != kMarker;
                    else
                        ASSERT_EQ(rig.At(x, y), kMarker) << c.what << " at " << x << "," << y;
                }
            EXPECT_EQ(changed > 0, c.shows) << c.what;
        }
    }
}

TEST(ResponseDisplay, DrawsOnlyInsideTheAreaBeingRedrawn) {
    DisplayRig rig;
    FillRectangle(rig.editor.DrawSurface(), 0, 0, 730, 330, kBlack, 1.0f, ModeCopy);
    // A redraw of the About box's area inside the plot leaves the rest of the curves alone.
    rig.editor.DrawDirty(IPixelRect(158, 60, 378, 247));
    EXPECT_EQ(rig.At(200, 159), kWhite);
    EXPECT_EQ(rig.At(157, 159), kBlack);
    EXPECT_EQ(rig.At(378, 159), kBlack);
}

// ---- Mouse drawing ----

TEST(ResponseDisplay, LeftButtonDrawsTheRowsValueAndIgnoresDragsBelowThePlot) {
    DisplayRig rig;
    auto& e = rig.effect.engine;
    CorrectionEngineProbe::achievedResponse(e).fill(2.0);
    CorrectionEngineProbe::curveResult(e).fill(3.0);

    rig.editor.MouseDown(49, 11, Left());
    EXPECT_TRUE(rig.display->Dragging());
    EXPECT_DOUBLE_EQ(e.Snapshot().userCurve[0], 10.0);

    const double row306 = 0.1, row158 = 1.0078, row159 = 0.9922;
    rig.editor.MouseDrag(49, 306, Left());
    EXPECT_NEAR(e.Snapshot().userCurve[0], row306, 1e-15);
    rig.editor.MouseDrag(49, 158, Left());
    EXPECT_NEAR(e.Snapshot().userCurve[0], row158, 1e-4);
    rig.editor.MouseDrag(49, 159, Left());
    EXPECT_NEAR(e.Snapshot().userCurve[0], row159, 1e-4);
    // Below the plot (322..617), in the dead strip under it and beyond the drag area the point stays.
    const double kept = e.Snapshot().userCurve[0];
    for (int row : {322, 617, 310, 307, 321, 618, 1000}) {
        rig.editor.MouseDrag(49, row, Left());
        EXPECT_EQ(e.Snapshot().userCurve[0], kept) << "row " << row;
    }

    // The 120 points follow, the wanted curve is shown at once, the result waits for the release.
    EXPECT_DOUBLE_EQ(e.Snapshot().userCurve[33], e.Snapshot().userCurve[0]);
    EXPECT_EQ(e.Snapshot().curveDesired[0], e.Snapshot().userCurve[0]);
    EXPECT_EQ(e.Snapshot().curveResult[0], 2.0);
    EXPECT_EQ(rig.events.designs, 0);
    EXPECT_TRUE(rig.display->NeedsRepaint());

    rig.editor.MouseUp(49, 159, Left());
    EXPECT_FALSE(rig.display->Dragging());
    EXPECT_EQ(rig.events.designs, 1);
    EXPECT_EQ(e.Snapshot().curveDesired[0], e.Snapshot().userCurve[0]); // the design shows the drawn curve
}

TEST(ResponseDisplay, ColumnsMapOntoTheThirtyThreeBands) {
    DisplayRig rig;
    auto& e = rig.effect.engine;
    e.SetResolution(1.0);
    // (column, band): trunc(32 * (x - 43) / 438)
    const std::pair<int, int> cases[] = {{49, 0}, {56, 0}, {57, 1}, {267, 16}, {486, 32}, {487, 32}};
    for (const auto& [x, band] : cases) {
        ASSERT_TRUE(e.EditUserCurve([](double* curve) { std::fill_n(curve, kNormalBands, 1.0); }));
        rig.display->HandleMouseDown(x, 11, Left());
        rig.display->HandleMouseDrag(x, 11, 0, 0, Left());
        for (int i = 0; i < 33; ++i)
            ASSERT_EQ(e.Snapshot().userCurve[size_t(i)], i == band ? 10.0 : 1.0)
                << "column " << x << " band " << i;
    }
    // In high resolution the 120-point curve is shown.
    for (int i = 0; i < 120; ++i)
        ASSERT_EQ(e.Snapshot().curveDesired[size_t(i)], e.Snapshot().userCurve[size_t(33 + i)]) << i;
    EXPECT_DOUBLE_EQ(e.Snapshot().curveDesired[119], 10.0);
}

TEST(ResponseDisplay, RightButtonDrawsAStraightLineInDecibelsFromTheAnchor) {
    DisplayRig rig;
    auto& e = rig.effect.engine;
    ASSERT_TRUE(e.EditUserCurve([](double* curve) {
        for (int i = 0; i < 33; ++i)
            curve[i] = 1.0 + 0.1 * (i % 5);
    }));

    rig.display->HandleMouseDown(49, 11, Right());
    EXPECT_EQ(rig.display->AnchorBand(), 0);
    rig.display->HandleMouseDrag(487, 306, 438, 295, Right());
    for (int i = 0; i <= 32; ++i)
        EXPECT_NEAR(std::log10(e.Snapshot().userCurve[size_t(i)]), 1.0 - 2.0 * i / 32, 1e-12) << i;
    EXPECT_DOUBLE_EQ(e.Snapshot().userCurve[152], 0.1);
    EXPECT_EQ(rig.events.designs, 0);

    // Back onto the anchor's band: nothing changes.
    const auto before = e.Snapshot().userCurve;
    rig.display->HandleMouseDrag(50, 200, -437, -106, Right());
    EXPECT_EQ(e.Snapshot().userCurve, before);

    // Two bands apart, the one between follows the line; a neighbour of the anchor has none between.
    rig.display->HandleMouseDown(267, 159, Right()); // anchor 16
    ASSERT_TRUE(e.EditUserCurve([](double* curve) { curve[17] = 3.0; }));
    rig.display->HandleMouseDrag(290, 11, 23, -148, Right()); // band 18
    EXPECT_DOUBLE_EQ(e.Snapshot().userCurve[18], 10.0);
    EXPECT_NEAR(std::log10(e.Snapshot().userCurve[17]), 0.5 * (std::log10(e.Snapshot().userCurve[16]) + 1.0),
                1e-12);
    rig.display->HandleMouseDrag(280, 11, -10, 0, Right()); // band 17
    EXPECT_DOUBLE_EQ(e.Snapshot().userCurve[17], 10.0);
}

TEST(ResponseDisplay, LineEndsRestoredAsGarbageCountAsZeroDecibels) {
    DisplayRig rig;
    auto& e = rig.effect.engine;
    CorrectionSettings restored = CorrectionInForce(e);
    restored.userCurve[0] = std::numeric_limits<double>::quiet_NaN();
    e.ApplyCorrection(restored);
    rig.display->HandleMouseDown(49, 320, Right()); // dead strip: ignored
    EXPECT_FALSE(rig.display->Dragging());
    rig.display->HandleMouseDown(49, 5, Right()); // above the rows: anchor only
    rig.display->HandleMouseDrag(267, 11, 218, 6, Right());
    for (int i = 1; i < 16; ++i)
        EXPECT_NEAR(std::log10(e.Snapshot().userCurve[size_t(i)]), i / 16.0, 1e-12) << i;
    for (int i = 33; i < 153; ++i)
        ASSERT_TRUE(std::isfinite(e.Snapshot().userCurve[size_t(i)])) << i;
}

TEST(ResponseDisplay, OutsideTheCorrectedTargetTheMouseChangesNothingButTheReleaseStillDesigns) {
    for (double outputs : {0.0, 0.5}) {
        DisplayRig rig;
        auto& e = rig.effect.engine;
        e.SetOutputSelection(outputs);
        CorrectionEngineProbe::curveMeasured(e).fill(2.0);
        const auto curve = e.Snapshot().userCurve;
        const auto desired = e.Snapshot().curveDesired;
        const auto measured = e.Snapshot().curveMeasured;

        rig.editor.MouseDown(100, 20, Left());
        rig.display->MarkClean();
        rig.editor.MouseDrag(300, 40, Left());
        rig.display->HandleMouseDown(60, 30, Right());
        rig.display->HandleMouseDrag(400, 50, 0, 0, Right());
        EXPECT_EQ(e.Snapshot().userCurve, curve);
        EXPECT_EQ(e.Snapshot().curveDesired, desired);
        EXPECT_EQ(e.Snapshot().curveMeasured, measured);
        EXPECT_TRUE(rig.display->NeedsRepaint());
        EXPECT_EQ(rig.events.designs, 0);

        rig.editor.MouseUp(400, 50, Left());
        EXPECT_EQ(rig.events.designs, 1) << outputs;
        EXPECT_EQ(e.Snapshot().userCurve, curve);
    }
}

TEST(ResponseDisplay, DragsWithoutAPressDoNothing) {
    DisplayRig rig;
    const auto curve = rig.effect.engine.Snapshot().userCurve;
    rig.display->MarkClean();
    rig.display->HandleMouseDrag(100, 20, 0, 0, Left());
    EXPECT_EQ(rig.effect.engine.Snapshot().userCurve, curve);
    EXPECT_FALSE(rig.display->NeedsRepaint());
}

} // namespace

// ---- Measurement quality ----

// A measurement of known quality shades its untrusted bands behind the curves, marks the curve
// that leaves the plot with its value and shows the status line; of unknown quality (a loaded
// file) it draws exactly the curves alone. Nothing is ever drawn outside the plot.
TEST(ResponseDisplay, QualityIsShownOnlyWhenKnown) {
    auto paint = [](bool known) {
        DisplayRig rig;
        auto& e = rig.effect.engine;
        rig.FillCurves(1.0);
        for (int k = 0; k < 3; ++k)
            CorrectionEngineProbe::curveMeasured(e)[k] = 100.0; // +40 dB at 20-25 Hz
        MeasurementQuality quality;
        quality.known = known;
        quality.coherence.fill(1.0);
        quality.coherence[10] = 0.2; // 150 Hz: nothing in common
        quality.checks.target.clippedSamples = 7;
        RestoreQuality(e, quality);
        rig.PaintOver(kBlack);
        std::vector<RAST_Pixel> pixels;
        for (int y = 0; y < 330; ++y)
            for (int x = 0; x < 730; ++x)
                pixels.push_back(rig.At(x, y));
        return pixels;
    };
    const auto plain = paint(false), shown = paint(true);
    auto at = [](const std::vector<RAST_Pixel>& p, int x, int y) { return p[y * 730 + x]; };
    auto changedIn = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                n += at(plain, x, y) != at(shown, x, y);
        return n;
    };
    DisplayRig reference;
    reference.FillCurves(1.0);
    for (int k = 0; k < 3; ++k)
        CorrectionEngineProbe::curveMeasured(reference.effect.engine)[k] = 100.0;
    reference.PaintOver(kBlack);
    for (int y = 0; y < 330; ++y)
        for (int x = 0; x < 730; ++x)
            ASSERT_EQ(at(plain, x, y), reference.At(x, y)) << x << "," << y;

    const int band10 = kPlotLeft + 437 * 10 / 32;
    EXPECT_EQ(at(plain, band10, 100), kBlack);
    EXPECT_NE(at(shown, band10, 100), kBlack);                    // shaded
    EXPECT_EQ(at(shown, band10, 159), kWhite);                    // the curves stay on top, exact
    EXPECT_EQ(at(shown, kPlotLeft + 437 * 20 / 32, 100), kBlack); // trusted: not shaded
    EXPECT_EQ(at(shown, kPlotLeft + 1, kPlotTop + 1), kGrey);     // the marker at the top edge
    EXPECT_GT(changedIn(kPlotLeft, 17, 70, 30), 5);               // its "+40"
    EXPECT_GT(changedIn(250, 290, 480, 303), 20);                 // the status line
    for (int y = 0; y < 330; ++y)
        for (int x = 0; x < 730; ++x)
            if (x < kPlotLeft || x > kLastColumn || y < kPlotTop || y > kPlotBottom) {
                ASSERT_EQ(at(shown, x, y), kBlack) << x << "," << y;
            }
}

TEST(MeasurementStatus, TrustedRangeAndFindings) {
    MeasurementQuality q;
    ProtectionRule rule;
    EXPECT_EQ(MeasurementStatusLine(q, rule), ""); // not known
    q.known = true;
    q.coherence.fill(0.95);
    for (int k : {0, 1, 2, 3, 29, 30, 31, 32})
        q.coherence[k] = 0.3;
    EXPECT_EQ(MeasurementStatusLine(q, rule), "trusted 47 Hz - 8.4 kHz");
    q.checks.reference.clippedSamples = 12;
    q.checks.polarityInverted = true;
    q.checks.correlated = true;
    q.checks.delayMs = 3.0;
    q.checks.delayCm = 102.9;
    EXPECT_EQ(MeasurementStatusLine(q, rule),
              "trusted 47 Hz - 8.4 kHz; reference clips (12); polarity inverted; delay 3.0 ms (103 cm)");
    q.coherence.fill(0.1);
    q.checks = CaptureChecks{};
    q.checks.target.silent = true;
    q.checks.reference.silent = false;
    EXPECT_EQ(MeasurementStatusLine(q, rule), "no band trusted; target silent");
}

// Only bands at or above the coherence of the full correction count as trusted: partly corrected
// ones (0.6, just under 0.8) do not, exactly 0.8 does.
TEST(MeasurementStatus, TrustedRangeCountsOnlyFullyTrustedBands) {
    MeasurementQuality q;
    ProtectionRule rule;
    q.known = true;
    q.coherence.fill(0.3);
    q.coherence[3] = 0.6;                        // 38 Hz
    q.coherence[4] = rule.fullCoherence;         // 47 Hz
    q.coherence[10] = rule.fullCoherence;        // 173 Hz
    q.coherence[11] = rule.fullCoherence - 1e-9; // 215 Hz
    q.coherence[20] = 0.6;                       // 1.5 kHz
    EXPECT_EQ(MeasurementStatusLine(q, rule), "trusted 47 Hz - 173 Hz");
}
