#include "engine/recording_analysis.h"

#include "engine/analysis_window.h"
#include "engine/fft.h"

#include <cmath>
#include <cstring>

double BandLevel(const double* power, int lo, int hi) {
    double sum = 0.0;
    for (int j = lo; j < hi; ++j)
        sum += power[j];
    return std::sqrt(sum);
}

void BandLevelsFromPower(const double* power, const BandBins& bins, double* bands) {
    const int* edges = bins.data() + kNormalEdgeBinsOffset;
    bands[0] = BandLevel(power, bins[kCentreBinsOffset], edges[0]);
    for (int i = 1; i < kNormalBands; ++i)
        bands[i] = BandLevel(power, edges[i - 1], edges[i]);
    const int* high = bins.data() + kHighEdgeBinsOffset;
    for (int m = 0; m < kHighBands; ++m)
        bands[kHighOffset + m] = BandLevel(power, high[m], high[m + 1]);
}

namespace {

// BandLevelsFromPower for two spectra at once: the two sums of a band run side by side, so each
// waits on its own additions only, and every sum still goes in bin order.
void BandLevelsFromPowers(const double* p0, const double* p1, const BandBins& bins, double* bands0,
                          double* bands1) {
    auto both = [&](int lo, int hi, int band) {
        double s0 = 0.0, s1 = 0.0;
        for (int j = lo; j < hi; ++j) {
            s0 += p0[j];
            s1 += p1[j];
        }
        bands0[band] = std::sqrt(s0);
        bands1[band] = std::sqrt(s1);
    };
    const int* edges = bins.data() + kNormalEdgeBinsOffset;
    both(bins[kCentreBinsOffset], edges[0], 0);
    for (int i = 1; i < kNormalBands; ++i)
        both(edges[i - 1], edges[i], i);
    const int* high = bins.data() + kHighEdgeBinsOffset;
    for (int m = 0; m < kHighBands; ++m)
        both(high[m], high[m + 1], kHighOffset + m);
}

} // namespace

bool AnalyseRecordings(double* ref, double* tgt, int order, const BandBins& bins, double* referenceBands,
                       double* targetBands, bool windowed) {
    const std::size_t n = std::size_t{1} << order;
    if (windowed && n >= 4) ApplyAnalysisWindow(ref, tgt, n);
    // z = reference + j*target: the samples stay where they are, as the real and the imaginary
    // parts; the zero halves of both buffers serve as the transform's scratch space and afterwards
    // hold the power spectra.
    if (!FftTransposed(ref, tgt, ref + n, tgt + n, order)) return false;
    const TransposedLayout layout = FftTransposedLayout(order);
    const std::size_t rows = layout.rows, cols = layout.cols;
    const double* zr = ref;
    const double* zi = tgt;

    // Power spectra up to the highest bin any band reads, separated from Z:
    // R_k = (Z_k + conj Z_(n-k))/2, T_k = (Z_k - conj Z_(n-k))/(2j).
    int top = 0;
    for (int b : bins)
        top = b > top ? b : top;
    const std::size_t last = static_cast<std::size_t>(top) < n / 2 ? static_cast<std::size_t>(top) : n / 2;
    double* refPower = ref + n;
    double* tgtPower = tgt + n;
    auto separate = [&](std::size_t k, std::size_t a, std::size_t b) {
        const double sr = zr[a] + zr[b], di = zi[a] - zi[b];
        const double dr = zr[a] - zr[b], si = zi[a] + zi[b];
        refPower[k] = 0.25 * (sr * sr + di * di);
        tgtPower[k] = 0.25 * (dr * dr + si * si);
    };
    // Bin k = k2 + rows*k1 sits at row k2, column k1. The partner n-k of a bin in row k2 > 0 is in
    // row rows-k2, read backwards from its last column; row 0 pairs with itself, read backwards
    // from column 0 with wrap-around. Rows are taken eight at a time so that each column of the
    // group fills eight neighbouring bins at once.
    constexpr std::size_t kGroup = 8;
    for (std::size_t k2 = 0; k2 < rows; k2 += kGroup) {
        const std::size_t group = rows - k2 < kGroup ? rows - k2 : kGroup;
        for (std::size_t k1 = 0; k2 + rows * k1 <= last; ++k1)
            for (std::size_t g = 0; g < group; ++g) {
                const std::size_t row = k2 + g, k = row + rows * k1;
                if (k > last) break;
                const std::size_t b =
                    row == 0 ? (cols - k1) & (cols - 1) : (rows - row) * cols + cols - 1 - k1;
                separate(k, row * cols + k1, b);
            }
    }
    BandLevelsFromPowers(refPower, tgtPower, bins, referenceBands, targetBands);
    return true;
}
