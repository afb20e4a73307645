// The product module's own record: the host stores and restores the whole correction, and the
// restored correction is what the audio path then plays.
#include "support/host_block.h"
#include "vst3/host/shared_host.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

using namespace vst;

namespace {
constexpr std::size_t kArraysBytes = 2712;
constexpr std::size_t kRecordBytes = kArraysBytes + 15 * 8;

void PutDouble(std::vector<unsigned char>& record, std::size_t at, double v) {
    std::memcpy(&record[at], &v, 8);
}

// A record with distinct band levels and curve, "Outputs" on the raw target and "Gain" at 0.75.
std::vector<unsigned char> CraftedRecord() {
    std::vector<unsigned char> r(kRecordBytes);
    for (int i = 0; i < 33; ++i) {
        PutDouble(r, 8 * i, 1.0 + 0.01 * i);         // target, normal
        PutDouble(r, 264 + 8 * i, 1.2 - 0.005 * i);  // reference, normal
        PutDouble(r, 2448 + 8 * i, 1.0 + 0.002 * i); // user curve
    }
    for (int i = 0; i < 120; ++i) {
        PutDouble(r, 528 + 8 * i, 0.9 + 0.001 * i);  // target, high
        PutDouble(r, 1488 + 8 * i, 1.1 - 0.001 * i); // reference, high
    }
    const double params[15] = {0.0, 0.5, 0.0, 0.75, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 15; ++i)
        PutDouble(r, kArraysBytes + 8 * i, params[i]);
    return r;
}
} // namespace

TEST(Product, BuildingAnInstanceMakesItsDocumentsFolder) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance in(SharedHost(), &app);
    ASSERT_NE(in.component, nullptr);
#if !defined(_WIN32)
    EXPECT_TRUE(
        std::filesystem::is_directory(std::filesystem::path(TV_TEST_DOCUMENTS) / "Tessivane Vorelline"));
#endif
}

TEST(Product, HostStateCarriesAndRestoresTheWholeCorrection) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance in(SharedHost(), &app);
    // After the record (and the controller's bypass flag) comes the measurement-quality trailer:
    // the tag "TVQX", version, payload size, and a payload of 4 + 8 × (153 + 11) bytes.
    constexpr std::size_t kTrailerBytes = 12 + 4 + 8 * (153 + 11);
    auto recordPart = [](const std::vector<unsigned char>& state) {
        return std::vector<unsigned char>(state.begin(),
                                          state.begin() + std::min(state.size(), kRecordBytes));
    };
    MemoryStream fresh;
    ASSERT_EQ(in.component->getState(&fresh), kResultOk);
    ASSERT_EQ(fresh.data.size(), kRecordBytes + kTrailerBytes);
    EXPECT_EQ(std::memcmp(fresh.data.data() + kRecordBytes, "TVQX", 4), 0);

    // An older project's state: the record alone.
    const std::vector<unsigned char> record = CraftedRecord();
    MemoryStream load(record);
    ASSERT_EQ(in.component->setState(&load), kResultOk);
    MemoryStream saved;
    ASSERT_EQ(in.component->getState(&saved), kResultOk);
    EXPECT_EQ(recordPart(saved.data), record);
    EXPECT_EQ(saved.data.size(), kRecordBytes + kTrailerBytes);
    EXPECT_DOUBLE_EQ(in.controller->getParamNormalized(3), 0.75);
    EXPECT_DOUBLE_EQ(in.controller->getParamNormalized(1), 0.5);

    // The controller's copy travels to a second instance with its bypass tail.
    MemoryStream controller;
    ASSERT_EQ(in.controller->getState(&controller), kResultOk);
    ASSERT_EQ(controller.data.size(), kRecordBytes + 4 + kTrailerBytes);
    Instance other(SharedHost(), &app);
    ASSERT_EQ(other.controller->setState(&controller), kResultOk);
    MemoryStream again;
    ASSERT_EQ(other.component->getState(&again), kResultOk);
    EXPECT_EQ(recordPart(again.data), record);
}

