#include "engine/cascade_model.h"
#include "engine/correction_design.h"
#include "engine/interaction_terms.h"
#include "engine_fixture.h"
#include "support/engine_operations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

struct Bands {
    std::array<double, kBandCount> target, reference, calibration, user;
    Bands() {
        target.fill(1.0);
        reference.fill(1.0);
        calibration.fill(1.0);
        user.fill(1.0);
    }
    DesignInputs Inputs(double rate, double resolution, double outputs) const {
        return {rate, resolution, outputs, target.data(), reference.data(), calibration.data(), user.data()};
    }
};

DesignResult Design(const DesignInputs& in) {
    DesignResult r;
    ComputeCorrection(in, r);
    return r;
}

// The fit exactly as the formula reads: one division per term, no guards.
std::vector<double> LiteralGains(const DesignInputs& in, int* passesOut) {
    const int n = SectionCount(in.resolution), off = BandOffset(in.resolution);
    std::vector<double> T(n * n), X(n), W(n), Y(n), g(n, 0.0), P(n), K(n);
    ComputeInteractionTerms(StandardRateIndex(in.workingSampleRate), in.resolution, T.data());
    const double G = LevelMatchGain(in.targetBands, in.referenceBands);
    for (int k = 0; k < n; ++k) {
        X[k] = G * in.targetBands[off + k] / in.referenceBands[off + k];
        W[k] = in.userCurve[off + k];
    }
    Y = X;
    int passes = 0;
    for (;;) {
        bool done = passes != 0;
        std::vector<double> E(n);
        for (int k = 0; k < n; ++k) {
            E[k] = W[k] / Y[k] - 1;
            done = done && std::fabs(E[k]) <= 0.001;
        }
        if (done) break;
        for (int k = 0; k < n; ++k) {
            g[k] = std::max(-0.9999, std::pow(1 + E[k], 0.2) * (1 + g[k]) - 1);
            P[k] = g[k] * (g[k] + 2);
            K[k] = 0.1 * n * std::sqrt(1 + g[k]);
        }
        for (int r = 0; r < n; ++r) {
            double prod = 1;
            for (int s = 0; s < n; ++s)
                prod *= 1 + P[s] / (1 + K[s] * K[s] * T[r * n + s]);
            Y[r] = std::sqrt(prod) * X[r];
        }
        if (++passes == kDesignPassLimit) break;
    }
    *passesOut = passes;
    return g;
}

bool Stable(const PeakingSection& s) {
    return std::isfinite(s.b) && std::isfinite(s.a1) && std::isfinite(s.a2) && std::fabs(s.a2) < 1 &&
           std::fabs(s.a1) < 1 + s.a2;
}

} // namespace

TEST(InteractionTerms, ValuesFromTheFormula) {
    std::vector<double> normal(33 * 33), high(120 * 120);
    ComputeInteractionTerms(1, 0.0, normal.data());
    EXPECT_NEAR(normal[0 * 33 + 1], 0.0473272, 5e-8);
    EXPECT_NEAR(normal[16 * 33 + 0], 249.839, 5e-4);
    EXPECT_NEAR(normal[32 * 33 + 0], 5692733.0, 0.5);
    ComputeInteractionTerms(3, 1.0, high.data());
    EXPECT_NEAR(high[0 * 120 + 1], 0.00334020, 5e-9);
    for (int r = 0; r < 120; ++r) {
        EXPECT_EQ(high[r * 120 + r], 0.0);
        for (int s = 0; s < r; ++s)
            EXPECT_NEAR(high[r * 120 + s], high[s * 120 + r], 1e-12 * high[r * 120 + s]);
    }
}

TEST(InteractionTerms, RateIndexUsesTheListRateWithinOneHertz) {
    const std::pair<double, int> cases[] = {{44056, 0},   {44100, 1}, {47999.5, 3}, {48000.9, 3}, {96000, 7},
                                            {384000, 11}, {60000, 1}, {1.0, 1},     {NAN, 1}};
    for (auto [rate, index] : cases)
        EXPECT_EQ(StandardRateIndex(rate), index) << rate;
}

TEST(CascadeModel, FastFormEqualsThePlainForm) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> gain(-0.9999, 30.0);
    for (double resolution : {0.0, 1.0}) {
        const int n = SectionCount(resolution);
        std::vector<double> T(n * n), Ksq(n), P(n), fast(n), plain(n);
        ComputeInteractionTerms(11, resolution, T.data());
        for (int trial = 0; trial < 5; ++trial) {
            for (int k = 0; k < n; ++k) {
                const double g = trial == 0 ? 1e6 * (k % 3) : gain(rng); // huge gains too
                P[k] = g * (g + 2);
                Ksq[k] = 0.01 * n * n * (1 + g);
            }
            ModelCascadeMagnitudes(n, T.data(), Ksq.data(), P.data(), fast.data());
            ModelCascadeMagnitudesPlain(n, T.data(), Ksq.data(), P.data(), plain.data());
            for (int r = 0; r < n; ++r)
                EXPECT_NEAR(fast[r], plain[r], 1e-12 * plain[r]) << n << " " << trial << " " << r;
        }
    }
}

