#include "engine/cascade_magnitude.h"
#include "engine/correction_design.h"
#include "engine/curve_expansion.h"
#include "engine/protected_curve.h"
#include "support/flat_design.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

double Db(double v) {
    return 20.0 * std::log10(v);
}
double Ratio(double db) {
    return std::pow(10.0, db / 20.0);
}

} // namespace

// One band at a time against a flat remainder, so the level match stays 1: measured difference,
// coherence, rule -> the wanted value and the correction it leaves.
TEST(ProtectedCurve, RuleTable) {
    struct Case {
        double measuredDb, coherence, maxBoostDb;
        bool enabled;
        double wantedDb, correctionDb;
        bool limited;
    } cases[] = {
        {-6.0, 0.95, 12, true, 0.0, 6.0, false}, // trusted: the whole correction
        {-6.0, 0.80, 12, true, 0.0, 6.0, false},
        {-6.0, 0.40, 12, true, -6.0, 0.0, false}, // noise: none
        {-6.0, 0.10, 12, true, -6.0, 0.0, false},
        {-6.0, 0.60, 12, true, -3.0, 3.0, false},   // half way, in dB
        {8.0, 0.70, 12, true, 2.0, -6.0, false},    // cuts fade the same way
        {20.0, 1.00, 12, true, 0.0, -20.0, false},  // the limit is for boosts: a deep cut stays whole
        {-30.0, 1.00, 12, true, -18.0, 12.0, true}, // boost capped
        {-30.0, 0.60, 12, true, -18.0, 12.0, true}, // 15 dB kept, capped to 12
        {-30.0, 1.00, 0, true, 0.0, 30.0, false},   // 0: no cap
        {-30.0, 0.20, 12, false, 0.0, 30.0, false}, // rule off: flat curve, exact correction
    };
    for (const Case& c : cases) {
        std::array<double, kBandCount> t, r, coh, curve;
        t.fill(1.0);
        r.fill(1.0);
        coh.fill(1.0);
        const int k = 30; // outside the level-match bands 5..27
        t[k] = Ratio(c.measuredDb);
        coh[k] = c.coherence;
        ProtectionRule rule;
        rule.maxBoostDb = c.maxBoostDb;
        rule.enabled = c.enabled;
        std::array<BandProtection, kNormalBands> detail;
        ProtectedCurve(rule, t.data(), r.data(), coh.data(), curve.data(), detail.data());
        EXPECT_NEAR(Db(curve[k]), c.wantedDb, 1e-9) << c.measuredDb << " " << c.coherence;
        EXPECT_NEAR(detail[k].correctionDb, c.correctionDb, 1e-9) << c.measuredDb << " " << c.coherence;
        EXPECT_EQ(detail[k].limited, c.limited) << c.measuredDb << " " << c.coherence;
        EXPECT_NEAR(detail[k].measuredDb, c.measuredDb, 1e-9);
        EXPECT_NEAR(curve[3], 1.0, 1e-12);
    }
}

// Bad levels never give a non-finite curve; the level match uses the same gain as the design.
TEST(ProtectedCurve, LevelMatchAndBadLevels) {
    std::array<double, kBandCount> t, r, coh, curve;
    t.fill(0.25); // 12 dB below the reference everywhere: the level match takes it all
    r.fill(1.0);
    coh.fill(1.0);
    t[0] = 0.0;
    r[1] = 0.0;
    t[2] = NAN;
    coh[3] = NAN;
    ProtectionRule rule;
    ProtectedCurve(rule, t.data(), r.data(), coh.data(), curve.data(), nullptr);
    for (int k = 0; k < kNormalBands; ++k) {
        ASSERT_TRUE(std::isfinite(curve[k]) && curve[k] > 0.0) << k;
        if (k > 3) {
            EXPECT_NEAR(curve[k], 1.0, 1e-12) << k;
        }
    }
    EXPECT_EQ(curve[0], 1.0);
    EXPECT_EQ(curve[1], 1.0);
    EXPECT_EQ(curve[2], 1.0);
    EXPECT_NEAR(curve[3], 1.0, 1e-12); // an unknown coherence corrects nothing; here nothing to correct
}

// Through the design at normal resolution: with the protected curve no section boosts its band
// by more than the cap, however deep the measured dip.
TEST(ProtectedCurve, DesignRespectsTheCap) {
    std::array<double, kBandCount> t, r, coh, curve;
    t.fill(1.0);
    r.fill(1.0);
    coh.fill(1.0);
    for (int k = 0; k < 6; ++k)
        t[k] = Ratio(-30.0 + 5.0 * k); // a high-pass: -30 dB at 20 Hz
    ProtectionRule rule;
    ProtectedCurve(rule, t.data(), r.data(), coh.data(), curve.data(), nullptr);
    const DesignResult out = DesignWithFlatCalibration(t.data(), r.data(), curve.data(), 48000, 0.0);
    for (int k = 0; k < kNormalBands; ++k)
        EXPECT_LE(Db(out.achievedResponse[k] / out.measuredRatio[k]), 12.0 + 0.01) << k;
}

// The limit holds in the filter itself, at both resolutions: between band centres and in the
// semitone bands, which dip deeper than the third-octave bands around them. Measured: a 180 Hz
// low-cut (-36 dB at 20 Hz), a narrow -16 dB notch at 2 kHz only the semitone bands see, and a
// lone trusted band at 90 Hz between two untrusted ones. The exact correction (a flat wanted
// response) keeps every boost it asks for.
TEST(ProtectedCurve, LimitHoldsInTheFilterAtBothResolutions) {
    std::array<double, kBandCount> t, r, coh, curve, flat;
    r.fill(1.0);
    coh.fill(1.0);
    flat.fill(1.0);
    const auto& f = TheBandGrid().bandFrequencies;
    for (int i = 0; i < kBandCount; ++i) {
        const double x = f[i] / 180.0;
        t[i] = x * x / std::sqrt((1 - x * x) * (1 - x * x) + 2 * x * x); // second-order, Q = 0.707
        if (i >= kHighOffset && std::fabs(std::log2(f[i] / 2000.0)) < 0.05) t[i] *= Ratio(-16.0);
    }
    coh[6] = coh[8] = 0.45;
    ProtectionRule rule;
    std::array<BandProtection, kNormalBands> detail;
    ProtectedCurve(rule, t.data(), r.data(), coh.data(), curve.data(), detail.data());
    ExpandCurveTo120(curve.data(), curve.data() + kHighOffset);
    for (const double resolution : {0.0, 1.0}) {
        const DesignResult protectedDesign =
            DesignWithFlatCalibration(t.data(), r.data(), curve.data(), 48000, resolution);
        EXPECT_LE(LargestBoostDb(protectedDesign.sections_.data(), protectedDesign.sections, 48000),
                  rule.maxBoostDb + 0.5)
            << resolution;
        const DesignResult exact = DesignWithFlatCalibration(t.data(), r.data(), flat.data(), 48000, resolution);
        EXPECT_GT(LargestBoostDb(exact.sections_.data(), exact.sections, 48000), 25.0) << resolution;
    }
    EXPECT_TRUE(detail[0].limited);
    EXPECT_LE(detail[0].correctionDb, rule.maxBoostDb);
}