namespace {

// Runs one stereo block through the instance and returns the largest distance of either output
// from the second input times `factor`, from frame `from` on.
template <typename Sample>
double RawTargetBlockError(Instance& in, int frames, double factor, ParameterChanges* changes, int from) {
    HostBlock<Sample> b(frames, 2, 2, Sample(9));
    for (std::size_t c = 0; c < 2; ++c)
        for (int f = 0; f < frames; ++f)
            b.in[c][f] = Sample(float(0.25 * std::sin(0.01 * f + c)));
    b.data.inputParameterChanges = changes;
    if (in.processor->process(b.data) != kResultOk) return 1e9;
    double worst = 0.0;
    for (std::size_t c = 0; c < 2; ++c)
        for (int f = from; f < frames; ++f)
            worst = std::max(worst, std::fabs(double(b.out[c][f]) - double(b.in[1][f]) * factor));
    return worst;
}
double RunRawTargetBlock(Instance& in, int32 size, int frames, double factor,
                         ParameterChanges* changes = nullptr, int from = 0) {
    return size == kSample64 ? RawTargetBlockError<double>(in, frames, factor, changes, from)
                             : RawTargetBlockError<float>(in, frames, factor, changes, from);
}

// An active instance whose restored record plays the raw target at "Gain" 0.75.
struct RawTargetInstance {
    explicit RawTargetInstance(int32 size) : in(SharedHost(), &app) {
        ProcessSetup setup{kRealtime, size, 4096, 48000.0};
        MemoryStream load(CraftedRecord());
        ok = in.processor->setupProcessing(setup) == kResultOk &&
             in.component->activateBus(kAudio, kInput, 0, 1) == kResultOk &&
             in.component->activateBus(kAudio, kOutput, 0, 1) == kResultOk &&
             in.component->setState(&load) == kResultOk && in.component->setActive(1) == kResultOk;
    }
    ~RawTargetInstance() { in.component->setActive(0); }
    TestHostApplication app;
    Instance in;
    bool ok = false;
};

} // namespace

TEST(Product, RestoredRawTargetOutputPlaysInputTwoTimesTheGain) {
    REQUIRE_MODULE();
    const double gain = std::pow(10.0, (0.75 - 0.5) * 2.0);
    for (int32 size : {kSample32, kSample64}) {
        RawTargetInstance raw(size);
        ASSERT_TRUE(raw.ok);
        for (int frames : {1, 7, 512, 4096})
            EXPECT_LT(RunRawTargetBlock(raw.in, size, frames, gain), 1e-5) << frames << " frames";
    }
}

// Automation of "Gain" moves the level over 5 ms (240 frames at 48 kHz), without a zipper, and holds
// it exactly from there on.
TEST(Product, AutomationOfGainActsWithinFiveMilliseconds) {
    REQUIRE_MODULE();
    RawTargetInstance raw(kSample64);
    ASSERT_TRUE(raw.ok);
    ParameterChanges changes;
    changes.Add(3, {{0, 0.25}});
    EXPECT_LT(RunRawTargetBlock(raw.in, kSample64, 256, std::pow(10.0, -0.5), &changes, 240), 1e-12);
    // A controller edit of "Gain" only stores the value; the sound follows on the next automation.
    ASSERT_EQ(raw.in.controller->setParamNormalized(3, 1.0), kResultOk);
    EXPECT_LT(RunRawTargetBlock(raw.in, kSample64, 256, std::pow(10.0, -0.5)), 1e-12);
}

namespace {

// One 64-bit block of 512 frames, a test signal on both inputs or silence; output channel 0.
std::vector<double> PlayBlock(Instance& in, bool signal, ParameterChanges* changes = nullptr) {
    constexpr int kN = 512;
    HostBlock<double> b(kN, 2, 2, 9.0);
    for (int f = 0; signal && f < kN; ++f) {
        b.in[0][f] = 0.3 * std::sin(0.05 * f);
        b.in[1][f] = 0.25 * std::sin(0.011 * f) + 0.1 * std::sin(0.37 * f);
    }
    b.data.processMode = kRealtime;
    b.data.inputParameterChanges = changes;
    EXPECT_EQ(in.processor->process(b.data), kResultOk);
    return b.out[0];
}

double LargestDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double d = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        d = std::max(d, std::fabs(a[i] - b[i]));
    return d;
}

// A change asked for in a block is designed aside; silent blocks keep every filter state at zero
// meanwhile, so the next signal block is heard through the new correction from rest. A design
// takes milliseconds, also in sanitizer builds.
std::vector<double> HeardAfter(Instance& in, vst::ParamID id, double value) {
    ParameterChanges change;
    change.Add(id, {{0, value}});
    PlayBlock(in, false, &change);
    for (int i = 0; i < 50; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        PlayBlock(in, false);
    }
    return PlayBlock(in, true);
}

} // namespace

