#include "engine/band_spectra.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Adds the band of the long transform's bins [lo, hi) into band `band`. Segment bin j spans the
// long transform's bins j*R - R/2 .. j*R + R/2 (R = 2^shift of them); each counts with the share
// of it that lies in the band, so that a band keeps its edges to a fraction of a segment bin: on a
// low-cut's slope at 25 Hz a whole bin more or less would move a semitone band's level by half a
// decibel. A band narrower than a segment bin gets its share of the one it lies in.
struct Summer {
    const CrossSpectra& s;
    const double* cre;
    const double* cim;
    int shift;
    BandSpectra& out;
    void operator()(int band, int lo, int hi) const {
        const double R = std::ldexp(1.0, shift);
        // Bin k of the long transform covers k - 1/2 .. k + 1/2.
        const double from = lo - 0.5, to = std::max(hi, lo + 1) - 0.5;
        const int last = s.Bins() - 1;
        const int first = std::clamp(static_cast<int>(std::floor(from / R + 0.5)), 0, last);
        const int end = std::clamp(static_cast<int>(std::floor(to / R + 0.5)), first, last);
        double rr = 0.0, tt = 0.0, re = 0.0, im = 0.0, count = 0.0;
        for (int j = first; j <= end; ++j) {
            const double share = std::min(to, j * R + R / 2) - std::max(from, j * R - R / 2);
            if (!(share > 0.0)) continue;
            const double w = share / R;
            rr += w * s.rr.get()[j];
            tt += w * s.tt.get()[j];
            re += w * cre[j];
            im += w * cim[j];
            count += w;
        }
        out.referencePower[band] = rr;
        out.targetPower[band] = tt;
        out.crossRe[band] = re;
        out.crossIm[band] = im;
        out.binCount[band] = count;
    }
};

} // namespace

void SumBandSpectra(const CrossSpectra& s, const BandBins& bins, int recordingOrder, double delaySamples,
                    BandSpectra& out) {
    out = BandSpectra{};
    const int count = s.Bins();
    if (!s.rr || !s.tt || !s.cre || !s.cim || count < 2) return;
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
    const int shift = std::max(0, recordingOrder - s.order);
    auto b = [&](int i) { return bins[i]; };
    out.segments = s.segments;
    const Summer sum{s, cre, cim, shift, out};
    sum(0, b(kCentreBinsOffset), b(kNormalEdgeBinsOffset));
    for (int i = 1; i < kNormalBands; ++i)
        sum(i, b(kNormalEdgeBinsOffset + i - 1), b(kNormalEdgeBinsOffset + i));
    for (int m = 0; m < kHighBands; ++m)
        sum(kHighOffset + m, b(kHighEdgeBinsOffset + m), b(kHighEdgeBinsOffset + m + 1));
}

namespace {

// Half-overlapping sine windows share a third of their power with each neighbour, and neighbouring
// bins of a windowed segment are correlated as well: both count for less than a full average.
constexpr double kSegmentShare = 0.8;
constexpr double kBinShare = 0.67;

} // namespace

void BandCoherence(const BandSpectra& s, double* coherence) {
    for (int i = 0; i < kBandCount; ++i) {
        const double den = s.referencePower[i] * s.targetPower[i];
        const double num = s.crossRe[i] * s.crossRe[i] + s.crossIm[i] * s.crossIm[i];
        if (!(den > 0.0 && std::isfinite(den) && std::isfinite(num))) {
            coherence[i] = 0.0;
            continue;
        }
        const double raw = std::clamp(num / den, 0.0, 1.0);
        const double averages =
            std::max(1.0, kSegmentShare * s.segments) * std::max(1.0, kBinShare * s.binCount[i]);
        const double c2 = averages > 1.0 ? (raw - 1.0 / averages) / (1.0 - 1.0 / averages) : 0.0;
        if (!(c2 > 0.0)) {
            coherence[i] = 0.0;
            continue;
        }
        // How far the band's level may be off, in dB: the noise's own share, 10*log10(1/c2), and
        // twice the level's random error, 20/ln(10) * sqrt(1 - c2) / sqrt(2 * c2 * averages).
        const double errorDb = 10.0 * std::log10(1.0 / c2) +
                               2.0 * (20.0 / std::numbers::ln10) * std::sqrt((1.0 - c2) / (2.0 * c2 * averages));
        coherence[i] = std::clamp(std::pow(10.0, -errorDb / 10.0), 0.0, 1.0);
    }
}

void BandLevels(const BandSpectra& s, const CrossSpectra& spectra, int recordingOrder, double* referenceBands,
                double* targetBands) {
    // One transform of all N samples puts N*N*(mean power) into its bins; the segments, summed,
    // put segments*L*L into theirs, and each segment bin spans N/L bins of the long transform.
    const double ratio = std::ldexp(1.0, std::max(0, recordingOrder - spectra.order));
    const double scale = spectra.segments > 0 ? ratio * ratio / spectra.segments : 0.0;
    for (int i = 0; i < kBandCount; ++i) {
        referenceBands[i] = std::sqrt(std::max(0.0, scale * s.referencePower[i]));
        targetBands[i] = std::sqrt(std::max(0.0, scale * s.targetPower[i]));
    }
}
