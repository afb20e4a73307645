#include "engine/cascade_magnitude.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

double CascadeMagnitude(const PeakingSection* s, int n, double rate, double hz) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * hz / rate), z2 = z1 * z1;
    std::complex<double> h = 1.0;
    for (int k = 0; k < n; ++k)
        h *= 1.0 + s[k].b * (1.0 - z2) / (1.0 + s[k].a1 * z1 + s[k].a2 * z2);
    return std::abs(h);
}

double LargestBoostDb(const PeakingSection* s, int n, double rate, double* atHz) {
    constexpr int kPoints = 600;
    const double top = std::min(20000.0, 0.5 * rate);
    double largest = -INFINITY, where = 20.0;
    for (int i = 0; i < kPoints; ++i) {
        const double f = 20.0 * std::pow(top / 20.0, i / (kPoints - 1.0));
        const double db = 20.0 * std::log10(CascadeMagnitude(s, n, rate, f));
        if (db > largest) {
            largest = db;
            where = f;
        }
    }
    if (atHz) *atHz = where;
    return largest;
}
