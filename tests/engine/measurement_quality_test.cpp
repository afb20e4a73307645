#include "engine/measurement_quality.h"
#include "support/gaussian_noise.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 48000.0;

struct Pair {
    int order;
    std::vector<double> reference, target;
    explicit Pair(int o = kFftOrder)
        : order(o), reference(std::size_t{1} << o), target(std::size_t{1} << o) {}
    MeasurementQuality Assess() const {
        MeasurementQuality q;
        const BandBins bins = ComputeBandBins(kRate, 1 << order);
        EXPECT_TRUE(AssessRecordings(reference.data(), target.data(), order, bins, kRate, q));
        EXPECT_TRUE(q.known);
        return q;
    }
};

double MeanOf(const MeasurementQuality& q, int from, int to) {
    double s = 0.0;
    for (int i = from; i < to; ++i)
        s += q.coherence[i];
    return s / (to - from);
}

} // namespace

TEST(BandCoherence, IdenticalAndFilteredCopiesAreFullyCoherent) {
    Pair same, filtered;
    same.reference = same.target = filtered.reference = GaussianNoise(same.reference.size(), 1, 0.1);
    // Half as loud and through a one-pole low-pass: still a linear function of the reference, but
    // its phase turns a little across the widest bands.
    double y = 0.0;
    for (std::size_t i = 0; i < filtered.target.size(); ++i)
        filtered.target[i] = y = 0.5 * (0.7 * y + 0.3 * filtered.reference[i]);
    const MeasurementQuality a = same.Assess(), b = filtered.Assess();
    for (int i = 0; i < kBandCount; ++i) {
        EXPECT_GT(a.coherence[i], 1.0 - 1e-6) << i; // rounding, through the trust's square roots
        EXPECT_GT(b.coherence[i], 0.99) << i;
    }
    EXPECT_EQ(JudgeMeasurement(a), MeasurementVerdict::Usable);
    EXPECT_EQ(JudgeMeasurement(b), MeasurementVerdict::Usable);
}

// Unrelated signals give the estimate's floor, about 1/(segments * bins): small, and smaller the
// more bins a band has.
TEST(BandCoherence, IndependentNoiseStaysAtTheFloor) {
    Pair p;
    p.reference = GaussianNoise(p.reference.size(), 2, 0.1);
    p.target = GaussianNoise(p.target.size(), 3, 0.1);
    const MeasurementQuality q = p.Assess();
    for (int i = 0; i < kBandCount; ++i)
        EXPECT_LT(q.coherence[i], i < 8 || (i >= kHighOffset && i < kHighOffset + 30) ? 0.35 : 0.05) << i;
    EXPECT_LT(MeanOf(q, 0, 3), 0.12);              // 20-25 Hz: a few bins each
    EXPECT_LT(MeanOf(q, 16, kNormalBands), 0.003); // 600 Hz up: hundreds of bins
    EXPECT_EQ(JudgeMeasurement(q), MeasurementVerdict::NothingInCommon);
    EXPECT_FALSE(q.checks.correlated);
}

// A target 3 ms behind the reference, with noise of its own 20 dB down: still coherent (a delay is
// linear), and the delay and its distance are found. The noise's 1 % costs the narrowest bands,
// whose level it can move by a few tenths of a decibel, a little more of their trust.
TEST(BandCoherence, DelayedCopyIsCoherentAndItsDelayFound) {
    Pair p;
    p.reference = GaussianNoise(p.reference.size(), 4, 0.1);
    const auto own = GaussianNoise(p.target.size(), 5, 0.1);
    const int d = 144; // 3 ms at 48 kHz
    for (std::size_t i = 0; i < p.target.size(); ++i)
        p.target[i] = (i >= d ? p.reference[i - d] : 0.0) + 0.1 * own[i];
    const MeasurementQuality q = p.Assess();
    for (int i = 0; i < kBandCount; ++i)
        EXPECT_GT(q.coherence[i], 0.9) << i;
    EXPECT_TRUE(q.checks.correlated);
    EXPECT_FALSE(q.checks.polarityInverted);
    EXPECT_NEAR(q.checks.delaySamples, 144.0, 0.2);
    EXPECT_NEAR(q.checks.delayMs, 3.0, 0.01);
    EXPECT_NEAR(q.checks.delayCm, 102.9, 0.5);
}

TEST(CaptureChecks, ChannelLevelAndClipping) {
    const double v[] = {0.5, -0.98855, 0.98856, 1.0, -1.0, 0.2};
    const ChannelCheck c = CheckChannel(v, 6);
    EXPECT_EQ(c.clippedSamples, 3); // -0.98855 lies just under -0.1 dBFS
    EXPECT_FALSE(c.silent);
    const double dc[] = {0.3, 0.3, 0.3, 0.3};
    EXPECT_TRUE(CheckChannel(dc, 4).silent);
    EXPECT_EQ(CheckChannel(dc, 4).rmsDbfs, -300.0);
}

