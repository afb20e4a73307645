#include "engine/analysis_window.h"
#include "engine/fft.h"
#include "engine/recording_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

struct Recording {
    int order;
    std::vector<double> reference, target;
    std::array<double, kBandCount> referenceBands{}, targetBands{};
    explicit Recording(int o = kFftOrder) : order(o), reference(2u << o, 0.0), target(2u << o, 0.0) {}
    bool Analyse(const BandBins& bins) {
        return AnalyseRecordings(reference.data(), target.data(), order, bins, referenceBands.data(),
                                 targetBands.data());
    }
};

// Band levels of one signal transformed on its own, the plain way.
std::array<double, kBandCount> LevelsAlone(const std::vector<double>& samples, const BandBins& bins,
                                           int order) {
    const int n = 1 << order;
    std::vector<double> re(samples.begin(), samples.begin() + n), im(n, 0.0);
    ApplyAnalysisWindow(re.data(), nullptr, n);
    EXPECT_TRUE(Fft(re.data(), im.data(), order));
    for (int j = 0; j < n; ++j)
        re[j] = re[j] * re[j] + im[j] * im[j];
    std::array<double, kBandCount> bands{};
    BandLevelsFromPower(re.data(), bins, bands.data());
    return bands;
}

} // namespace

TEST(RecordingAnalysis, ImpulseGivesTheRootOfEachBandsBinCount) {
    const BandBins bins = ComputeBandBins(44100, kFftLength);
    Recording r;
    // In the middle of the recording, where the window is at its peak sqrt(8/3): each bin's power
    // is 8/3.
    r.reference[kFftLength / 2] = 1.0;
    ASSERT_TRUE(r.Analyse(bins));
    const double k = 8.0 / 3.0;
    const int* e = bins.data() + kNormalEdgeBinsOffset;
    EXPECT_NEAR(r.referenceBands[0], std::sqrt(k * (e[0] - bins[0])), 1e-9);
    for (int i = 1; i < kNormalBands; ++i)
        EXPECT_NEAR(r.referenceBands[i], std::sqrt(k * (e[i] - e[i - 1])), 1e-9) << i;
    const int* h = bins.data() + kHighEdgeBinsOffset;
    for (int m = 0; m < kHighBands; ++m)
        EXPECT_NEAR(r.referenceBands[kHighOffset + m], std::sqrt(k * (h[m + 1] - h[m])), 1e-9) << m;
    // Nothing of the reference leaks into the silent target.
    for (double t : r.targetBands)
        EXPECT_LT(t, 1e-9);
}

TEST(AnalysisWindow, HannOfUnitMeanPower) {
    for (std::size_t n : {std::size_t{8}, std::size_t{1} << 12, std::size_t{1} << 16}) {
        std::vector<double> w(n, -1.0), ones(n, 1.0);
        AnalysisWindow(w.data(), n);
        ApplyAnalysisWindow(ones.data(), nullptr, n);
        double power = 0.0;
        for (std::size_t t = 0; t < n; ++t) {
            const double want = kAnalysisWindowScale * 0.5 * (1.0 - std::cos(2.0 * std::numbers::pi * t / n));
            ASSERT_NEAR(w[t], want, 1e-12) << n << " " << t;
            ASSERT_EQ(ones[t], w[t]);
            power += w[t] * w[t];
        }
        EXPECT_NEAR(power / n, 1.0, 1e-12) << n;
    }
}

// A loud tone at 300 Hz and nothing below 100 Hz: without a window the tone's leakage sets the low
// bands' levels (about 70 dB below the tone at 20 Hz); with it they stay at the true noise floor.
TEST(RecordingAnalysis, LoudToneDoesNotLeakIntoTheLowBands) {
    const double rate = 48000.0;
    const BandBins bins = ComputeBandBins(rate, kFftLength);
    std::mt19937 rng(5);
    std::normal_distribution<double> noise;
    Recording r;
    for (int i = 0; i < kFftLength; ++i) {
        r.reference[i] = std::sin(2.0 * std::numbers::pi * 300.37 * i / rate) + 1e-6 * noise(rng);
        r.target[i] = r.reference[i];
    }
    ASSERT_TRUE(r.Analyse(bins));
    double tone = 0.0;
    for (int i = 0; i < kNormalBands; ++i)
        tone = std::max(tone, r.referenceBands[i]);
    // Band 0 (20-22 Hz) holds about 25 bins of noise at 1e-6: the level of that noise and no more.
    const int count = bins[kNormalEdgeBinsOffset] - bins[0];
    const double noiseLevel = 1e-6 * std::sqrt(count * static_cast<double>(kFftLength));
    EXPECT_LT(r.referenceBands[0], 2.0 * noiseLevel);
    EXPECT_LT(20.0 * std::log10(r.referenceBands[0] / tone), -100.0);
}

TEST(RecordingAnalysis, EqualAndScaledInputs) {
    const BandBins bins = ComputeBandBins(48000, kFftLength);
    std::mt19937 rng(3);
    std::normal_distribution<double> noise;
    Recording equal, scaled;
    for (int i = 0; i < kFftLength; ++i) {
        const double x = noise(rng);
        equal.reference[i] = equal.target[i] = x;
        scaled.reference[i] = x;
        scaled.target[i] = 0.5 * x;
    }
    ASSERT_TRUE(equal.Analyse(bins));
    ASSERT_TRUE(scaled.Analyse(bins));
    for (int i = 0; i < kBandCount; ++i) {
        EXPECT_NEAR(equal.targetBands[i], equal.referenceBands[i], 1e-9 * equal.referenceBands[i]) << i;
        EXPECT_NEAR(scaled.targetBands[i], 0.5 * scaled.referenceBands[i], 1e-9 * scaled.referenceBands[i])
            << i;
    }
}

// The two real recordings share one complex transform; each must come out as if transformed alone.
// At every size: the full one, and short ones whose transform takes the other code paths.
TEST(RecordingAnalysis, SharedTransformSeparatesBothSpectra) {
    for (int order : {kFftOrder, 14, 11}) {
        const int n = 1 << order;
        const BandBins bins = ComputeBandBins(44100, n);
        std::mt19937 rng(11);
        std::normal_distribution<double> noise;
        Recording r(order);
        for (int i = 0; i < n; ++i) {
            r.reference[i] = noise(rng);
            r.target[i] = std::sin(0.05 * i) + 0.01 * noise(rng);
        }
        const auto refAlone = LevelsAlone(r.reference, bins, order);
        const auto tgtAlone = LevelsAlone(r.target, bins, order);
        ASSERT_TRUE(r.Analyse(bins));
        for (int i = 0; i < kBandCount; ++i) {
            EXPECT_NEAR(r.referenceBands[i], refAlone[i], 1e-9 * refAlone[i] + 1e-9) << order << " " << i;
            EXPECT_NEAR(r.targetBands[i], tgtAlone[i], 1e-9 * tgtAlone[i] + 1e-9) << order << " " << i;
        }
    }
}

TEST(RecordingAnalysis, EmptyBandIsZero) {
    const double power[4] = {1, 4, 9, 16};
    EXPECT_EQ(BandLevel(power, 2, 2), 0.0);
    EXPECT_EQ(BandLevel(power, 3, 1), 0.0);
    EXPECT_DOUBLE_EQ(BandLevel(power, 0, 4), std::sqrt(30.0));
}
