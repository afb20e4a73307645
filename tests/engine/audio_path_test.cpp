#include "engine/output_player.h"
#include "engine_fixture.h"
#include "support/engine_operations.h"
#include "support/engine_probe.h"
#include "support/known_designs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <numbers>
#include <thread>

namespace {

// A prepared engine at 48 kHz with a flat design in place, or with its first design asked for and
// left waiting (no filter ready).
struct Prepared {
    EngineEffect fx;
    CorrectionEngine& e = fx.engine;
    EventLog log;
    explicit Prepared(bool designed = true) {
        e.SetListener(&log);
        e.SetDesignsDeferred(!designed);
        fx.SetHostRate(48000);
        fx.Reset();
    }
};

// The engine's correction with `targetBands` as the target's measurement, the corrected target heard.
template <class Level> void PlayCorrected(CorrectionEngine& e, Level level) {
    CorrectionSettings c = CorrectionInForce(e);
    for (int i = 0; i < kBandCount; ++i)
        c.targetBands[i] = level(i);
    c.outputSelection = 1.0;
    e.ApplyCorrection(c);
}

void Fill(Stereo& s) {
    for (size_t i = 0; i < s.in0.size(); ++i) {
        s.in0[i] = std::sin(0.01 * i);
        s.in1[i] = 0.25 * std::cos(0.03 * i);
    }
}

} // namespace

// The first block of an engine plays what is selected at once: there is nothing to fade from.
TEST(AudioPath, TargetOutputIsTheRawTargetTimesTheGain) {
    struct Case {
        double inputs, gainPosition, factor;
        int filterReady;
    } cases[] = {{0, 0.5, 1.0, 1}, {0, 0.5, 1.0, 0}, {0, 1.0, 10.0, 1}, {1, 0.0, 0.1, 0}};
    for (const Case& c : cases) {
        Prepared p(c.filterReady == 1);
        ASSERT_EQ(p.e.Snapshot().filterReady, c.filterReady);
        p.e.SetOutputSelection(0.5);
        p.e.SetInputSelection(c.inputs);
        p.e.SetGainPosition(c.gainPosition);
        Stereo s(256);
        Fill(s);
        s.Run(p.e);
        const auto& target = c.inputs == 0 ? s.in1 : s.in0;
        for (int i = 0; i < 256; ++i) {
            if (c.factor == 1.0) {
                ASSERT_EQ(s.out0[i], target[i]);
            }
            ASSERT_NEAR(s.out0[i], target[i] * c.factor, 1e-15);
            ASSERT_EQ(s.out1[i], s.out0[i]);
        }
    }
}

TEST(AudioPath, SilentWithoutAReadyFilter) {
    for (double outputs : {0.0, 1.0}) {
        Prepared p(false);
        p.e.SetOutputSelection(outputs);
        ASSERT_EQ(p.e.Snapshot().filterReady, 0);
        Stereo s(64);
        Fill(s);
        s.Run(p.e);
        for (int i = 0; i < 64; ++i)
            ASSERT_TRUE(s.out0[i] == 0.0 && s.out1[i] == 0.0);
    }
}

// All section gains 0: the signal passes unchanged, the corrected target times its level-match
// gain; the reference output reads the reference channel and the corrected output the target channel.
TEST(AudioPath, FlatCascadePassesTheSelectedChannel) {
    for (double inputs : {0.0, 1.0})
        for (double outputs : {0.0, 1.0}) {
            Prepared p;
            ASSERT_EQ(p.e.Snapshot().filterReady, 1);
            p.e.SetInputSelection(inputs);
            p.e.SetOutputSelection(outputs);
            CorrectionEngineProbe::targetPathGain(p.e) = 0.5; // after the design the selection ran
            Stereo s(128);
            Fill(s);
            s.Run(p.e);
            const bool wantChannel0 = (outputs == 0.0) == (inputs == 0.0);
            const auto& x = wantChannel0 ? s.in0 : s.in1;
            const double gain = outputs == 0.0 ? 1.0 : 0.5;
            for (int i = 0; i < 128; ++i) {
                ASSERT_EQ(s.out0[i], gain * x[i]);
                ASSERT_EQ(s.out1[i], s.out0[i]);
            }
        }
}

