#include "engine/band_coherence.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The band sums of the cross-spectrum need the phase removed per bin; rr and tt need none.
double CoherenceOf(const CrossSpectra& s, const double* cre_, const double* cim_, int lo, int hi) {
    const int last = s.Bins() - 1;
    lo = std::clamp(lo, 0, last);
    hi = std::clamp(hi, lo + 1, last + 1);
    double rr = 0.0, tt = 0.0, cre = 0.0, cim = 0.0;
    for (int k = lo; k < hi; ++k) {
        rr += s.rr.get()[k];
        tt += s.tt.get()[k];
        cre += cre_[k];
        cim += cim_[k];
    }
    const double den = rr * tt;
    if (!(den > 0.0)) return 0.0;
    return std::clamp((cre * cre + cim * cim) / den, 0.0, 1.0);
}

} // namespace

void BandCoherence(const CrossSpectra& s, const BandBins& bins, int recordingOrder, double delaySamples,
                   double* coherence) {
    const int count = s.Bins();
    DoubleArray aligned(2 * static_cast<std::size_t>(count));
    const double* cre = s.cre.get();
    const double* cim = s.cim.get();
    if (aligned && delaySamples != 0.0 && std::isfinite(delaySamples)) {
        // R conj(T) of a target d samples late carries exp(+j*2*pi*k*d/L): multiply by its conjugate.
        double* re = aligned.get();
        double* im = re + count;
        const double step = 2.0 * std::numbers::pi * delaySamples / static_cast<double>(1 << s.order);
        for (int k = 0; k < count; ++k) {
            const double c = std::cos(step * k), sn = std::sin(step * k);
            re[k] = cre[k] * c + cim[k] * sn;
            im[k] = cim[k] * c - cre[k] * sn;
        }
        cre = re;
        cim = im;
    }
    // trunc(trunc(N*f/S) / 2^d) = trunc((N/2^d)*f/S): the segment's bins follow from the full ones.
    const int shift = std::max(0, recordingOrder - s.order);
    auto b = [&](int i) { return bins[i] >> shift; };
    coherence[0] = CoherenceOf(s, cre, cim, b(kCentreBinsOffset), b(kNormalEdgeBinsOffset));
    for (int i = 1; i < kNormalBands; ++i)
        coherence[i] =
            CoherenceOf(s, cre, cim, b(kNormalEdgeBinsOffset + i - 1), b(kNormalEdgeBinsOffset + i));
    for (int m = 0; m < kHighBands; ++m)
        coherence[kHighOffset + m] =
            CoherenceOf(s, cre, cim, b(kHighEdgeBinsOffset + m), b(kHighEdgeBinsOffset + m + 1));
}
