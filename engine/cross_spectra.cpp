#include "engine/cross_spectra.h"

#include "engine/fft.h"

#include <algorithm>
#include <cmath>
#include <numbers>

int SegmentOrderFor(int recordingOrder) {
    return std::max(2, std::min(kSegmentOrder, recordingOrder - 3));
}

void SegmentWindow(double* w, std::size_t n) {
    // sin(pi*t/n) for t in the first quarter, by rotation (restarted from the exact value every
    // 256 steps, so the error stays at rounding level); the rest of the window by symmetry.
    const std::size_t q = n / 4;
    const double step = std::numbers::pi / static_cast<double>(n);
    const double rc = std::cos(step), rs = std::sin(step);
    double c = 1.0, sn = 0.0;
    for (std::size_t t = 0; t <= q; ++t) {
        if (t % 256 == 0) {
            c = std::cos(step * static_cast<double>(t));
            sn = std::sin(step * static_cast<double>(t));
        }
        const double up = std::numbers::sqrt2 * sn, down = std::numbers::sqrt2 * c;
        w[t] = up;
        if (t > 0) w[n - t] = up;
        if (t <= n / 2 - q) w[n / 2 - t] = down;
        if (t > 0 && n / 2 + t < n) w[n / 2 + t] = down;
        const double next = c * rc - sn * rs;
        sn = sn * rc + c * rs;
        c = next;
    }
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
    DoubleArray window(L), work(4 * L), sums(4 * L);
    FftPlan plan;
    if (!out.rr || !out.tt || !out.cre || !out.cim || !window || !work || !sums ||
        !plan.Make(order))
        return false;
    SegmentWindow(window.get(), L);
    double* zr = work.get();
    double* zi = zr + L;
    double* scratchR = zi + L;
    double* scratchI = scratchR + L;
    // The sums are kept in the transform's own layout, so that every segment adds along its rows,
    // and put in bin order once at the end. Bin k = k2 + rows*k1 sits at row k2, column k1
    // (k2*cols + k1); its mirror L - k sits in row rows - k2 (row 0: itself), column cols - 1 - k1
    // (row 0: cols - k1). Bins up to L/2 are the columns below cols/2, and column cols/2 of row 0.
    double* rr = sums.get();
    double* tt = rr + L;
    double* cre = tt + L;
    double* cim = cre + L;
    const TransposedLayout layout = FftTransposedLayout(order);
    const std::size_t rows = layout.rows, cols = layout.cols;
    for (std::size_t start = 0; start + L <= n; start += hop) {
        // Both real segments in one complex transform: reference as real, target as imaginary part.
        const double* w = window.get();
        for (std::size_t t = 0; t < L; ++t) {
            zr[t] = w[t] * ref[start + t];
            zi[t] = w[t] * tgt[start + t];
        }
        if (!plan.Transposed(zr, zi, scratchR, scratchI)) return false;
        for (std::size_t k2 = 0; k2 < rows; ++k2) {
            const std::size_t mirrorRow = k2 == 0 ? 0 : rows - k2;
            const std::size_t columns = cols == 1 ? 1 : cols / 2 + (k2 == 0 ? 1 : 0);
            for (std::size_t k1 = 0; k1 < columns; ++k1) {
                if (cols == 1 && k2 >= bins) break;
                const std::size_t a = k2 * cols + k1;
                const std::size_t b =
                    k2 == 0 ? (cols - k1) & (cols - 1) : mirrorRow * cols + cols - 1 - k1;
                // R = (Z_k + conj Z_m)/2, T = (Z_k - conj Z_m)/(2j).
                const double rRe = 0.5 * (zr[a] + zr[b]), rIm = 0.5 * (zi[a] - zi[b]);
                const double tRe = 0.5 * (zi[a] + zi[b]), tIm = -0.5 * (zr[a] - zr[b]);
                rr[a] += rRe * rRe + rIm * rIm;
                tt[a] += tRe * tRe + tIm * tIm;
                cre[a] += rRe * tRe + rIm * tIm;
                cim[a] += rIm * tRe - rRe * tIm;
            }
        }
        ++out.segments;
    }
    for (std::size_t k = 0; k < bins; ++k) {
        const std::size_t a = (k % rows) * cols + k / rows;
        out.rr.get()[k] = rr[a];
        out.tt.get()[k] = tt[a];
        out.cre.get()[k] = cre[a];
        out.cim.get()[k] = cim[a];
    }
    return true;
}