TEST(CascadeModel, FifthRootToFullPrecision) {
    // pow(x, 0.2) is off by x^(1.1e-17) itself, as 0.2 is not exactly a fifth: up to 8e-15 at the extremes.
    for (double x = 1e-300; x < 1e300; x *= 1.37)
        ASSERT_NEAR(FifthRoot(x) / std::pow(x, 0.2), 1.0, 1e-14) << x;
    for (double x = 1e-3; x < 1e3; x *= 1.01)
        ASSERT_NEAR(FifthRoot(x) / std::pow(x, 0.2), 1.0, 2e-15) << x;
    EXPECT_EQ(FifthRoot(32.0), 2.0);
    EXPECT_EQ(FifthRoot(1.0), 1.0);
    EXPECT_EQ(FifthRoot(0.0), 0.0);
    EXPECT_EQ(FifthRoot(INFINITY), INFINITY);
    EXPECT_TRUE(std::isnan(FifthRoot(NAN)));
    EXPECT_NEAR(FifthRoot(4e-320) / std::pow(4e-320, 0.2), 1.0, 1e-14);
}

// Inputs with a known answer: every one ends flat after exactly one update.
TEST(CorrectionDesign, FlatCases) {
    struct Case {
        const char* what;
        double outputs;
        double resolution;
    } cases[] = {{"target output", 0.5, 0.0},
                 {"target output, high", 0.5, 1.0},
                 {"equal levels", 1.0, 0.0},
                 {"equal levels, high", 1.0, 1.0},
                 {"reference, no calibration", 0.0, 0.0}};
    Bands b;
    for (int i = 0; i < kBandCount; ++i)
        b.target[i] = b.reference[i] = 0.3 + 0.01 * i;
    for (const Case& c : cases) {
        const DesignResult r = Design(b.Inputs(48000, c.resolution, c.outputs));
        EXPECT_EQ(r.passes, 1) << c.what;
        EXPECT_TRUE(r.converged) << c.what;
        EXPECT_DOUBLE_EQ(r.levelMatchGain, 1.0) << c.what;
        for (int k = 0; k < r.sections; ++k) {
            EXPECT_EQ(r.sectionGain[k], 0.0) << c.what;
            EXPECT_EQ(r.sections_[k].b, 0.0) << c.what;
            EXPECT_DOUBLE_EQ(r.curveMeasured[k], 1.0) << c.what;
            EXPECT_DOUBLE_EQ(r.curveResult[k], 1.0) << c.what;
            EXPECT_DOUBLE_EQ(r.curveDesired[k], 1.0) << c.what;
        }
    }
}

TEST(CorrectionDesign, LevelMatchUsesBandsFiveToTwentySeven) {
    Bands b;
    for (int i = 0; i < kBandCount; ++i) {
        b.target[i] = 0.1;
        b.reference[i] = (i >= 5 && i <= 27) ? 0.2 : 0.05; // outside 5..27 ignored by the gain
    }
    const DesignResult r = Design(b.Inputs(44100, 0.0, 1.0));
    EXPECT_DOUBLE_EQ(r.levelMatchGain, 2.0);
    for (int k = 5; k <= 27; ++k)
        EXPECT_DOUBLE_EQ(r.measuredRatio[k], 1.0);
    EXPECT_DOUBLE_EQ(r.measuredRatio[0], 4.0);
}