// "Outputs" and "Resolution" from the host act as the editor's selectors do, and a project saved
// with them plays the same after it is reopened.
TEST(Product, HostChangesOfOutputsAndResolutionAreHeardAndSurviveAReload) {
    REQUIRE_MODULE();
    RawTargetInstance raw(kSample64); // the raw target at normal resolution
    ASSERT_TRUE(raw.ok);
    const std::vector<double> rawTarget = PlayBlock(raw.in, true);
    const std::vector<double> corrected = HeardAfter(raw.in, 1, 1.0);
    EXPECT_GT(LargestDifference(corrected, rawTarget), 1e-3) << "the corrected target is heard";
    const std::vector<double> high = HeardAfter(raw.in, 2, 1.0);
    EXPECT_GT(LargestDifference(high, corrected), 1e-4) << "the high-resolution correction is heard";
    EXPECT_DOUBLE_EQ(raw.in.controller->getParamNormalized(1), 1.0);
    EXPECT_DOUBLE_EQ(raw.in.controller->getParamNormalized(2), 1.0);

    MemoryStream saved;
    ASSERT_EQ(raw.in.component->getState(&saved), kResultOk);
    TestHostApplication app;
    Instance reopened(SharedHost(), &app);
    MemoryStream load(saved.data);
    ProcessSetup setup{kRealtime, kSample64, 4096, 48000.0};
    ASSERT_EQ(reopened.processor->setupProcessing(setup), kResultOk);
    ASSERT_EQ(reopened.component->activateBus(kAudio, kInput, 0, 1), kResultOk);
    ASSERT_EQ(reopened.component->activateBus(kAudio, kOutput, 0, 1), kResultOk);
    ASSERT_EQ(reopened.component->setState(&load), kResultOk);
    ASSERT_EQ(reopened.component->setActive(1), kResultOk);
    EXPECT_LT(LargestDifference(PlayBlock(reopened, true), high), 1e-12) << "after a reload";

    // The controller's edits act too, designed before they return.
    ASSERT_EQ(reopened.controller->setParamNormalized(1, 0.5), kResultOk);
    PlayBlock(reopened, false); // the 20 ms crossfade
    PlayBlock(reopened, false);
    const double gain = std::pow(10.0, (0.75 - 0.5) * 2.0);
    EXPECT_LT(RunRawTargetBlock(reopened, kSample64, 256, gain), 1e-12);
    reopened.component->setActive(0);
}

// A host's slider or automation may stand between two choices of a selection: it plays exactly what
// the choice the editor shows for it plays, the host reads that choice back, and moving within one
// choice (an automation ramp) asks for no redesign, which would restart the filter from rest.
TEST(Product, HostValuesBetweenChoicesPlayTheChoiceTheEditorShows) {
    REQUIRE_MODULE();
    struct Step {
        vst::ParamID id;
        double value;
    };
    struct Case {
        std::vector<Step> between, choice;
        double readBack;
    };
    const Case cases[] = {
        {{{1, 0.4}}, {{1, 0.5}}, 0.5},                                         // the raw target
        {{{1, 0.8}}, {{1, 1.0}}, 1.0},                                         // corrected
        {{{1, 0.2}}, {{1, 0.0}}, 0.0},                                         // the reference
        {{{1, 1.0}, {2, 0.3}}, {{1, 1.0}, {2, 0.0}}, 0.0},                     // 33 bands
        {{{1, 1.0}, {2, 0.6}}, {{1, 1.0}, {2, 1.0}}, 1.0},                     // 120 bands
        {{{1, 1.0}, {1, 0.9}, {1, 0.8}}, {{1, 1.0}, {1, 1.0}, {1, 1.0}}, 1.0}, // a ramp within one choice
    };
    auto play = [](const std::vector<Step>& steps, double* readBack) {
        RawTargetInstance raw(kSample64);
        EXPECT_TRUE(raw.ok);
        std::vector<double> heard;
        for (const Step& s : steps)
            heard = HeardAfter(raw.in, s.id, s.value);
        *readBack = raw.in.controller->getParamNormalized(steps.back().id);
        return heard;
    };
    for (const Case& c : cases) {
        double between = -1.0, choice = -1.0;
        const std::vector<double> a = play(c.between, &between), b = play(c.choice, &choice);
        EXPECT_EQ(LargestDifference(a, b), 0.0) << "case ending with " << c.between.back().value;
        EXPECT_EQ(between, c.readBack);
        EXPECT_EQ(choice, c.readBack);
    }

    // The controller's edits likewise.
    RawTargetInstance raw(kSample64);
    ASSERT_TRUE(raw.ok);
    ASSERT_EQ(raw.in.controller->setParamNormalized(2, 0.6), kResultOk);
    EXPECT_EQ(raw.in.controller->getParamNormalized(2), 1.0);
    ASSERT_EQ(raw.in.controller->setParamNormalized(1, 0.26), kResultOk);
    EXPECT_EQ(raw.in.controller->getParamNormalized(1), 0.5);
}

// An instance released while a design it asked for in `process` is still running leaves no thread
// behind and nothing that calls into it.
TEST(Product, ReleaseWithADesignInFlightIsClean) {
    REQUIRE_MODULE();
#if defined(__linux__)
    auto threads = [] {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
            ++n;
        return n;
    };
    const std::size_t before = threads();
#endif
    for (int i = 0; i < 8; ++i) {
        RawTargetInstance raw(kSample64);
        ASSERT_TRUE(raw.ok);
        ParameterChanges changes;
        changes.Add(2, {{0, 1.0}});
        changes.Add(1, {{0, 1.0}});
        if (i % 2) changes.Add(0x70727374, {{0, 0.0}}); // the preset
        PlayBlock(raw.in, true, &changes);
        if (i % 4 == 3) std::this_thread::sleep_for(std::chrono::microseconds(200 * i));
    }
#if defined(__linux__)
    EXPECT_EQ(threads(), before);
#endif
}
