#include "engine/band_grid.h"

#include <cmath>

namespace {

BandGrid MakeGrid() {
    BandGrid g{};
    for (int k = 0; k < kNormalBands - 1; ++k)
        g.bandFrequencies[k] = 20.0 * std::pow(1000.0, k / 32.0);
    g.bandFrequencies[kNormalBands - 1] = 20000.0;
    for (int m = 0; m < kHighBands; ++m)
        g.bandFrequencies[kHighOffset + m] = 440.0 * std::pow(2.0, (m - 53) / 12.0);
    for (int k = 0; k < kNormalBands - 1; ++k)
        g.bandEdges33[k] = 20.0 * std::pow(1000.0, (k + 0.5) / 32.0);
    for (int m = 0; m < kHighBands; ++m)
        g.bandEdges120[m] = 440.0 * std::pow(2.0, (m - 53.5) / 12.0);
    g.bandEdges120[kHighBands] = 20000.0;
    return g;
}

} // namespace

const BandGrid& TheBandGrid() {
    static const BandGrid grid = MakeGrid();
    return grid;
}

int DecimationStep(double r) {
    if (r < 80000.0) return 1;
    if (r < 160000.0) return 2;
    if (r < 320000.0) return 4;
    return 8;
}

std::array<int, kBandBinCount> ComputeBandBins(double workingSampleRate, int fftLength) {
    const BandGrid& g = TheBandGrid();
    const double s = RecordedRate(workingSampleRate);
    auto bin = [&](double f) {
        double b = std::trunc(fftLength * f / s);
        if (!(b >= 0.0)) // also catches NaN
            return 0;
        if (b > fftLength / 2) return fftLength / 2;
        return static_cast<int>(b);
    };
    std::array<int, kBandBinCount> bins{};
    for (int i = 0; i < kNormalBands; ++i)
        bins[kCentreBinsOffset + i] = bin(g.bandFrequencies[i]);
    for (int i = 0; i < kNormalBands - 1; ++i)
        bins[kNormalEdgeBinsOffset + i] = bin(g.bandEdges33[i]);
    bins[kNormalEdgeBinsOffset + kNormalBands - 1] = bin(g.bandFrequencies[kNormalBands - 1]);
    for (int i = 0; i <= kHighBands; ++i)
        bins[kHighEdgeBinsOffset + i] = bin(g.bandEdges120[i]);
    return bins;
}