// Each bad input gets a clear verdict and finite, bounded results.
TEST(CaptureChecks, BadInputs) {
    constexpr int order = 17; // 2.7 s: enough for every check, a quarter of the work
    const std::size_t n = std::size_t{1} << order;
    const auto noise = GaussianNoise(n, 7, 0.1);
    auto sine = [](std::size_t i) { return 0.5 * std::sin(2.0 * std::numbers::pi * 997.0 * i / kRate); };
    auto square = [](std::size_t i) { return (i / 24) % 2 ? 1.0 : -1.0; };
    struct Case {
        const char* name;
        std::function<double(std::size_t)> ref, tgt;
        MeasurementVerdict verdict;
        long refClips, tgtClips;
        bool inverted;
    };
    const Case cases[] = {
        {"silence", [](std::size_t) { return 0.0; }, [](std::size_t) { return 0.0; },
         MeasurementVerdict::ReferenceSilent, 0, 0, false},
        {"dc", [](std::size_t) { return 0.25; }, [](std::size_t) { return -0.5; },
         MeasurementVerdict::ReferenceSilent, 0, 0, false},
        {"denormal", [&](std::size_t i) { return noise[i] * 1e-310; },
         [&](std::size_t i) { return noise[i] * 1e-310; }, MeasurementVerdict::ReferenceSilent, 0, 0, false},
        {"target silent", [&](std::size_t i) { return noise[i]; }, [](std::size_t) { return 0.0; },
         MeasurementVerdict::TargetSilent, 0, 0, false},
        {"reference silent", [](std::size_t) { return 0.0; }, [&](std::size_t i) { return noise[i]; },
         MeasurementVerdict::ReferenceSilent, 0, 0, false},
        {"identical", [&](std::size_t i) { return noise[i]; }, [&](std::size_t i) { return noise[i]; },
         MeasurementVerdict::Usable, 0, 0, false},
        {"inverted", [&](std::size_t i) { return noise[i]; }, [&](std::size_t i) { return -noise[i]; },
         MeasurementVerdict::Usable, 0, 0, true},
        {"sine", sine, sine, MeasurementVerdict::Usable, 0, 0, false},
        {"full-scale square", square, [&](std::size_t i) { return 0.5 * square(i); },
         MeasurementVerdict::Usable, static_cast<long>(n), 0, false},
    };
    for (const Case& c : cases) {
        Pair p(order);
        for (std::size_t i = 0; i < n; ++i) {
            p.reference[i] = c.ref(i);
            p.target[i] = c.tgt(i);
        }
        const MeasurementQuality q = p.Assess();
        EXPECT_EQ(JudgeMeasurement(q), c.verdict) << c.name;
        EXPECT_EQ(q.checks.reference.clippedSamples, c.refClips) << c.name;
        EXPECT_EQ(q.checks.target.clippedSamples, c.tgtClips) << c.name;
        EXPECT_EQ(q.checks.polarityInverted, c.inverted) << c.name;
        for (double v : q.coherence)
            ASSERT_TRUE(v >= 0.0 && v <= 1.0) << c.name;
        ASSERT_TRUE(std::isfinite(q.checks.delayMs) && std::isfinite(q.checks.correlationPeak)) << c.name;
        if (c.verdict == MeasurementVerdict::Usable) {
            EXPECT_TRUE(q.checks.correlated) << c.name;
            EXPECT_NEAR(q.checks.delaySamples, 0.0, 0.01) << c.name;
        }
    }
}

// A microphone's low-cut switch on a dark sound (brown noise, most of its power at the bottom):
// the plain cross-correlation peaks on the filter's negative low-frequency lobe and reads a late,
// inverted target, and a coherence turned back by that false delay collapses at the top. The
// whitened correlation finds the target's own delay and polarity, and the coherence stays whole.
TEST(CaptureChecks, LowCutOnADarkSoundIsNeitherInvertedNorLate) {
    struct Case {
        double cutHz;
        int delay;
        double sign;
    } cases[] = {{120, 0, 1.0}, {180, 0, 1.0}, {180, 0, -1.0}, {180, 144, 1.0}};
    for (const Case& c : cases) {
        Pair p;
        const auto white = GaussianNoise(p.reference.size(), 11, 0.01);
        double y = 0.0;
        for (std::size_t i = 0; i < p.reference.size(); ++i)
            p.reference[i] = y = 0.999 * y + white[i];
        // Second-order high-pass (Q 0.7071) by the bilinear transform, then delay and polarity.
        const double w0 = 2.0 * std::numbers::pi * c.cutHz / kRate, alpha = std::sin(w0) / (2.0 * 0.7071);
        const double cw = std::cos(w0), a0 = 1.0 + alpha;
        const double b0 = (1.0 + cw) / 2.0 / a0, b1 = -(1.0 + cw) / a0, a1 = -2.0 * cw / a0, a2 = (1.0 - alpha) / a0;
        std::vector<double> cut(p.reference.size());
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
        for (std::size_t i = 0; i < cut.size(); ++i) {
            const double x = p.reference[i];
            cut[i] = b0 * x + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = cut[i];
        }
        for (std::size_t i = 0; i < cut.size(); ++i)
            p.target[i] = i >= static_cast<std::size_t>(c.delay) ? c.sign * cut[i - c.delay] : 0.0;
        const MeasurementQuality q = p.Assess();
        const std::string name = std::to_string(c.cutHz) + " Hz, delay " + std::to_string(c.delay);
        EXPECT_EQ(q.checks.polarityInverted, c.sign < 0.0) << name;
        EXPECT_NEAR(q.checks.delayMs, c.delay / 48.0, 0.25) << name;
        for (int k = 0; k < kNormalBands; ++k)
            if (TheBandGrid().bandFrequencies[k] >= 100.0) {
                EXPECT_GT(q.coherence[k], 0.9) << name << ", band " << k;
            }
    }
}
