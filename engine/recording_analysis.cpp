#include "engine/recording_analysis.h"

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

bool AnalyseRecordings(double* ref, double* tgt, int order, const BandBins& bins, double* referenceBands,
                       double* targetBands) {
    const std::size_t n = std::size_t{1} << order;
    // z = reference + j*target, in the reference buffer's two halves.
    std::memcpy(ref + n, tgt, n * sizeof(double));
    if (!FftOutOfPlace(ref, ref + n, tgt, tgt + n, order))
        return false;

    // Power spectra up to the highest bin any band reads, separated from Z:
    // R_k = (Z_k + conj Z_(n-k))/2, T_k = (Z_k - conj Z_(n-k))/(2j).
    int top = 0;
    for (int b : bins)
        top = b > top ? b : top;
    const std::size_t last = static_cast<std::size_t>(top) < n / 2 ? static_cast<std::size_t>(top) : n / 2;
    const double* zr = tgt;
    const double* zi = tgt + n;
    double* refPower = ref;
    double* tgtPower = ref + n;
    for (std::size_t k = 0; k <= last; ++k) {
        const std::size_t m = (n - k) & (n - 1);
        const double sr = zr[k] + zr[m], di = zi[k] - zi[m];
        const double dr = zr[k] - zr[m], si = zi[k] + zi[m];
        refPower[k] = 0.25 * (sr * sr + di * di);
        tgtPower[k] = 0.25 * (dr * dr + si * si);
    }
    BandLevelsFromPower(refPower, bins, referenceBands);
    BandLevelsFromPower(tgtPower, bins, targetBands);
    return true;
}