// Measured differences of several shapes converge, at both resolutions, to the formula's own fit:
// same number of passes, same gains.
TEST(CorrectionDesign, ConvergesToTheLiteralFit) {
    struct Shape {
        const char* what;
        double (*db)(double f);
    } shapes[] = {
        {"wavy", [](double f) { return 6.0 * std::sin(std::log(f)) + 3.0 * std::cos(3 * std::log(f)); }},
        {"tilt", [](double f) { return 12.0 * std::log10(f / 1000); }},
        {"notch", [](double f) { return std::fabs(std::log2(f / 3000)) < 0.3 ? -20.0 : 0.0; }},
        {"peak", [](double f) { return std::fabs(std::log2(f / 3000)) < 0.5 ? 20.0 : 0.0; }},
        {"deep wave", [](double f) { return 30.0 * std::sin(std::log(f)); }},
        {"top cut", [](double f) { return f > 10000 ? -40.0 : 0.0; }},
    };
    for (const Shape& shape : shapes)
        for (double resolution : {0.0, 1.0}) {
            Bands b;
            for (int i = 0; i < kBandCount; ++i) {
                const double f = TheBandGrid().bandFrequencies[i];
                b.target[i] = std::pow(10.0, shape.db(f) / 20.0);
                b.user[i] = std::pow(10.0, (f > 5000 ? 4.0 : -2.0) / 20.0);
            }
            const DesignInputs in = b.Inputs(48000, resolution, 1.0);
            const DesignResult r = Design(in);
            int literalPasses = 0;
            const std::vector<double> literal = LiteralGains(in, &literalPasses);
            SCOPED_TRACE(std::string(shape.what) + (resolution == 0.0 ? ", normal" : ", high"));
            ASSERT_TRUE(r.converged);
            EXPECT_EQ(r.passes, literalPasses);
            for (int k = 0; k < r.sections; ++k) {
                EXPECT_NEAR(r.sectionGain[k], literal[k], 1e-9 * (1 + std::fabs(literal[k]))) << k;
                EXPECT_LE(std::fabs(r.curveDesired[k] / r.achievedResponse[k] - 1), 0.001) << k;
                EXPECT_TRUE(Stable(r.sections_[k]));
            }
            // Section coefficients from the fitted gain.
            const int k = r.sections / 2;
            const double w0 =
                2 * std::numbers::pi * TheBandGrid().bandFrequencies[BandOffset(resolution) + k] / 48000;
            const double alpha = std::sin(w0) / (0.1 * r.sections * std::sqrt(1 + r.sectionGain[k]));
            EXPECT_DOUBLE_EQ(r.sections_[k].b, alpha * r.sectionGain[k] / (1 + alpha));
            EXPECT_DOUBLE_EQ(r.sections_[k].a1, -2 * std::cos(w0) / (1 + alpha));
            EXPECT_DOUBLE_EQ(r.sections_[k].a2, (1 - alpha) / (1 + alpha));
        }
}

// Fits that neither settle nor blow up (they swing around a best pass) stop once a long run of
// passes has not bettered the best, instead of running to the pass limit; they keep that best pass.
TEST(CorrectionDesign, FitThatNeverSettlesStopsAtItsStall) {
    struct Case {
        const char* what;
        double targetDb, userDb; // alternating by band: +x, -x
        int period;
    } cases[] = {{"levels +-40 dB", 40.0, 0.0, 2},
                 {"drawn curve +-30 dB", 0.0, 30.0, 2},
                 {"levels 1 in 3", 25.0, 0.0, 3}};
    for (const Case& c : cases) {
        Bands b;
        for (int i = 0; i < kBandCount; ++i) {
            const double sign = i % c.period == 0 ? 1.0 : -1.0;
            b.target[i] = std::pow(10.0, sign * c.targetDb / 20.0);
            b.user[i] = std::pow(10.0, sign * c.userDb / 20.0);
        }
        const DesignResult r = Design(b.Inputs(48000, 0.0, 1.0));
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(r.converged);
        EXPECT_LT(r.passes, 10000);
        for (int k = 0; k < r.sections; ++k) {
            ASSERT_TRUE(std::isfinite(r.sectionGain[k]) && std::isfinite(r.achievedResponse[k])) << k;
            EXPECT_TRUE(Stable(r.sections_[k])) << k;
        }
    }
}

// A design told to stop gives up at its next look and marks its result as not to be used.
TEST(CorrectionDesign, StopRequestAbandonsTheDesign) {
    Bands b;
    for (int i = 0; i < kBandCount; ++i)
        b.target[i] = i % 2 ? 100.0 : 0.01; // would run for thousands of passes
    for (int after : {0, 3}) {
        DesignInputs in = b.Inputs(48000, 0.0, 1.0);
        int asked = 0;
        struct Countdown {
            int* asked;
            int after;
        } countdown{&asked, after};
        in.shouldStop = [](const void* c) {
            const auto* d = static_cast<const Countdown*>(c);
            return (*d->asked)++ >= d->after;
        };
        in.stopContext = &countdown;
        const DesignResult r = Design(in);
        EXPECT_TRUE(r.stopped) << after;
        EXPECT_EQ(asked, after + 1);
        EXPECT_LE(r.passes, 16 * after) << "stopped at the first look after the request";
    }
    EXPECT_FALSE(Design(b.Inputs(48000, 0.0, 1.0)).stopped);
}

