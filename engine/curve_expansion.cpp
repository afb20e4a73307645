#include "engine/curve_expansion.h"

#include "engine/band_grid.h"

#include <cmath>

namespace {

double PositiveOrOne(double v) {
    return std::isfinite(v) && v > 0.0 ? v : 1.0;
}

} // namespace

int ExpandedFrom(int m) {
    return static_cast<int>(std::trunc(m * 32.0 / 119.0));
}

void ExpandCurveTo120(const double* in, double* out) {
    double L[kNormalBands];
    for (int i = 0; i < kNormalBands; ++i)
        L[i] = std::log10(PositiveOrOne(in[i]));
    for (int i = 0; i < kHighBands - 1; ++i) {
        const double a = i * 32.0 / 119.0;
        const int k = ExpandedFrom(i);
        out[i] = std::pow(10.0, L[k] + (L[k + 1] - L[k]) * (a - std::floor(a)));
    }
    out[kHighBands - 1] = PositiveOrOne(in[kNormalBands - 1]);
}