// One section with g = 1 at w0: a sine at w0 comes out twice as loud; silence afterwards decays
// to exact zeros rather than subnormal numbers.
TEST(AudioPath, PeakingSectionResponseAndTinyValueFlush) {
    Prepared p;
    p.e.SetOutputSelection(1.0);
    CorrectionEngineProbe::targetPathGain(p.e) = 1.0;
    const double w0 = 2 * std::numbers::pi * 1000 / 48000, alpha = std::sin(w0) / 4.0, g = 1.0;
    for (auto& s : CorrectionEngineProbe::targetPath(p.e))
        s = PeakingSection{};
    CorrectionEngineProbe::targetPath(p.e)[7] = {alpha * g / (1 + alpha), -2 * std::cos(w0) / (1 + alpha),
                                                 (1 - alpha) / (1 + alpha), 0, 0};
    Stereo s(48000);
    for (int i = 0; i < 48000; ++i)
        s.in1[i] = std::sin(w0 * i);
    s.Run(p.e);
    double peak = 0;
    for (int i = 24000; i < 48000; ++i)
        peak = std::max(peak, std::fabs(s.out0[i]));
    EXPECT_NEAR(peak, 2.0, 1e-3);

    Stereo quiet(48000);
    quiet.Run(p.e);
    EXPECT_EQ(quiet.out0.back(), 0.0);
}

// The section count switches with the coefficients: after "Resolution" changes, the sections of the
// previous design keep running alone until the new design is written.
TEST(AudioPath, SectionCountFollowsTheWrittenDesign) {
    Prepared a, b;
    for (Prepared* p : {&a, &b})
        PlayCorrected(p->e, [](int i) { return 1.0 + 0.2 * (i % 7); });
    for (int k = kNormalBands; k < kHighBands; ++k) // stale sections from some earlier design
        CorrectionEngineProbe::correctionCascade(b.e)[k] = {0.5, -1.2, 0.5, 0.0, 0.0};
    b.e.SetDesignsDeferred(true);
    b.e.SetResolution(1.0); // changed, not yet redesigned
    Stereo sa(512), sb(512);
    Fill(sa);
    Fill(sb);
    sa.Run(a.e);
    sb.Run(b.e);
    EXPECT_EQ(sa.out0, sb.out0);
    b.e.DesignCorrection();
    EXPECT_EQ(b.e.Snapshot().cascadeSections, kHighBands);
}

TEST(AudioPath, NonFiniteInputNeverReachesTheOutput) {
    Prepared p;
    PlayCorrected(p.e, [](int i) { return 1.0 + 0.3 * (i % 5); });
    Stereo s(64);
    Fill(s);
    s.in1[10] = NAN;
    s.in1[20] = INFINITY;
    s.Run(p.e);
    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE(std::isfinite(s.out0[i]) && std::isfinite(s.out1[i])) << i;
    Stereo next(64);
    Fill(next);
    next.Run(p.e);
    EXPECT_NE(next.out0[63], 0.0); // the cascade recovered
    for (const auto& sec : p.e.Snapshot().correctionCascade)
        ASSERT_TRUE(std::isfinite(sec.z1) && std::isfinite(sec.z2));

    p.e.SetOutputSelection(0.5);
    CorrectionEngineProbe::gainFactor(p.e) = INFINITY; // no gain position gives it
    s.Run(p.e);
    for (int i = 0; i < 64; ++i)
        ASSERT_TRUE(std::isfinite(s.out0[i]));
}

