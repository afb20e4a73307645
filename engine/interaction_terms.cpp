#include "engine/interaction_terms.h"

#include "engine/band_grid.h"

#include <cmath>
#include <numbers>

const std::array<double, kStandardRateCount> kStandardRates = {44056, 44100, 47250,  48000,  50000,  50400,
                                                               88200, 96000, 176400, 192000, 352800, 384000};

int StandardRateIndex(double r) {
    int j = 1;
    for (int i = 0; i < kStandardRateCount; ++i)
        if (kStandardRates[i] - 1 < r && r < kStandardRates[i] + 1) j = i;
    return j;
}

void ComputeInteractionTerms(int rateIndex, double resolution, double* out) {
    const int n = SectionCount(resolution);
    const double* f = TheBandGrid().bandFrequencies.data() + BandOffset(resolution);
    const double fs = kStandardRates[rateIndex < 0 || rateIndex >= kStandardRateCount ? 1 : rateIndex];
    std::array<double, kMaxSections> v{};
    for (int k = 0; k < n; ++k)
        v[k] = std::tan(std::numbers::pi * f[k] / fs);
    for (int r = 0; r < n; ++r)
        for (int s = 0; s < n; ++s) {
            const double d = v[s] / v[r] - v[r] / v[s];
            out[r * n + s] = 0.25 * d * d;
        }
}
