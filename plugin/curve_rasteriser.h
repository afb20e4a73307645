#pragma once

#include <cstdint>

// Geometry of the response display's plot: one point per pixel column, rows 11 (top) to 305 (bottom).
constexpr int kCurveColumns = 438;
constexpr int kPlotLeft = 49;
constexpr int kPlotTop = 11;
constexpr int kPlotBottom = 305;
// Row of a column that has no point.
constexpr int32_t kNoRow = -1;

// One point of a rasterised curve: editor column and row (kNoRow: nothing at this column).
struct CurvePoint {
    int32_t x;
    int32_t y;
};

// Row of a linear amplitude ratio before clipping: 0 dB at 159.5, +-20 dB 146.75 rows away, limited
// to +-24 dB. A ratio that is not a positive number (zero, negative, NaN) is drawn at the bottom
// limit, as silence; +infinity at the top limit.
double CurveRowForRatio(double ratio);

// The Bezier parameter t in [0, 1] at which a segment with the x control values x0..x3 reaches
// `column`. Cardano's closed form where it gives the root; where it cannot (a cubic term of 0,
// three real roots, rounding that lands off the segment) the root is found by bisection, since the
// display's segments never turn back in x.
double BezierParameterAtColumn(double x0, double x1, double x2, double x3, double column);

// Draws n ratios (2..438 knots spread evenly over the columns) as a smooth curve of one point per
// column: knots joined by cubic Bezier segments whose control points flatten at local extremes.
// x = 49 + index. Rows are not yet clipped; a row that would land on -1 is given as -2, so that a
// point above the plot is never mistaken for "no point". With a null array or n out of range every
// point has kNoRow.
void RasteriseCurve(const double* ratios, int n, CurvePoint (&out)[kCurveColumns]);

// Limits the rows to the plot: a segment leaving the plot ends on the border row and the columns
// outside it get kNoRow, so that drawing the pairs of neighbouring points never leaves rows
// kPlotTop..kPlotBottom.
void ClipCurveToPlot(CurvePoint (&pts)[kCurveColumns]);
