#include "engine_fixture.h"
#include "support/engine_operations.h"
#include "support/engine_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <random>

namespace {

struct Session {
    EngineEffect fx;
    CorrectionEngine& e = fx.engine;
    EventLog log;
    explicit Session(double rate) {
        e.SetListener(&log);
        if (rate > 0) {
            fx.SetHostRate(rate);
            fx.Reset();
        }
        log.events.clear();
        log.designs = 0;
    }
    // Feeds blocks of the given size until `frames` frames went through.
    void Feed(long frames, int block, const std::function<void(long, double&, double&)>& gen) {
        Stereo s(block);
        for (long done = 0; done < frames;) {
            const int n = static_cast<int>(std::min<long>(block, frames - done));
            s.in0.resize(n);
            s.in1.resize(n);
            s.out0.resize(n);
            s.out1.resize(n);
            for (int i = 0; i < n; ++i)
                gen(done + i, s.in0[i], s.in1[i]);
            s.Run(e);
            done += n;
        }
    }
};

double* FailingAllocator(std::size_t) {
    return nullptr;
}

} // namespace

TEST(RecordingSession, StartNeedsAHostRate) {
    Session s(0);
    s.e.SetOutputSelection(1.0);
    EXPECT_EQ(s.e.StartRecording(), StartOutcome::NoAudioYet);
    EXPECT_EQ(s.log.events, std::vector<std::string>{"notice no audio"});
    EXPECT_EQ(s.e.Snapshot().outputSelection, 1.0);
    EXPECT_EQ(s.e.Snapshot().recordingActive, 0);
    EXPECT_FALSE(CorrectionEngineProbe::recordBuffers(s.e).reference);
}

TEST(RecordingSession, StartPreparesAndArms) {
    Session s(96000);
    s.e.SetOutputSelection(1.0);
    ASSERT_EQ(s.e.Snapshot().filterReady, 1);
    EXPECT_EQ(s.e.StartRecording(), StartOutcome::Started);
    EXPECT_EQ(s.e.Snapshot().outputSelection, 0.5);
    EXPECT_EQ(s.e.Snapshot().filterReady, 0);
    EXPECT_EQ(s.log.events, (std::vector<std::string>{"outputs 0.500000", "progress", "show"}));
    EXPECT_EQ(s.log.progress, std::vector<double>{0.0});
    EXPECT_EQ(CorrectionEngineProbe::bandBins(s.e)[kHighEdgeBinsOffset + 120], 218453);
    ASSERT_TRUE(CorrectionEngineProbe::recordBuffers(s.e).reference &&
                CorrectionEngineProbe::recordBuffers(s.e).target);
    EXPECT_EQ(CorrectionEngineProbe::recordBuffers(s.e).reference.get()[2 * kFftLength - 1], 0.0);
    EXPECT_EQ(s.e.Snapshot().recordingActive, 1);
    EXPECT_EQ(s.e.StartRecording(), StartOutcome::AlreadyRecording);
    EXPECT_EQ(s.log.events.size(), 3u);

    // Start when the target is already heard leaves the selector and the filter alone.
    Session t(44100);
    t.e.SetOutputSelection(0.5);
    EXPECT_EQ(t.e.StartRecording(), StartOutcome::Started);
    EXPECT_EQ(t.e.Snapshot().filterReady, 1);
    EXPECT_EQ(t.log.events, (std::vector<std::string>{"progress", "show"}));
}

TEST(RecordingSession, StartWithoutMemoryChangesNothing) {
    Session s(48000);
    s.e.SetOutputSelection(1.0);
    const auto previous = SetDoubleArrayAllocator(&FailingAllocator);
    EXPECT_EQ(s.e.StartRecording(), StartOutcome::OutOfMemory);
    SetDoubleArrayAllocator(previous);
    EXPECT_EQ(s.log.events, std::vector<std::string>{"notice out of memory"});
    EXPECT_EQ(s.e.Snapshot().outputSelection, 1.0);
    EXPECT_EQ(s.e.Snapshot().filterReady, 1);
    EXPECT_EQ(s.e.Snapshot().recordingActive, 0);
}

