// The product module's own record: the host stores and restores the whole correction, and the
// restored correction is what the audio path then plays.
#include "vst3/host/shared_host.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
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
    MemoryStream fresh;
    ASSERT_EQ(in.component->getState(&fresh), kResultOk);
    ASSERT_EQ(fresh.data.size(), kRecordBytes);

    const std::vector<unsigned char> record = CraftedRecord();
    MemoryStream load(record);
    ASSERT_EQ(in.component->setState(&load), kResultOk);
    MemoryStream saved;
    ASSERT_EQ(in.component->getState(&saved), kResultOk);
    EXPECT_EQ(saved.data, record);
    EXPECT_DOUBLE_EQ(in.controller->getParamNormalized(3), 0.75);
    EXPECT_DOUBLE_EQ(in.controller->getParamNormalized(1), 0.5);

    // The controller's copy travels to a second instance with its bypass tail.
    MemoryStream controller;
    ASSERT_EQ(in.controller->getState(&controller), kResultOk);
    ASSERT_EQ(controller.data.size(), kRecordBytes + 4);
    Instance other(SharedHost(), &app);
    ASSERT_EQ(other.controller->setState(&controller), kResultOk);
    MemoryStream again;
    ASSERT_EQ(other.component->getState(&again), kResultOk);
    EXPECT_EQ(again.data, record);
}

namespace {

// Runs one stereo block through the instance and returns the largest distance of either output
// from the second input times `factor`.
double RunRawTargetBlock(Instance& in, int32 size, int frames, double factor,
                         ParameterChanges* changes = nullptr) {
    std::vector<double> in64[2], out64[2];
    std::vector<float> in32[2], out32[2];
    void* inPtr[2];
    void* outPtr[2];
    for (int c = 0; c < 2; ++c) {
        in64[c].resize(frames);
        in32[c].resize(frames);
        for (int f = 0; f < frames; ++f)
            in64[c][f] = in32[c][f] = float(0.25 * std::sin(0.01 * f + c));
        out64[c].assign(frames, 9.0);
        out32[c].assign(frames, 9.0f);
        inPtr[c] = size == kSample64 ? static_cast<void*>(in64[c].data()) : in32[c].data();
        outPtr[c] = size == kSample64 ? static_cast<void*>(out64[c].data()) : out32[c].data();
    }
    AudioBusBuffers inBus{}, outBus{};
    inBus.numChannels = outBus.numChannels = 2;
    inBus.channelBuffers32 = reinterpret_cast<Sample32**>(inPtr);
    outBus.channelBuffers32 = reinterpret_cast<Sample32**>(outPtr);
    ProcessData data{};
    data.symbolicSampleSize = size;
    data.numSamples = frames;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
    data.inputParameterChanges = changes;
    if (in.processor->process(data) != kResultOk) return 1e9;
    double worst = 0.0;
    for (int c = 0; c < 2; ++c)
        for (int f = 0; f < frames; ++f) {
            const double got = size == kSample64 ? out64[c][f] : out32[c][f];
            worst = std::max(worst, std::fabs(got - in64[1][f] * factor));
        }
    return worst;
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

TEST(Product, AutomationOfGainActsAtOnceWhileOutputsOnlyStoresItsValue) {
    REQUIRE_MODULE();
    RawTargetInstance raw(kSample64);
    ASSERT_TRUE(raw.ok);
    ParameterChanges changes;
    changes.Add(3, {{0, 0.25}});
    changes.Add(1, {{0, 0.0}}); // host automation of "Outputs" does not switch the output
    EXPECT_LT(RunRawTargetBlock(raw.in, kSample64, 256, std::pow(10.0, -0.5), &changes), 1e-12);
    EXPECT_DOUBLE_EQ(raw.in.controller->getParamNormalized(1), 0.0);
    // A controller edit of "Gain" only stores the value; the sound follows on the next automation.
    ASSERT_EQ(raw.in.controller->setParamNormalized(3, 1.0), kResultOk);
    EXPECT_LT(RunRawTargetBlock(raw.in, kSample64, 256, std::pow(10.0, -0.5)), 1e-12);
}
