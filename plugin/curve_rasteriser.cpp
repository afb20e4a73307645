#include "plugin/curve_rasteriser.h"

#include <algorithm>
#include <cmath>

namespace {

// +-24 dB: the display's limit in log10 units.
constexpr double kLevelLimit = 1.2;

struct ControlPoint {
    double x;
    double y;
};

double BezierAt(double p0, double p1, double p2, double p3, double t) {
    const double s = 1.0 - t;
    return s * s * s * p0 + 3.0 * s * s * t * p1 + 3.0 * s * t * t * p2 + t * t * t * p3;
}

// Vertical offset of an interior knot's control points: flat at a local extreme (equal neighbours
// count), otherwise half of the smaller step to a neighbour, so the curve never overshoots.
double ControlOffset(double previous, double current, double next) {
    if ((previous >= current && current <= next) || (previous <= current && current >= next)) return 0.0;
    const double a = current - previous;
    const double b = next - current;
    return std::fabs(a) >= std::fabs(b) ? b / 2.0 : a / 2.0;
}

// Truncated row. Rows stay far inside the int range; -1 means "no point", so a row that truncates to
// -1 (above the plot) is moved one further up, where the clipping treats it the same way.
int32_t RowOf(double y) {
    if (std::isnan(y)) return kNoRow;
    const auto row = static_cast<int32_t>(std::trunc(std::clamp(y, -1000.0, 1000.0)));
    return row == kNoRow ? kNoRow - 1 : row;
}

} // namespace

double CurveRowForRatio(double ratio) {
    const double level =
        ratio > 0.0 ? std::clamp(std::log10(ratio), -kLevelLimit, kLevelLimit) : -kLevelLimit;
    return 158.5 - level * 293.5 / 2.0 + 1.0;
}

double BezierParameterAtColumn(double x0, double x1, double x2, double x3, double column) {
    const double A = -x0 + 3.0 * x1 - 3.0 * x2 + x3;
    const double B = 3.0 * x0 - 6.0 * x1 + 3.0 * x2;
    const double C = 3.0 * (x1 - x0);
    const auto xAt = [&](double t) { return ((A * t + B) * t + C) * t + x0; };
    const double tolerance = 1e-7 * (1.0 + std::fabs(column));

    if (A != 0.0) {
        const double p = (3.0 * A * C - B * B) / (3.0 * A * A);
        const double q =
            (27.0 * A * A * (x0 - column) + 2.0 * B * B * B - 9.0 * A * B * C) / (27.0 * A * A * A);
        const double discriminant = q * q / 4.0 + p * p * p / 27.0;
        if (discriminant >= 0.0) {
            const double r = std::sqrt(discriminant);
            const double t = std::cbrt(-q / 2.0 + r) - std::cbrt(q / 2.0 + r) - B / (3.0 * A);
            if (std::isfinite(t) && t >= -1e-9 && t <= 1.0 + 1e-9 && std::fabs(xAt(t) - column) <= tolerance)
                return std::clamp(t, 0.0, 1.0);
        }
    }
    // x(t) is monotone over the segment, so halving the interval converges on the one root.
    const bool rising = xAt(1.0) >= xAt(0.0);
    double lo = 0.0, hi = 1.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (lo + hi);
        if ((xAt(mid) < column) == rising)
            lo = mid;
        else
            hi = mid;
    }
    return 0.5 * (lo + hi);
}

void RasteriseCurve(const double* ratios, int n, CurvePoint (&out)[kCurveColumns]) {
    for (int k = 0; k < kCurveColumns; ++k)
        out[k] = {kPlotLeft + k, kNoRow};
    if (!ratios || n < 2 || n > kCurveColumns) return;

    constexpr int lastColumn = kCurveColumns - 1;
    int column[kCurveColumns];
    double row[kCurveColumns];
    double offset[kCurveColumns];
    for (int i = 0; i < n; ++i) {
        column[i] = lastColumn * i / (n - 1);
        row[i] = CurveRowForRatio(ratios[i]);
    }
    offset[0] = offset[n - 1] = 0.0;
    for (int i = 1; i + 1 < n; ++i)
        offset[i] = ControlOffset(row[i - 1], row[i], row[i + 1]);

    const double h = 0.5 * kCurveColumns / n;
    const auto leftOf = [&](int i) { return ControlPoint{column[i] - h, row[i] - offset[i]}; };
    const auto rightOf = [&](int i) { return ControlPoint{column[i] + h, row[i] + offset[i]}; };

    for (int i = 0; i + 1 < n; ++i) {
        const ControlPoint p0{double(column[i]), row[i]};
        const ControlPoint p3{double(column[i + 1]), row[i + 1]};
        // The end knots have no control points of their own: the first segment borrows knot 1's left
        // one, the last knot n-2's right one; two knots alone make one straight segment.
        const ControlPoint p1 = i >= 1 ? rightOf(i) : (n > 2 ? leftOf(1) : p0);
        const ControlPoint p2 = i + 1 <= n - 2 ? leftOf(i + 1) : (n > 2 ? rightOf(n - 2) : p3);

        out[column[i]].y = RowOf(row[i]);
        for (int x = column[i] + 1; x < column[i + 1]; ++x) {
            const double t = BezierParameterAtColumn(p0.x, p1.x, p2.x, p3.x, x);
            out[x].y = RowOf(BezierAt(p0.y, p1.y, p2.y, p3.y, t));
        }
    }
    out[column[n - 1]].y = RowOf(row[n - 1]);
}

void ClipCurveToPlot(CurvePoint (&pts)[kCurveColumns]) {
    for (int k = 0; k + 1 < kCurveColumns; ++k) {
        int32_t& a = pts[k].y;
        int32_t& b = pts[k + 1].y;
        if (a == kNoRow) continue;
        if (b == kNoRow) {
            // A gap is never given a row; a point outside the plot before it connects to nothing.
            if (a < kPlotTop || a > kPlotBottom) a = kNoRow;
            continue;
        }
        // The cases apply in turn to the pair as it stands, so a jump across the whole plot within
        // one column ends on both borders instead of leaving one end outside.
        if (a > kPlotTop && b < kPlotTop) b = kPlotTop;
        if (a < kPlotTop) a = b > kPlotTop ? kPlotTop : kNoRow;
        if (a == kPlotTop && b < kPlotTop) b = kNoRow;
        if (a >= kPlotTop && a < kPlotBottom && b > kPlotBottom) b = kPlotBottom;
        if (a == kPlotBottom && b > kPlotBottom) b = kNoRow;
        if (a > kPlotBottom && b >= kPlotTop) a = b < kPlotBottom ? kPlotBottom : kNoRow;
    }
    // Only the last column can still lie outside: its neighbour was dropped, so it has no segment.
    int32_t& last = pts[kCurveColumns - 1].y;
    if (last != kNoRow && (last < kPlotTop || last > kPlotBottom)) last = kNoRow;
}
