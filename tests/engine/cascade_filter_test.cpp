#include "engine/cascade_filter.h"
#include "platform/vector_paths.h"
#include "support/processor_features.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace {

// Peaking sections spread over the audio band with gains from deep cuts to large boosts, as the
// design makes them at 48 kHz.
std::vector<PeakingSection> Cascade(int count) {
    std::vector<PeakingSection> c(count);
    for (int k = 0; k < count; ++k) {
        const double f = 20.0 * std::pow(1000.0, (k + 0.5) / count);
        const double g = k % 5 == 0 ? -0.95 : std::exp(1.5 * std::sin(0.7 * k)) - 1.0;
        const double w0 = 2 * std::numbers::pi * f / 48000.0;
        const double alpha = std::sin(w0) / (0.1 * count * std::sqrt(1.0 + g) + 1.0);
        c[k] = {alpha * g / (1 + alpha), -2 * std::cos(w0) / (1 + alpha), (1 - alpha) / (1 + alpha), 0.0,
                0.0};
    }
    return c;
}

// Noise, then silence with signed zeros and subnormal samples in it.
std::vector<double> Signal(int frames, unsigned seed) {
    std::mt19937 rng(seed);
    // Some blocks (the first on fresh states among them) so quiet that the flush acts.
    const double level = seed % 3 == 1 ? 1e-101 : 1.0;
    std::uniform_real_distribution<double> u(-level, level);
    std::vector<double> x(frames);
    for (int i = 0; i < frames; ++i)
        x[i] = i < frames / 3 ? u(rng) : (i % 7 == 0 ? -0.0 : (i % 11 == 0 ? 4e-320 : 0.0));
    return x;
}

bool SameBits(const void* a, const void* b, size_t bytes) {
    return std::memcmp(a, b, bytes) == 0;
}

class CascadePaths : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (!GetParam() && !WideVectorPathsEnabled()) GTEST_SKIP() << "no AVX2 on this processor";
        ForceBaselineVectorPaths(GetParam());
    }
    void TearDown() override { ForceBaselineVectorPaths(false); }
};

} // namespace

// Block after block the fast form's outputs and section states are the plain form's bits, for
// every section count (including counts that fill no whole vector) and for blocks shorter and
// longer than the cascade.
TEST_P(CascadePaths, GiveThePlainFormsBitsForEveryShapeOfBlock) {
    for (int count : {1, 2, 3, 5, 33, 119, 120}) {
        std::vector<PeakingSection> fast = Cascade(count), plain = Cascade(count);
        unsigned seed = 1;
        for (int frames : {1, 2, 7, 119, 120, 121, 512, 1000, 3}) {
            SCOPED_TRACE(testing::Message() << count << " sections, " << frames << " frames");
            const std::vector<double> x = Signal(frames, seed++);
            std::vector<double> f0(frames, 9.0), f1(frames, 9.0), p0(frames, 9.0), p1(frames, 9.0);
            EXPECT_FALSE(RunCascade(fast.data(), count, x.data(), frames, 0.7, f0.data(), f1.data()));
            EXPECT_FALSE(RunCascadePlain(plain.data(), count, x.data(), frames, 0.7, p0.data(), p1.data()));
            EXPECT_TRUE(SameBits(f0.data(), p0.data(), frames * sizeof(double)));
            EXPECT_TRUE(SameBits(f1.data(), p0.data(), frames * sizeof(double)));
            EXPECT_TRUE(SameBits(fast.data(), plain.data(), count * sizeof(PeakingSection)));
        }
    }
    EXPECT_STREQ(VectorPathName(LastCascadePath()),
                 VectorPathName(GetParam() ? VectorPath::Baseline : VectorPath::Wide));
}

TEST_P(CascadePaths, NullChannelsAndNonFiniteSamplesAsThePlainForm) {
    const int count = 120, frames = 300;
    std::vector<PeakingSection> fast = Cascade(count), plain = Cascade(count);
    std::vector<double> f(frames), p(frames);
    // A missing input is silence; a missing output still advances the states.
    const std::vector<double> x = Signal(frames, 5);
    RunCascade(fast.data(), count, x.data(), frames, 1.0, nullptr, nullptr);
    RunCascadePlain(plain.data(), count, x.data(), frames, 1.0, nullptr, nullptr);
    RunCascade(fast.data(), count, nullptr, frames, 1.0, nullptr, f.data());
    RunCascadePlain(plain.data(), count, nullptr, frames, 1.0, p.data(), nullptr);
    EXPECT_TRUE(SameBits(f.data(), p.data(), frames * sizeof(double)));
    EXPECT_TRUE(SameBits(fast.data(), plain.data(), count * sizeof(PeakingSection)));

    // The states after a poisoned block are cleared by the caller; only the outputs count.
    for (double bad :
         {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(), 1e308}) {
        std::vector<double> y = Signal(frames, 6);
        y[40] = bad;
        const bool fastPoisoned = RunCascade(fast.data(), count, y.data(), frames, 1e10, f.data(), nullptr);
        EXPECT_EQ(fastPoisoned,
                  RunCascadePlain(plain.data(), count, y.data(), frames, 1e10, p.data(), nullptr));
        EXPECT_TRUE(fastPoisoned);
        EXPECT_TRUE(SameBits(f.data(), p.data(), frames * sizeof(double)));
        for (double v : f)
            EXPECT_TRUE(std::isfinite(v));
        fast = plain = Cascade(count);
    }
    // In place, as a host may hand the same buffer for input and output.
    std::vector<double> inPlaceFast = Signal(frames, 7), inPlacePlain = inPlaceFast;
    RunCascade(fast.data(), count, inPlaceFast.data(), frames, 1.0, inPlaceFast.data(), inPlaceFast.data());
    RunCascadePlain(plain.data(), count, inPlacePlain.data(), frames, 1.0, inPlacePlain.data(),
                    inPlacePlain.data());
    EXPECT_TRUE(SameBits(inPlaceFast.data(), inPlacePlain.data(), frames * sizeof(double)));
    EXPECT_FALSE(RunCascade(fast.data(), count, x.data(), 0, 1.0, f.data(), nullptr));
}

INSTANTIATE_TEST_SUITE_P(WideAndBaseline, CascadePaths, ::testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Baseline" : "Wide");
                         });

// The wide wavefront runs exactly where the processor (as CPUID and the system's saved register
// state tell) runs AVX2, and never once the baseline is forced: a path compiled out, or chosen the
// wrong way round, shows here even though both give the same bits.
TEST(CascadePath, TheWideOneRunsExactlyWhereTheProcessorRunsIt) {
    const VectorPath native = ProcessorRunsAvx2() ? VectorPath::Wide : VectorPath::Baseline;
    EXPECT_EQ(WideVectorPathsEnabled(), ProcessorRunsAvx2());
    std::vector<PeakingSection> c = Cascade(33);
    const std::vector<double> x = Signal(256, 2);
    std::vector<double> y(256);
    for (bool forced : {false, true, false}) {
        ForceBaselineVectorPaths(forced);
        RunCascade(c.data(), 33, x.data(), 256, 1.0, y.data(), nullptr);
        EXPECT_STREQ(VectorPathName(LastCascadePath()), VectorPathName(forced ? VectorPath::Baseline : native))
            << (forced ? "baseline forced" : "processor's own choice");
    }
    ForceBaselineVectorPaths(false);
}