// Which input samples are kept at each rate tier, and which channel feeds which buffer.
TEST(RecordingSession, DecimationAndChannelRoles) {
    const std::pair<double, int> tiers[] = {{79999, 1}, {96000, 2}, {192000, 4}, {384000, 8}};
    for (auto [rate, step] : tiers)
        for (double inputs : {0.0, 1.0}) {
            Session s(rate);
            s.e.SetInputSelection(inputs);
            ASSERT_EQ(s.e.StartRecording(), StartOutcome::Started);
            s.Feed(100, 7, [](long i, double& a, double& b) {
                a = static_cast<double>(i + 1);
                b = -static_cast<double>(i + 1);
            });
            const double* ref = CorrectionEngineProbe::recordBuffers(s.e).reference.get();
            const double* tgt = CorrectionEngineProbe::recordBuffers(s.e).target.get();
            const double sign = inputs == 0.0 ? 1.0 : -1.0;
            EXPECT_EQ(s.e.Snapshot().recordPosition, (100 + step - 1) / step) << rate;
            EXPECT_EQ(CorrectionEngineProbe::decimationCounter(s.e), 100);
            for (int k = 0; k < 4; ++k) {
                EXPECT_EQ(ref[k], sign * (1 + k * step)) << rate << " " << k; // 1st, 1+step-th, ...
                EXPECT_EQ(tgt[k], -sign * (1 + k * step)) << rate << " " << k;
            }
        }
}

