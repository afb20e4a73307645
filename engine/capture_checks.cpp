#include "engine/capture_checks.h"

#include "engine/fft.h"

#include <cmath>

ChannelCheck CheckChannel(const double* x, std::size_t n) {
    ChannelCheck c;
    c.silent = true;
    if (n == 0) return c;
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += x[i];
        if (std::fabs(x[i]) >= kClipLevel) ++c.clippedSamples;
    }
    const double mean = sum / static_cast<double>(n);
    double power = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        power += (x[i] - mean) * (x[i] - mean);
    power /= static_cast<double>(n);
    // Rounding of the mean leaves a little power in a constant signal: that is silence too.
    const double floor = 1e-24 * (mean * mean);
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
    // The Hermitian spectrum of reference * conj(target); its forward transform's real part is L
    // times the cross-correlation sum ref(n) * target(n + lag), at index lag (mod L).
    double rr = 0.0, tt = 0.0;
    for (std::size_t k = 0; k < bins; ++k) {
        re[k] = s.cre.get()[k];
        im[k] = s.cim.get()[k];
        if (k > 0 && k < L / 2) {
            re[L - k] = re[k];
            im[L - k] = -im[k];
        }
        const double weight = k == 0 || k == L / 2 ? 1.0 : 2.0;
        rr += weight * s.rr.get()[k];
        tt += weight * s.tt.get()[k];
    }
    if (!(rr > 0.0 && tt > 0.0)) return true;
    if (!FftOutOfPlace(re, im, cr, ci, s.order)) return false;
    const double norm = 1.0 / std::sqrt(rr * tt);
    const std::size_t reach = L / 4;
    auto at = [&](long lag) { return cr[static_cast<std::size_t>(lag) & (L - 1)] * norm; };
    long best = 0;
    for (long lag = -static_cast<long>(reach); lag <= static_cast<long>(reach); ++lag)
        if (std::fabs(at(lag)) > std::fabs(at(best))) best = lag;
    const double peak = at(best);
    out.correlationPeak = peak;
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
