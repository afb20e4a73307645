#include "engine/protected_curve.h"

#include "engine/cascade_magnitude.h"
#include "engine/correction_design.h"
#include "engine/curve_expansion.h"

#include <algorithm>
#include <array>
#include <cmath>

double CorrectionShare(const ProtectionRule& r, double c) {
    if (!std::isfinite(c)) return 0.0;
    if (!(r.fullCoherence > r.noCoherence)) return c >= r.fullCoherence ? 1.0 : 0.0;
    return std::clamp((c - r.noCoherence) / (r.fullCoherence - r.noCoherence), 0.0, 1.0);
}

namespace {

// The 120-point curve the high resolution plays is the 33-point one expanded (ExpandCurveTo120),
// measured against the finer semitone levels, which dip deeper than the third-octave bands around
// them (a low-cut's slope, a notch). Where the expanded curve would boost a semitone band beyond
// the limit, the two points it is interpolated from are lowered by the excess, until none is left;
// only the 33 points are stored, so the limit then holds at both resolutions wherever the curve is
// loaded again. Returns which points were lowered.
std::array<bool, kNormalBands> KeepLimitAtHighResolution(double limitRatio, double G, const double* t,
                                                         const double* r, double* curve) {
    std::array<bool, kNormalBands> lowered{};
    std::array<double, kHighBands> measured, expanded;
    for (int m = 0; m < kHighBands; ++m) {
        // As the design reads them: a band whose levels cannot be divided counts as flat.
        const double x = G * t[kHighOffset + m] / r[kHighOffset + m];
        measured[m] = std::isfinite(x) && x > 0.0 ? x : 1.0;
    }
    // Each pass removes the largest excess; every point only ever goes down.
    for (int pass = 0; pass < 4 * kHighBands; ++pass) {
        ExpandCurveTo120(curve, expanded.data());
        int worst = -1;
        double excess = 1.0 + 1e-9;
        for (int m = 0; m < kHighBands; ++m) {
            const double e = expanded[m] / (measured[m] * limitRatio);
            if (e > excess) {
                excess = e;
                worst = m;
            }
        }
        if (worst < 0) break;
        const int k = ExpandedFrom(worst);
        for (int j : {k, std::min(k + 1, kNormalBands - 1)}) {
            curve[j] /= excess;
            lowered[j] = true;
        }
    }
    return lowered;
}

// The cascade fits the wanted response at the band centres; between them, next to a band capped
// at the limit with much less correction on either side, the fit can rise above it. The curve is
// designed at both resolutions (flat calibration, 48 kHz: the levels are the calibrated ones, and
// the rate matters only near the top of the range); where the cascade boosts by more than the
// limit plus kFilterMarginDb, the two points the offending frequency is interpolated from are
// lowered by the excess, and the design is repeated. Returns which points were lowered.
constexpr double kFilterMarginDb = 0.25;
constexpr int kFilterChecks = 8;

std::array<bool, kNormalBands> KeepLimitInTheFilter(double maxBoostDb, const double* t, const double* r,
                                                    double* curve) {
    std::array<bool, kNormalBands> lowered{};
    std::array<double, kBandCount> wanted, flat;
    flat.fill(1.0);
    const auto& freq = TheBandGrid().bandFrequencies;
    for (int check = 0; check < kFilterChecks; ++check) {
        bool changed = false;
        for (const double resolution : {0.0, 1.0}) {
            std::copy_n(curve, kNormalBands, wanted.begin());
            ExpandCurveTo120(wanted.data(), wanted.data() + kHighOffset);
            DesignInputs in;
            in.workingSampleRate = 48000.0;
            in.resolution = resolution;
            in.outputSelection = 1.0;
            in.targetBands = t;
            in.referenceBands = r;
            in.calibrationGain = flat.data();
            in.userCurve = wanted.data();
            DesignResult out;
            ComputeCorrection(in, out);
            double at = 0.0;
            const double excessDb =
                LargestBoostDb(out.sections_.data(), out.sections, in.workingSampleRate, &at) - maxBoostDb;
            if (!(excessDb > kFilterMarginDb)) continue;
            // The band whose centre is nearest (in octaves) to the peak, and the points it comes from.
            const int n = out.sections, off = resolution == 0.0 ? 0 : kHighOffset;
            int nearest = 0;
            for (int k = 1; k < n; ++k)
                if (std::fabs(std::log(freq[off + k] / at)) < std::fabs(std::log(freq[off + nearest] / at)))
                    nearest = k;
            const int from = resolution == 0.0 ? nearest : ExpandedFrom(nearest);
            const int to = resolution == 0.0 ? nearest : std::min(from + 1, kNormalBands - 1);
            for (int j = from; j <= to; ++j) {
                curve[j] /= std::pow(10.0, excessDb / 20.0);
                lowered[j] = true;
            }
            changed = true;
        }
        if (!changed) break;
    }
    return lowered;
}

} // namespace

void ProtectedCurve(const ProtectionRule& rule, const double* t, const double* r, const double* coherence,
                    double* curve, BandProtection* detail) {
    const double G = LevelMatchGain(t, r);
    for (int k = 0; k < kNormalBands; ++k) {
        BandProtection b;
        const double x = G * t[k] / r[k];
        if (rule.enabled && std::isfinite(x) && x > 0.0) {
            b.measuredDb = 20.0 * std::log10(x);
            b.share = CorrectionShare(rule, coherence[k]);
            // The correction is -measured; keep its share, then cap the boost.
            b.correctionDb = -b.share * b.measuredDb;
            if (rule.maxBoostDb > 0.0 && b.correctionDb > rule.maxBoostDb) {
                b.correctionDb = rule.maxBoostDb;
                b.limited = true;
            }
            b.wantedDb = b.measuredDb + b.correctionDb;
        } else {
            b.correctionDb = std::isfinite(x) && x > 0.0 ? -20.0 * std::log10(x) : 0.0;
            b.measuredDb = -b.correctionDb;
        }
        curve[k] = std::pow(10.0, b.wantedDb / 20.0);
        if (detail) detail[k] = b;
    }
    if (!rule.enabled || !(rule.maxBoostDb > 0.0)) return;
    const std::array<bool, kNormalBands> lowered =
        KeepLimitAtHighResolution(std::pow(10.0, rule.maxBoostDb / 20.0), G, t, r, curve);
    const std::array<bool, kNormalBands> loweredInFilter = KeepLimitInTheFilter(rule.maxBoostDb, t, r, curve);
    if (!detail) return;
    for (int k = 0; k < kNormalBands; ++k)
        if (lowered[k] || loweredInFilter[k]) {
            BandProtection& b = detail[k];
            b.wantedDb = 20.0 * std::log10(curve[k]);
            b.correctionDb = b.wantedDb - b.measuredDb;
            b.limited = true;
        }
}
