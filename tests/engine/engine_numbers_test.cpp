// The engine's fixed numbers, each pinned where a near miss would otherwise pass: the bands of the
// level match, the standard-rate list behind the interaction terms, the floor of the gains and the
// flush threshold of the audio path.
#include "engine/correction_design.h"
#include "engine/interaction_terms.h"
#include "engine_fixture.h"
#include "support/engine_probe.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

namespace {

std::array<double, kBandCount> Ones() {
    std::array<double, kBandCount> a;
    a.fill(1.0);
    return a;
}

} // namespace

TEST(EngineNumbers, LevelMatchCountsExactlyTheNormalBandsFiveToTwentySeven) {
    // One reference band three times as loud: inside 5..27 it moves the gain to sqrt((22 + 9)/23),
    // outside it changes nothing. Semitone bands never count.
    const double inside = std::sqrt(31.0 / 23.0);
    const std::pair<int, double> cases[] = {{4, 1.0},     {5, inside},  {6, inside}, {16, inside},
                                            {26, inside}, {27, inside}, {28, 1.0},   {32, 1.0},
                                            {33, 1.0},    {60, 1.0},    {152, 1.0}};
    for (auto [band, gain] : cases) {
        auto target = Ones(), reference = Ones();
        reference[band] = 3.0;
        EXPECT_DOUBLE_EQ(LevelMatchGain(target.data(), reference.data()), gain) << "band " << band;
    }
}

TEST(EngineNumbers, StandardRatesAndTheirIndices) {
    const double rates[kStandardRateCount] = {44056, 44100, 47250,  48000,  50000,  50400,
                                              88200, 96000, 176400, 192000, 352800, 384000};
    for (int i = 0; i < kStandardRateCount; ++i) {
        EXPECT_EQ(kStandardRates[i], rates[i]) << i;
        EXPECT_EQ(StandardRateIndex(rates[i]), i) << rates[i];
        EXPECT_EQ(StandardRateIndex(rates[i] - 0.99), i) << rates[i];
        EXPECT_EQ(StandardRateIndex(rates[i] + 0.99), i) << rates[i];
        // One hertz away is no longer that rate (44100 is the fallback, so 44101 shows nothing).
        if (i != 1) {
            EXPECT_EQ(StandardRateIndex(rates[i] + 1.0), 1) << rates[i];
            EXPECT_EQ(StandardRateIndex(rates[i] - 1.0), 1) << rates[i];
        }
    }
    // The terms themselves follow the list rate: 192000 Hz matrices differ from 191000 Hz ones.
    std::array<double, kNormalBands * kNormalBands> terms{};
    ComputeInteractionTerms(9, 0.0, terms.data());
    const double v0 = std::tan(std::numbers::pi * 20.0 / 192000.0),
                 v1 = std::tan(std::numbers::pi * 20.0 * std::pow(1000.0, 1.0 / 32) / 192000.0);
    EXPECT_NEAR(terms[1], 0.25 * std::pow(v1 / v0 - v0 / v1, 2), 1e-12);
}

TEST(EngineNumbers, GainsStopAtTheFloorOfEightyDecibels) {
    // A band whose target is a million times too loud needs 120 dB of cut; its section stops at
    // g = -0.9999 exactly, at either resolution and in either implementation of the pass.
    for (double resolution : {0.0, 1.0}) {
        const int off = resolution == 0.0 ? 0 : kHighOffset;
        const int band = off + 12;
        auto target = Ones(), reference = Ones(), calibration = Ones(), user = Ones();
        target[band] = 1e6;
        const DesignInputs in{48000.0,          resolution,         1.0,        target.data(),
                              reference.data(), calibration.data(), user.data()};
        DesignResult r;
        ComputeCorrection(in, r);
        EXPECT_EQ(r.sectionGain[12], -0.9999) << "resolution " << resolution;
        for (int k = 0; k < r.sections; ++k)
            EXPECT_GE(r.sectionGain[k], -0.9999) << k;
    }
}

TEST(EngineNumbers, FlushTouchesOnlyBandPassValuesBelowTenToTheMinusHundred) {
    // One boosting section at 1 kHz. A tone at 1e-60 is far above the flush threshold: its output is
    // the loud tone's output scaled down, sample for sample, not the unfiltered input.
    const double w0 = 2 * std::numbers::pi * 1000 / 48000, alpha = std::sin(w0) / 4.0;
    const PeakingSection boost{alpha / (1 + alpha), -2 * std::cos(w0) / (1 + alpha),
                               (1 - alpha) / (1 + alpha), 0, 0};
    // Each signal from rest through the one section, on an engine of its own.
    auto play = [&](Stereo& s) {
        EngineEffect fx;
        CorrectionEngine& e = fx.engine;
        fx.SetHostRate(48000);
        fx.Reset();
        e.SetOutputSelection(1.0);
        CorrectionEngineProbe::targetPathGain(e) = 1.0;
        for (auto& sec : CorrectionEngineProbe::targetPath(e))
            sec = PeakingSection{};
        CorrectionEngineProbe::targetPath(e)[0] = boost;
        s.Run(e);
    };
    for (double level : {1e-60, 1e-85}) {
        Stereo loud(4800), quiet(4800);
        for (int i = 0; i < 4800; ++i) {
            loud.in1[i] = std::sin(w0 * i);
            quiet.in1[i] = level * loud.in1[i];
        }
        play(loud);
        play(quiet);
        for (int i = 0; i < 4800; i += 7)
            ASSERT_NEAR(quiet.out0[i] / level, loud.out0[i], 1e-9) << "level " << level << " sample " << i;
    }
}
