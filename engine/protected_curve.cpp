#include "engine/protected_curve.h"

#include "engine/correction_design.h"

#include <algorithm>
#include <cmath>

double CorrectionShare(const ProtectionRule& r, double c) {
    if (!std::isfinite(c)) return 0.0;
    if (!(r.fullCoherence > r.noCoherence)) return c >= r.fullCoherence ? 1.0 : 0.0;
    return std::clamp((c - r.noCoherence) / (r.fullCoherence - r.noCoherence), 0.0, 1.0);
}

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
}
