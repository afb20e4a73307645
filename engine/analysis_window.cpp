#include "engine/analysis_window.h"

#include <cmath>
#include <numbers>

namespace {

// cos(2*pi*t/n) for t in the first quarter; the rest of the period follows by symmetry, so a
// long window costs n/4 cosines.
template <typename Put> void ForEachWindowValue(std::size_t n, Put put) {
    const std::size_t q = n / 4;
    const double step = 2.0 * std::numbers::pi / static_cast<double>(n);
    const double half = 0.5 * kAnalysisWindowScale;
    for (std::size_t t = 0; t <= q; ++t) {
        const double c = std::cos(step * static_cast<double>(t));
        put(t, half * (1.0 - c));
        if (t > 0) put(n - t, half * (1.0 - c));
        if (t < q) put(n / 2 - t, half * (1.0 + c));
        if (t > 0 && t < q) put(n / 2 + t, half * (1.0 + c));
    }
}

} // namespace

void ApplyAnalysisWindow(double* a, double* b, std::size_t n) {
    if (b)
        ForEachWindowValue(n, [&](std::size_t t, double w) {
            a[t] *= w;
            b[t] *= w;
        });
    else
        ForEachWindowValue(n, [&](std::size_t t, double w) { a[t] *= w; });
}

void AnalysisWindow(double* w, std::size_t n) {
    ForEachWindowValue(n, [&](std::size_t t, double v) { w[t] = v; });
}