TEST(RecordingSession, ProgressStepsAndCompletion) {
    Session s(44100);
    ASSERT_EQ(s.e.StartRecording(), StartOutcome::Started);
    s.log.events.clear();
    s.log.progress.clear();
    std::vector<int> reachedAt;
    double last = 0.0;
    Stereo one(1);
    while (CorrectionEngineProbe::recordingActive(s.e)) {
        one.Run(s.e);
        if (CorrectionEngineProbe::recordProgress(s.e) != last) {
            last = CorrectionEngineProbe::recordProgress(s.e);
            reachedAt.push_back(CorrectionEngineProbe::recordPosition(s.e));
        }
        if (CorrectionEngineProbe::recordPosition(s.e) % 50000 == 0)
            s.e.PollRecordingSignals(); // the editor looks in now and then
    }
    ASSERT_EQ(reachedAt.size(), 20u);
    EXPECT_EQ(reachedAt[0], 13108);
    EXPECT_EQ(reachedAt[1], 39322);
    EXPECT_EQ(reachedAt[19], 511181);
    EXPECT_EQ(s.e.Snapshot().recordProgress, 1.0);
    EXPECT_EQ(s.e.Snapshot().recordPosition, kFftLength);

    s.e.PollRecordingSignals();
    s.e.PollRecordingSignals();
    ASSERT_EQ(s.log.progress.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_DOUBLE_EQ(s.log.progress[i], 0.05 * (i + 1));
    EXPECT_EQ(s.log.events.back(), "trigger");
    EXPECT_EQ(std::count(s.log.events.begin(), s.log.events.end(), "trigger"), 1);
    EXPECT_EQ(s.log.trigger, 0.55555555);
}

TEST(RecordingSession, BuffersFillingMidBlockStopTheRecordingOnly) {
    Session s(48000);
    s.e.SetOutputSelection(0.5);
    ASSERT_EQ(s.e.StartRecording(), StartOutcome::Started);
    s.Feed(kFftLength - 10, 4096, [](long, double& a, double& b) { a = b = 0.1; });
    Stereo s2(100);
    for (int i = 0; i < 100; ++i)
        s2.in1[i] = i;
    s2.Run(s.e);
    EXPECT_EQ(s.e.Snapshot().recordingActive, 0);
    EXPECT_EQ(s.e.Snapshot().recordPosition, kFftLength);
    EXPECT_EQ(CorrectionEngineProbe::decimationCounter(s.e), kFftLength);
    EXPECT_EQ(CorrectionEngineProbe::recordBuffers(s.e).target.get()[kFftLength - 1], 9.0);
    EXPECT_EQ(CorrectionEngineProbe::recordBuffers(s.e).target.get()[kFftLength], 0.0);
    EXPECT_EQ(s2.out0, s2.in1);
}

// Record noise on the reference and half of it on the target, with a calibration of 2.0: after
// the calibration division both microphones read the same, so the correction is flat.
TEST(RecordingSession, AnalysisEndToEnd) {
    Session s(48000);
    std::array<double, kBandCount> calibration;
    calibration.fill(2.0);
    s.e.SetCalibration(calibration); // asks for a design, which the analysis's design answers
    s.e.RunAnalysis();               // no recording: nothing
    EXPECT_EQ(s.log.designs, 0);
    ASSERT_EQ(s.e.StartRecording(), StartOutcome::Started);
    std::mt19937 rng(1);
    std::normal_distribution<double> noise;
    s.Feed(kFftLength / 2, 4096, [&](long, double& a, double& b) {
        a = noise(rng);
        b = 0.5 * a;
    });
    s.e.RunAnalysis(); // recording not complete: nothing
    EXPECT_EQ(s.log.designs, 0);
    s.Feed(kFftLength / 2, 4096, [&](long, double& a, double& b) {
        a = noise(rng);
        b = 0.5 * a;
    });
    s.e.PollRecordingSignals();
    s.log.events.clear();
    s.e.RunAnalysis();
    EXPECT_EQ(s.log.events, (std::vector<std::string>{"outputs 1.000000", "hide"}));
    EXPECT_EQ(s.log.designs, 1);
    EXPECT_EQ(s.e.Snapshot().outputSelection, 1.0);
    EXPECT_FALSE(CorrectionEngineProbe::recordBuffers(s.e).reference);
    EXPECT_FALSE(CorrectionEngineProbe::recordBuffers(s.e).target);
    EXPECT_EQ(s.e.Snapshot().recordPosition, 0);
    for (int i = 0; i < kBandCount; ++i) {
        EXPECT_GT(s.e.Snapshot().referenceBands[i], 0.0);
        EXPECT_NEAR(s.e.Snapshot().targetBands[i], s.e.Snapshot().referenceBands[i],
                    1e-9 * s.e.Snapshot().referenceBands[i])
            << i;
    }
    EXPECT_NEAR(s.e.Snapshot().levelMatchGain, 1.0, 1e-9);
    EXPECT_EQ(s.e.Snapshot().filterReady, 1);
    // Fully coherent: the measurement is trusted everywhere and the wanted response is flat.
    EXPECT_TRUE(s.e.Snapshot().quality.known);
    for (int i = 0; i < kBandCount; ++i) {
        EXPECT_GT(s.e.Snapshot().quality.coherence[i], 0.999) << i;
        EXPECT_NEAR(s.e.Snapshot().userCurve[i], 1.0, 1e-9) << i;
    }
    s.e.RunAnalysis(); // a second trigger finds nothing to do
    EXPECT_EQ(s.log.designs, 1);
}

TEST(RecordingSession, AnalysisWithoutTablesIsAbandoned) {
    Session s(44100);
    ASSERT_EQ(s.e.StartRecording(), StartOutcome::Started);
    s.Feed(kFftLength, 8192, [](long i, double& a, double& b) { a = b = (i % 7) * 0.1; });
    const auto before = s.e.Snapshot().targetBands;
    s.log.events.clear();
    const auto previous = SetDoubleArrayAllocator(&FailingAllocator);
    s.e.RunAnalysis();
    SetDoubleArrayAllocator(previous);
    // The user is told before the progress bar goes.
    EXPECT_EQ(s.log.events, (std::vector<std::string>{"notice out of memory", "hide"}));
    EXPECT_FALSE(CorrectionEngineProbe::recordBuffers(s.e).reference);
    EXPECT_EQ(s.e.Snapshot().targetBands, before);
    EXPECT_EQ(s.log.designs, 0);
    EXPECT_EQ(s.e.StartRecording(), StartOutcome::Started); // the user can measure again
}

namespace {

// Records 2^19 frames of the two generated inputs and runs the analysis.
void Measure(Session& s, const std::function<void(long, double&, double&)>& gen) {
    ASSERT_EQ(s.e.StartRecording(), StartOutcome::Started);
    s.Feed(kFftLength, 8192, gen);
    s.e.PollRecordingSignals();
    s.e.RunAnalysis();
}

} // namespace

// A drawn curve gives way to the new measurement's protected one. The target is the reference
// with as much noise of its own above 2 kHz: there the difference the analysis reads is noise, so
// the wanted response follows it and nothing is corrected; Reset then gives the exact correction.
TEST(RecordingSession, NewMeasurementStartsAProtectedWantedResponse) {
    Session s(48000);
    CorrectionSettings drawn = CorrectionInForce(s.e); // drawn before the measurement
    drawn.userCurve.fill(3.0);
    s.e.ApplyCorrection(drawn);
    std::mt19937 rng(2);
    std::normal_distribution<double> noise;
    double hp = 0.0, prev = 0.0;
    Measure(s, [&](long, double& a, double& b) {
        a = noise(rng);
        // A one-pole high-pass of independent noise: strong from a few kHz up.
        const double w = 3.0 * noise(rng);
        hp = 0.6 * (hp + w - prev);
        prev = w;
        b = a + hp;
    });
    ASSERT_TRUE(s.e.Snapshot().quality.known);
    EXPECT_GT(s.e.Snapshot().quality.coherence[10], 0.95);              // 150 Hz
    EXPECT_LT(s.e.Snapshot().quality.coherence[kNormalBands - 1], 0.3); // 20 kHz
    for (int k = 0; k < kNormalBands; ++k) {
        const double measuredDb = 20 * std::log10(s.e.Snapshot().curveMeasured[k]);
        const double wantedDb = 20 * std::log10(s.e.Snapshot().userCurve[k]);
        const double resultDb = 20 * std::log10(s.e.Snapshot().curveResult[k]);
        EXPECT_NEAR(resultDb, wantedDb, 0.01) << k; // the design follows the wanted response
        if (s.e.Snapshot().quality.coherence[k] >= s.e.Snapshot().protection.fullCoherence) {
            EXPECT_NEAR(wantedDb, 0.0, 1e-9) << k;
        }
        if (s.e.Snapshot().quality.coherence[k] <= s.e.Snapshot().protection.noCoherence) {
            EXPECT_NEAR(wantedDb, measuredDb, 1e-9) << k;
        }
    }
    s.e.ResetUserCurve();
    for (int k = 0; k < kNormalBands; ++k)
        EXPECT_NEAR(s.e.Snapshot().curveResult[k], 1.0, 0.002) << k;
}

// A silent input: the user is told, and the previous measurement, curve and correction stay.
TEST(RecordingSession, UnusableMeasurementKeepsThePreviousOne) {
    Session s(48000);
    std::mt19937 rng(3);
    std::normal_distribution<double> noise;
    Measure(s, [&](long, double& a, double& b) {
        a = noise(rng);
        b = 0.25 * a;
    });
    const auto told = [](const std::string& e) {
        return e.rfind("notice", 0) == 0 || e.rfind("rejected", 0) == 0;
    };
    ASSERT_TRUE(std::none_of(s.log.events.begin(), s.log.events.end(), told));
    ASSERT_TRUE(s.e.EditUserCurve([](double* curve) { curve[4] = 2.0; }));
    const auto target = s.e.Snapshot().targetBands, curve = s.e.Snapshot().userCurve;
    const auto coherence = s.e.Snapshot().quality.coherence;
    s.log.events.clear();
    Measure(s, [&](long, double& a, double& b) {
        a = noise(rng);
        b = 0.0;
    });
    ASSERT_EQ(std::count_if(s.log.events.begin(), s.log.events.end(), told), 1);
    // The user is told first; then the corrected target returns and the progress bar goes.
    const std::vector<std::string> last(s.log.events.end() - 3, s.log.events.end());
    EXPECT_EQ(last, (std::vector<std::string>{"rejected target silent", "outputs 1.000000", "hide"}));
    EXPECT_EQ(s.e.Snapshot().targetBands, target);
    EXPECT_EQ(s.e.Snapshot().userCurve, curve);
    EXPECT_EQ(s.e.Snapshot().quality.coherence, coherence);
    EXPECT_EQ(s.e.Snapshot().outputSelection, 1.0);
    EXPECT_FALSE(CorrectionEngineProbe::recordBuffers(s.e).reference);
    EXPECT_EQ(s.e.StartRecording(), StartOutcome::Started);
}
