#include "engine/capture_checks.h"

#include "engine/fft.h"

#include <algorithm>
#include <cmath>

ChannelCheck CheckChannel(const double* x, std::size_t n) {
    ChannelCheck c;
    c.silent = true;
    if (n == 0) return c;
    // One pass, about the first sample: the sums of a signal with a large constant part then hold
    // only its variation, and a constant signal gives exactly no power.
    const double shift = std::isfinite(x[0]) ? x[0] : 0.0;
    double sum = 0.0, squares = 0.0;
    long clipped = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double d = x[i] - shift;
        sum += d;
        squares += d * d;
        clipped += std::fabs(x[i]) >= kClipLevel ? 1 : 0;
    }
    c.clippedSamples = clipped;
    const double mean = sum / static_cast<double>(n);
    double power = squares / static_cast<double>(n) - mean * mean;
    // Rounding leaves a little power in a signal that is constant but for it: that is silence too.
    const double level = shift + mean;
    const double floor = 1e-24 * (level * level) + 1e-18 * squares / static_cast<double>(n);
    c.rmsDbfs = power > floor && power > 0.0 ? 10.0 * std::log10(power) : -300.0;
    c.silent = !(c.rmsDbfs >= kSilentDbfs);
    return c;
}

bool CheckDelayAndPolarity(const CrossSpectra& s, double rate, CaptureChecks& out) {
    out.correlated = false;
    out.correlationPeak = 0.0;
    out.polarityInverted = false;
    out.delaySamples = out.delayMs = out.delayCm = 0.0;
    const std::size_t L = std::size_t{1} << s.order, bins = L / 2 + 1;
    DoubleArray work(4 * L);
    if (!work) return false;
    double* re = work.get();
    double* im = re + L;
    double* cr = im + L;
    double* ci = cr + L;
    // The bins of the audible range, where the microphones are compared.
    std::size_t lo = 1, hi = bins;
    if (rate > 0.0 && std::isfinite(rate)) {
        lo = std::max<std::size_t>(1, static_cast<std::size_t>(kDelayLowestHz * L / rate));
        hi = std::min(bins, static_cast<std::size_t>(kDelayHighestHz * L / rate) + 1);
    }
    // The whitened cross-spectrum: every bin's phase with weight 1, times the bin's coherence, so
    // that bins where the two share nothing add little. A coloured target (a low-cut, a presence
    // peak) would otherwise pull the plain cross-correlation's peak towards its loudest bins, and
    // a high-passed voice turns that peak into a false, inverted echo.
    double total = 0.0;
    std::fill(re, re + 2 * L, 0.0);
    for (std::size_t k = lo; k < hi; ++k) {
        const double a = s.cre.get()[k], b = s.cim.get()[k];
        const double cross = a * a + b * b, den = s.rr.get()[k] * s.tt.get()[k];
        if (!(cross > 0.0 && den > 0.0 && std::isfinite(cross) && std::isfinite(den))) continue;
        const double coherence = std::min(1.0, cross / den);
        const double w = coherence / std::sqrt(cross);
        const double weight = k == L / 2 ? 1.0 : 2.0; // the bin and its mirror image
        re[k] = a * w;
        im[k] = b * w;
        if (k < L / 2) {
            re[L - k] = re[k];
            im[L - k] = -im[k];
        }
        total += weight * coherence;
    }
    if (!(total > 0.0)) return true;
    // The forward transform's real part at index lag (mod L) is the whitened correlation of
    // ref(n) with target(n + lag).
    if (!FftOutOfPlace(re, im, cr, ci, s.order)) return false;
    const double norm = 1.0 / total;
    const std::size_t reach = L / 4;
    auto at = [&](long lag) { return cr[static_cast<std::size_t>(lag) & (L - 1)] * norm; };
    long best = 0;
    for (long lag = -static_cast<long>(reach); lag <= static_cast<long>(reach); ++lag)
        if (std::fabs(at(lag)) > std::fabs(at(best))) best = lag;
    const double peak = at(best);
    out.correlationPeak = std::clamp(peak, -1.0, 1.0);
    if (!(std::fabs(peak) >= kCorrelationFloor)) return true;
    out.correlated = true;
    out.polarityInverted = peak < 0.0;
    const double a = std::fabs(at(best - 1)), b = std::fabs(peak), c = std::fabs(at(best + 1));
    const double bend = a - 2.0 * b + c;
    const double offset = bend < 0.0 ? 0.5 * (a - c) / bend : 0.0;
    out.delaySamples = static_cast<double>(best) + (std::fabs(offset) <= 0.5 ? offset : 0.0);
    if (rate > 0.0 && std::isfinite(rate)) {
        out.delayMs = 1000.0 * out.delaySamples / rate;
        out.delayCm = out.delayMs * kSpeedOfSoundCmPerMs;
    }
    return true;
}