// A ratio that jumps by +-15 dB from semitone to semitone cannot be fitted at high resolution.
TEST(CorrectionDesign, JaggedRatioKeepsTheBestPassAndStaysFinite) {
    Bands b;
    for (int m = 0; m < kHighBands; ++m)
        b.target[kHighOffset + m] = std::pow(10.0, (m % 2 ? 15.0 : -15.0) / 20.0);
    const DesignResult r = Design(b.Inputs(48000, 1.0, 1.0));
    EXPECT_FALSE(r.converged);
    EXPECT_LT(r.passes, kDesignPassLimit); // gave up once the fit had clearly diverged
    double largest = 0;
    for (int k = 0; k < kHighBands; ++k) {
        ASSERT_TRUE(std::isfinite(r.sectionGain[k]));
        ASSERT_TRUE(std::isfinite(r.achievedResponse[k]));
        EXPECT_TRUE(Stable(r.sections_[k])) << k;
        largest = std::max(largest, std::fabs(r.curveDesired[k] / r.achievedResponse[k] - 1));
    }
    // No worse than doing nothing at all (the largest error of the uncorrected ratio).
    EXPECT_LE(largest, std::pow(10.0, 15.0 / 20.0) - 1 + 1e-12);
}

// Silent microphones, broken calibration values and garbage restored into the curves.
TEST(CorrectionDesign, UnusableValuesLeaveTheirBandsUncorrected) {
    Bands b;
    for (int i = 0; i < kBandCount; ++i)
        b.target[i] = 0.5;
    b.reference[3] = 0.0;
    b.reference[4] = NAN;
    b.target[6] = INFINITY;
    b.target[7] = -1.0;
    b.user[8] = 0.0;
    b.user[9] = NAN;
    b.calibration[10] = 0.0;
    for (double outputs : {0.0, 1.0}) {
        const DesignResult r = Design(b.Inputs(44100, 0.0, outputs));
        ASSERT_TRUE(std::isfinite(r.levelMatchGain));
        for (int k = 0; k < r.sections; ++k) {
            EXPECT_TRUE(std::isfinite(r.sectionGain[k]) && Stable(r.sections_[k])) << k;
            EXPECT_TRUE(std::isfinite(r.curveMeasured[k]) && std::isfinite(r.curveResult[k]) &&
                        std::isfinite(r.curveDesired[k]))
                << k;
        }
        if (outputs == 1.0) {
            for (int k : {3, 4, 6, 7})
                EXPECT_EQ(r.measuredRatio[k], 1.0) << k;
            EXPECT_EQ(r.curveDesired[8], 1.0);
            EXPECT_EQ(r.curveDesired[9], 1.0);
        } else {
            EXPECT_EQ(r.measuredRatio[10], 1.0);
        }
    }
    // All-silent microphones: no level match can be formed, and nothing is corrected.
    Bands silent;
    silent.target.fill(0.0);
    silent.reference.fill(0.0);
    const DesignResult r = Design(silent.Inputs(44100, 1.0, 1.0));
    EXPECT_EQ(r.levelMatchGain, 1.0);
    for (int k = 0; k < r.sections; ++k)
        EXPECT_EQ(r.sectionGain[k], 0.0);
}

// Before the host sets a rate the design runs for a rate of 1.0; its sections must not be unstable.
TEST(CorrectionDesign, RateOfOneGivesStableSections) {
    Bands b;
    for (int i = 0; i < kBandCount; ++i)
        b.target[i] = 1.0 + 0.5 * (i % 3);
    const DesignResult r = Design(b.Inputs(1.0, 0.0, 1.0));
    for (int k = 0; k < r.sections; ++k)
        EXPECT_TRUE(Stable(r.sections_[k]) || r.sections_[k].b == 0.0) << k;
}

TEST(CorrectionDesign, NormalDesignKeepsTheHighEntriesOfTheCurves) {
    EngineEffect fx;
    CorrectionEngine& e = fx.engine;
    CorrectionSettings c = CorrectionInForce(e);
    c.outputSelection = 1.0;
    for (int i = 0; i < kBandCount; ++i)
        c.targetBands[i] = 1.0 + 0.1 * (i % 4);
    c.resolution = 1.0;
    e.ApplyCorrection(c); // designs
    const auto highCurve = e.Snapshot().curveResult;
    e.SetResolution(0.0); // designs
    for (int k = kNormalBands; k < kHighBands; ++k)
        EXPECT_EQ(e.Snapshot().curveResult[k], highCurve[k]) << k;
    EXPECT_NE(e.Snapshot().curveResult[0], highCurve[0]);
    EXPECT_EQ(e.Snapshot().filterReady, 1);
}
