#include "engine/cross_spectra.h"

#include "engine/analysis_window.h"
#include "engine/fft.h"

#include <algorithm>

int SegmentOrderFor(int recordingOrder) {
    return std::max(2, std::min(kSegmentOrder, recordingOrder - 3));
}

bool AverageCrossSpectra(const double* ref, const double* tgt, int recordingOrder, CrossSpectra& out) {
    const int order = SegmentOrderFor(recordingOrder);
    const std::size_t L = std::size_t{1} << order, n = std::size_t{1} << recordingOrder;
    if (n < L) return false;
    const std::size_t bins = L / 2 + 1, hop = L / 2;
    out.order = order;
    out.segments = 0;
    out.rr = DoubleArray(bins);
    out.tt = DoubleArray(bins);
    out.cre = DoubleArray(bins);
    out.cim = DoubleArray(bins);
    DoubleArray window(L), work(4 * L);
    if (!out.rr || !out.tt || !out.cre || !out.cim || !window || !work) return false;
    AnalysisWindow(window.get(), L);
    double* re = work.get();
    double* im = re + L;
    double* zr = im + L;
    double* zi = zr + L;
    double* rr = out.rr.get();
    double* tt = out.tt.get();
    double* cre = out.cre.get();
    double* cim = out.cim.get();
    for (std::size_t start = 0; start + L <= n; start += hop) {
        // Both real segments in one complex transform: reference as real, target as imaginary part.
        for (std::size_t t = 0; t < L; ++t) {
            re[t] = window.get()[t] * ref[start + t];
            im[t] = window.get()[t] * tgt[start + t];
        }
        if (!FftOutOfPlace(re, im, zr, zi, order)) return false;
        for (std::size_t k = 0; k < bins; ++k) {
            const std::size_t m = (L - k) & (L - 1);
            // R = (Z_k + conj Z_m)/2, T = (Z_k - conj Z_m)/(2j).
            const double rRe = 0.5 * (zr[k] + zr[m]), rIm = 0.5 * (zi[k] - zi[m]);
            const double tRe = 0.5 * (zi[k] + zi[m]), tIm = -0.5 * (zr[k] - zr[m]);
            rr[k] += rRe * rRe + rIm * rIm;
            tt[k] += tRe * tRe + tIm * tIm;
            cre[k] += rRe * tRe + rIm * tIm;
            cim[k] += rIm * tRe - rRe * tIm;
        }
        ++out.segments;
    }
    return true;
}