TEST(AudioPath, MissingChannelsAndEmptyBlocks) {
    Prepared p;
    p.e.SetOutputSelection(0.5);
    std::vector<double> out0(32, 5.0), out1(32, 5.0);
    double* in[2] = {nullptr, nullptr};
    double* out[2] = {out0.data(), out1.data()};
    p.e.ProcessBlock(in, out, 32);
    EXPECT_EQ(out0[31], 0.0);
    EXPECT_EQ(out1[0], 0.0);
    p.e.ProcessBlock(nullptr, out, 32);
    out0.assign(32, 5.0);
    p.e.ProcessBlock(in, out, 0);
    p.e.ProcessBlock(in, out, -3);
    p.e.ProcessBlock(in, nullptr, 32);
    EXPECT_EQ(out0[0], 5.0);
}

TEST(AudioPath, ResetAdoptsTheHostRateAndRedesigns) {
    EngineEffect fx;
    EventLog log;
    fx.engine.SetListener(&log);
    fx.SetHostRate(32000);
    fx.Reset();
    EXPECT_EQ(fx.engine.Snapshot().workingSampleRate, 44056.0);
    EXPECT_EQ(log.designs, 1);
    fx.Reset(); // 44056 differs from 32000: again
    EXPECT_EQ(log.designs, 2);
    fx.SetHostRate(96000);
    fx.Reset();
    EXPECT_EQ(fx.engine.Snapshot().workingSampleRate, 96000.0);
    EXPECT_EQ(log.designs, 3);
    fx.Reset(); // same rate: nothing
    EXPECT_EQ(log.designs, 3);
    fx.SetHostRate(NAN);
    fx.Reset();
    EXPECT_EQ(fx.engine.Snapshot().workingSampleRate, 96000.0);
    EXPECT_EQ(log.designs, 3);
}

// The audio thread keeps processing under the plug-in lock while the editor thread redesigns over
// and over: no deadlock, every block finite, and no block ever silent once a filter was ready.
TEST(AudioPath, DesignsWhileTheAudioThreadRuns) {
    Prepared p;
    PlayCorrected(p.e, [](int i) { return 1.0 + 0.4 * (i % 5); });
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0}, bad{0};
    std::thread audio([&] {
        Stereo s(256);
        Fill(s);
        while (!stop.load()) {
            p.fx.EnterLock();
            s.Run(p.e);
            p.fx.LeaveLock();
            double energy = 0;
            for (double v : s.out0) {
                if (!std::isfinite(v)) ++bad;
                energy += v * v;
            }
            if (energy == 0.0) ++bad;
            ++blocks;
        }
    });
    for (int i = 0; i < 6; ++i) {
        p.e.SetResolution(i % 2);
        p.e.SetOutputSelection(i % 3 == 0 ? 0.0 : 1.0);
    }
    while (blocks.load() < 50)
        std::this_thread::yield();
    stop = true;
    audio.join();
    EXPECT_EQ(bad.load(), 0);
}

// A new design of the same sections for the same input lets the running states carry on, so that a
// redrawn curve changes the sound without restarting the cascade from rest, which rings through its
// narrow sections. A change of resolution starts from rest (other sections, other states).
TEST(AudioPath, RedesignOfTheSameSectionsChangesTheSoundWithoutARestart) {
    Prepared p;
    CorrectionEngine& e = p.e;
    PlayCorrected(e, [](int i) { // ripples of +-8 dB
        return std::pow(10.0, 8.0 * std::sin(3.0 * std::log(TheBandGrid().bandFrequencies[i])) / 20.0);
    });
    long t = 0;
    // Blocks of a 1 kHz tone on the target input; the largest output sample of the last one.
    auto play = [&](int blocks) {
        double peak = 0.0;
        for (int b = 0; b < blocks; ++b) {
            Stereo s(256);
            for (int i = 0; i < 256; ++i, ++t)
                s.in1[i] = 0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * t / 48000.0);
            s.Run(e);
            peak = 0.0;
            for (double v : s.out0)
                peak = std::max(peak, std::fabs(v));
        }
        return peak;
    };
    play(200); // settled
    for (int redraw = 0; redraw < 4; ++redraw) {
        ASSERT_TRUE(e.EditUserCurve([](double* curve) { // half a decibel up, as a drawn curve moves
            for (int i = 0; i < kNormalBands; ++i)
                curve[i] *= 1.06;
        }));
        e.DesignCorrection();
        const double first = play(1);
        const double settled = play(200);
        EXPECT_LT(first, 1.05 * settled) << "redraw " << redraw;
        EXPECT_GT(first, 0.9 * settled) << "redraw " << redraw;
    }
}

