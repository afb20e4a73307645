// A/B listening as a host drives it: every switch of what plays - each direction of "Outputs",
// "Inputs", "Resolution", "Gain", the host's bypass, a preset and a restored state - gives way from one
// running signal to the next without a click, whether the change comes at a block's start or in its middle.
#include "support/switch_listening.h"
#include "vst3/host/shared_host.h"

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace vst;
using namespace switch_listening;

namespace {

constexpr long kWindow = 12000; // the switch stretch: warm-up, both fades and a block to spare
constexpr long kSteady = 7200;  // the steady stretches before and after it
constexpr ParamID kPresetParam = 0x70727374;
constexpr ParamID kBypassParam = 0x62706173;

// An instance at 48 kHz playing the raw target of the correction above: offline, each design is
// made before the next block; in real time the engine's worker makes it meanwhile.
struct Listener {
    explicit Listener(int32 mode) : in(SharedHost(), &app) {
        ProcessSetup setup{mode, kSample64, 4096, kRate};
        MemoryStream load(CorrectionRecord(0.5, 0.0));
        ok = in.processor->setupProcessing(setup) == kResultOk &&
             in.component->activateBus(kAudio, kInput, 0, 1) == kResultOk &&
             in.component->activateBus(kAudio, kOutput, 0, 1) == kResultOk &&
             in.component->setState(&load) == kResultOk && in.component->setActive(1) == kResultOk;
    }
    ~Listener() { in.component->setActive(0); }
    TestHostApplication app;
    Instance in;
    bool ok = false;
};

struct Step {
    const char* what;
    std::vector<Change> changes; // from the host's queue
    bool restoreState = false;   // the host restores a project's state before the block instead
};

const std::vector<Step>& Steps() {
    static const std::vector<Step> steps = {
        {"Target to Corrected", {{1, 1.0}}},
        {"Corrected to Reference", {{1, 0.0}}},
        {"Reference to Target", {{1, 0.5}}},
        {"Target to Reference", {{1, 0.0}}},
        {"Reference to Corrected", {{1, 1.0}}},
        {"Corrected to Target", {{1, 0.5}}},
        {"Gain up", {{3, 0.8}}},
        {"Gain down", {{3, 0.3}}},
        // From the quieter raw target to the reference as it comes in: different signals, and the
        // corrected target would sound like the reference.
        {"Bypass on (the input passed through)", {{kBypassParam, 1.0}}},
        {"Bypass off", {{kBypassParam, 0.0}}},
        {"Target to Corrected again", {{1, 1.0}}},
        {"Inputs swapped", {{0, 1.0}}},
        {"Inputs back", {{0, 0.0}}},
        {"Normal to High resolution", {{2, 1.0}}},
        {"High to Normal resolution", {{2, 0.0}}},
        {"Bypass on from the corrected target", {{kBypassParam, 1.0}}},
        {"Bypass off to the corrected target", {{kBypassParam, 0.0}}},
        {"the default preset", {{kPresetParam, 0.0}}},
        {"a restored state", {}, true},
    };
    return steps;
}

// Plays every step on one instance; the output, and the frame at which each step's block starts.
// In real time the host's clock runs on for 60 ms after the block that carries a change, time
// enough for the worker's design.
bool PlaySteps(int block, Signal signal, std::vector<double>& output, std::vector<long>& starts,
               int32 mode = kOffline) {
    Listener l(mode);
    if (!l.ok) return false;
    Session s(l.in.processor, block, signal, mode);
    bool ok = s.Play(kSteady);
    for (std::size_t k = 0; k < Steps().size(); ++k) {
        const Step& step = Steps()[k];
        if (step.restoreState) {
            MemoryStream load(CorrectionRecord(1.0, 1.0));
            ok = ok && l.in.component->setState(&load) == kResultOk;
        }
        starts.push_back(s.Position());
        // Every other change arrives in the middle of its block.
        const int offset = k % 2 ? block / 2 : 0;
        if (mode == kRealtime) {
            ok = ok && s.Play(block, step.changes, offset);
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            ok = ok && s.Play(kWindow + kSteady - block);
        } else {
            ok = ok && s.Play(kWindow + kSteady, step.changes, offset);
        }
    }
    output = s.output;
    return ok;
}

} // namespace

TEST(ABListening, EverySwitchGivesWayWithoutAClick) {
    REQUIRE_MODULE();
    for (int block : {256, 1024})
        for (Signal signal : {Signal::Tone, Signal::Vowel}) {
            std::vector<double> out;
            std::vector<long> starts;
            ASSERT_TRUE(PlaySteps(block, signal, out, starts));
            for (std::size_t k = 0; k < starts.size(); ++k) {
                const SwitchFigures f = Judge(out, starts[k], kWindow, kSteady);
                const std::string where = std::string(Steps()[k].what) + ", " + SignalName(signal) +
                                          ", blocks of " + std::to_string(block);
                EXPECT_LE(f.peakRatio, 1.05) << where;
                EXPECT_LE(f.stepRatio, 1.5) << where;
            }
        }
}

// The same switches in real time, where the designs they ask for come from the engine's worker
// between blocks.
TEST(ABListening, SwitchesInRealTimeGiveWayWithoutAClick) {
    REQUIRE_MODULE();
    for (Signal signal : {Signal::Tone, Signal::Vowel}) {
        std::vector<double> out;
        std::vector<long> starts;
        ASSERT_TRUE(PlaySteps(512, signal, out, starts, kRealtime));
        for (std::size_t k = 0; k < starts.size(); ++k) {
            const SwitchFigures f = Judge(out, starts[k], kWindow, kSteady);
            const std::string where =
                std::string(Steps()[k].what) + ", " + SignalName(signal) + ", real time";
            EXPECT_LE(f.peakRatio, 1.05) << where;
            EXPECT_LE(f.stepRatio, 1.5) << where;
        }
    }
}

// An offline render is the same bits every time: the same input and the same automation.
TEST(ABListening, OfflineRendersAreTheSameEveryTime) {
    REQUIRE_MODULE();
    std::vector<double> first, second;
    std::vector<long> starts;
    ASSERT_TRUE(PlaySteps(1024, Signal::Vowel, first, starts));
    ASSERT_TRUE(PlaySteps(1024, Signal::Vowel, second, starts));
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(std::memcmp(first.data(), second.data(), first.size() * sizeof(double)), 0);
}