namespace {

// An engine at 48 kHz with a measured correction and a calibrated reference, so that both
// filtered paths run cascades; `outputs` and `resolution` designed before the first block.
struct Listening {
    Prepared p;
    long t = 0;
    Listening(double outputs, double resolution) {
        std::array<double, kBandCount> calibration;
        for (int i = 0; i < kBandCount; ++i)
            calibration[i] = std::pow(10.0, 3.0 * std::cos(0.3 * i) / 20.0);
        p.e.SetCalibration(calibration);
        CorrectionSettings c = KnownMeasurement(p.e);
        c.outputSelection = outputs;
        c.resolution = resolution;
        p.e.ApplyCorrection(c);
    }
    // Blocks of 256 frames of two different signals, each design made before the next block; the
    // output of channel 0.
    std::vector<double> Play(int blocks) {
        std::vector<double> out;
        for (int b = 0; b < blocks; ++b) {
            Stereo s(256);
            for (int i = 0; i < 256; ++i, ++t) {
                s.in0[i] = 0.3 * std::sin(2 * std::numbers::pi * 440.0 * t / 48000.0);
                s.in1[i] = 0.2 * std::sin(2 * std::numbers::pi * 523.0 * t / 48000.0 + 0.4);
            }
            s.Run(p.e);
            p.e.DesignIfRequested();
            out.insert(out.end(), s.out0.begin(), s.out0.end());
        }
        return out;
    }
};

} // namespace

// Both filtered paths and the raw target keep running: a switch of "Outputs" is a 20 ms crossfade
// (960 frames), after which the output is bit for bit that of an engine that played the new output
// all along.
TEST(AudioPath, OutputsSwitchFadesBetweenPathsThatKeepRunning) {
    const double pairs[][2] = {{1, 0}, {0, 1}, {1, 0.5}, {0.5, 1}, {0, 0.5}, {0.5, 0}};
    for (const auto& pair : pairs) {
        Listening a(pair[0], 0.0), b(pair[1], 0.0);
        a.Play(40);
        b.Play(40);
        a.p.e.SetDesignsDeferred(true); // made after the first block: the same paths come back
        a.p.e.SetOutputSelection(pair[1]);
        const std::vector<double> switched = a.Play(8), steady = b.Play(8);
        EXPECT_NE(switched[1], steady[1]) << pair[0] << " to " << pair[1] << ": a fade, not a cut";
        for (std::size_t i = 960; i < switched.size(); ++i)
            ASSERT_EQ(switched[i], steady[i]) << pair[0] << " to " << pair[1] << ", frame " << i;
    }
}

// A new resolution's cascades start from rest: the pair in force plays on alone for the 100 ms
// warm-up (4800 frames), then the new pair fades in over 20 ms.
TEST(AudioPath, ACascadeFromRestWarmsUpBeforeItIsHeard) {
    Listening a(1.0, 0.0), stays(1.0, 0.0);
    a.Play(40);
    stays.Play(40);
    a.p.e.SetDesignsDeferred(true);
    a.p.e.SetResolution(1.0);
    const std::vector<double> heard = a.Play(30), old = stays.Play(30);
    // The design is made after the first block; the warm-up counts from the block after it.
    for (std::size_t i = 0; i < 256 + 4800; ++i)
        ASSERT_EQ(heard[i], old[i]) << "frame " << i;
    double apart = 0.0;
    for (std::size_t i = 256 + 4800 + 960 + 256; i < heard.size(); ++i)
        apart = std::max(apart, std::fabs(heard[i] - old[i]));
    EXPECT_GT(apart, 1e-3) << "the high-resolution correction is heard";
    EXPECT_FALSE(CorrectionEngineProbe::outputPlayer(a.p.e).Changing());
}
