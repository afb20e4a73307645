// Processing through the binary interface: set-up, parameter queues, bypass, presets, block
// sizes, both sample sizes, and hostile buffers. The module's audio path multiplies every input by
// twice the "Gain" value, so output = input at the default and input / 2 at Gain 0.25.
#include "support/host_block.h"
#include "vst3/host/shared_host.h"

#include <cmath>
#include <limits>
#include <vector>

using namespace vst;

namespace {
constexpr ParamID kPreset = 0x70727374;
constexpr ParamID kBypass = 0x62706173;
constexpr ParamID kGain = 3;

// Host-side buffers for one stereo-in, stereo-out block in either sample size: a ramp on every
// input channel, the outputs at -7 until written.
template <typename Sample> struct Block : HostBlock<Sample> {
    explicit Block(int frames, int inChannels = 2, int outChannels = 2)
        : HostBlock<Sample>(frames, inChannels, outChannels, Sample(-7)) {
        for (std::size_t c = 0; c < this->in.size(); ++c)
            for (int f = 0; f < frames; ++f)
                this->in[c][static_cast<std::size_t>(f)] = Sample(0.001 * (f % 500) + 0.1 * c);
    }
};

struct Prepared {
    explicit Prepared(int32 sampleSize, int32 maxFrames = 4096) : in(SharedHost(), &app) {
        ProcessSetup setup{kRealtime, sampleSize, maxFrames, 48000.0};
        ok = in.processor && in.processor->setupProcessing(setup) == kResultOk &&
             in.component->activateBus(kAudio, kInput, 0, 1) == kResultOk &&
             in.component->activateBus(kAudio, kOutput, 0, 1) == kResultOk &&
             in.component->setActive(1) == kResultOk;
    }
    ~Prepared() {
        if (in.component) in.component->setActive(0);
    }
    TestHostApplication app;
    Instance in;
    bool ok = false;
};

template <typename Sample> void ExpectScaled(const Block<Sample>& b, double factor, int frames) {
    for (std::size_t c = 0; c < b.out.size(); ++c)
        for (int f = 0; f < frames; ++f)
            ASSERT_NEAR(b.out[c][static_cast<std::size_t>(f)], b.in[c][static_cast<std::size_t>(f)] * factor,
                        1e-6)
                << "channel " << c << " frame " << f;
}

// One block of the given sample size with these changes and context; its outputs held to the
// inputs times `factor`.
template <typename Sample>
void ProcessScaled(IAudioProcessor* proc, int frames, double factor, ParameterChanges* changes = nullptr,
                   ProcessContext* context = nullptr) {
    Block<Sample> b(frames);
    b.data.inputParameterChanges = changes;
    b.data.processContext = context;
    ASSERT_EQ(proc->process(b.data), kResultOk);
    ExpectScaled(b, factor, frames);
}
// Blocks of 256 frames, the first carrying a change of the bypass, until the crossfade it starts
// (20 ms: 960 frames at 48 kHz, 1920 at 96 kHz) is over; the blocks after them play the new side
// alone.
void ProcessThroughBypassFade(IAudioProcessor* proc, ParameterChanges* changes) {
    for (int played = 0; played < 4096; played += 256) {
        Block<float> b(256);
        b.data.inputParameterChanges = played == 0 ? changes : nullptr;
        ASSERT_EQ(proc->process(b.data), kResultOk);
    }
}
void ProcessScaled(int32 size, IAudioProcessor* proc, int frames, double factor, ParameterChanges* changes,
                   ProcessContext* context = nullptr) {
    if (size == kSample32)
        ProcessScaled<float>(proc, frames, factor, changes, context);
    else
        ProcessScaled<double>(proc, frames, factor, changes, context);
}
} // namespace

TEST(Processing, SetupRefusesUnknownSampleSizesAndKeepsBypass) {
    REQUIRE_MODULE();
    Prepared p(kSample32);
    ASSERT_TRUE(p.ok);
    ProcessSetup bad{kRealtime, 2, 512, 44100.0};
    EXPECT_EQ(p.in.processor->setupProcessing(bad), kResultFalse);
    ProcessSetup badRate{kRealtime, kSample32, 512, std::numeric_limits<double>::quiet_NaN()};
    EXPECT_EQ(p.in.processor->setupProcessing(badRate), kResultFalse);

    // At gain 0.25 a processed block is halved and a bypassed one copied.
    ParameterChanges on;
    on.Add(kGain, {{0, 0.25}});
    on.Add(kBypass, {{0, 1.0}});
    ASSERT_NO_FATAL_FAILURE(ProcessThroughBypassFade(p.in.processor, &on));
    ProcessScaled<float>(p.in.processor, 16, 1.0);
    EXPECT_DOUBLE_EQ(p.in.controller->getParamNormalized(kBypass), 1.0);
    // A new rate or block size leaves the bypass the host set, with no fade to play again.
    ProcessSetup again{kRealtime, kSample32, 256, 96000.0};
    EXPECT_EQ(p.in.processor->setupProcessing(again), kResultOk);
    ProcessScaled<float>(p.in.processor, 16, 1.0);
    EXPECT_DOUBLE_EQ(p.in.controller->getParamNormalized(kBypass), 1.0);
    ParameterChanges off;
    off.Add(kBypass, {{0, 0.0}});
    ASSERT_NO_FATAL_FAILURE(ProcessThroughBypassFade(p.in.processor, &off));
    ProcessScaled<float>(p.in.processor, 16, 0.5);
}

TEST(Processing, ProjectSavedBypassedStaysBypassedThroughSetup) {
    REQUIRE_MODULE();
    MemoryStream saved;
    {
        Prepared p(kSample32);
        ASSERT_TRUE(p.ok);
        ASSERT_EQ(p.in.controller->setParamNormalized(kBypass, 1.0), kResultOk);
        ASSERT_EQ(p.in.controller->getState(&saved), kResultOk);
    }
    // Reopened as hosts do: state first, then processing set up and started.
    TestHostApplication app;
    Instance in(SharedHost(), &app);
    ASSERT_NE(in.controller, nullptr);
    MemoryStream reopened(saved.data);
    ASSERT_EQ(in.controller->setState(&reopened), kResultOk);
    ProcessSetup setup{kRealtime, kSample32, 512, 48000.0};
    ASSERT_EQ(in.processor->setupProcessing(setup), kResultOk);
    ASSERT_EQ(in.component->activateBus(kAudio, kInput, 0, 1), kResultOk);
    ASSERT_EQ(in.component->activateBus(kAudio, kOutput, 0, 1), kResultOk);
    ASSERT_EQ(in.component->setActive(1), kResultOk);
    ParameterChanges gain;
    gain.Add(kGain, {{0, 0.25}});
    ASSERT_NO_FATAL_FAILURE(ProcessScaled<float>(in.processor, 32, 1.0, &gain));
    in.component->setActive(0);
}

TEST(Processing, BypassSetOnTheControllerWaitsForTheQueue) {
    REQUIRE_MODULE();
    Prepared p(kSample32);
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.in.controller->setParamNormalized(kGain, 0.25), kResultOk);
    ASSERT_EQ(p.in.controller->setParamNormalized(kBypass, 1.0), kResultOk);
    ASSERT_NO_FATAL_FAILURE(ProcessScaled<float>(p.in.processor, 32, 0.5));
    ParameterChanges on;
    on.Add(kBypass, {{0, 1.0}});
    ASSERT_NO_FATAL_FAILURE(ProcessThroughBypassFade(p.in.processor, &on));
    ASSERT_NO_FATAL_FAILURE(ProcessScaled<float>(p.in.processor, 32, 1.0));
}

TEST(Processing, LastQueuePointWinsBeforeTheBlockInBothSampleSizes) {
    REQUIRE_MODULE();
    for (int32 size : {kSample32, kSample64}) {
        Prepared p(size);
        ASSERT_TRUE(p.ok);
        ParameterChanges changes;
        changes.Add(kGain, {{0, 0.2}, {100, 0.25}});
        changes.Add(777, {{0, 0.9}}); // unknown ids are ignored
        changes.Add(kGain + 1, {});   // an empty queue changes nothing
        ASSERT_NO_FATAL_FAILURE(ProcessScaled(size, p.in.processor, 256, 0.5, &changes));
        EXPECT_DOUBLE_EQ(p.in.controller->getParamNormalized(kGain), 0.25);
    }
}

TEST(Processing, BypassThresholdCopiesInputToOutput) {
    REQUIRE_MODULE();
    Prepared p(kSample32);
    ASSERT_TRUE(p.ok);
    ParameterChanges gain;
    gain.Add(kGain, {{0, 0.25}});
    struct Case {
        double value;
        double factor;
    };
    for (const Case& c : {Case{0.5, 0.5}, Case{0.51, 1.0}, Case{0.0, 0.5},
                          Case{std::numeric_limits<double>::quiet_NaN(), 0.5}}) {
        ParameterChanges changes;
        changes.Add(kGain, {{0, 0.25}});
        changes.Add(kBypass, {{0, c.value}});
        ASSERT_NO_FATAL_FAILURE(ProcessThroughBypassFade(p.in.processor, &changes));
        ASSERT_NO_FATAL_FAILURE(ProcessScaled<float>(p.in.processor, 64, c.factor));
    }
}

TEST(Processing, PresetSelectorRestoresOnlyExistingPresets) {
    REQUIRE_MODULE();
    Prepared p(kSample64);
    ASSERT_TRUE(p.ok);
    auto run = [&](ParamID id, double v) {
        ParameterChanges changes;
        changes.Add(id, {{0, v}});
        Block<double> b(8);
        b.data.inputParameterChanges = &changes;
        return p.in.processor->process(b.data);
    };
    run(kGain, 0.1);
    run(kPreset, 1.0); // names an index past the end
    EXPECT_DOUBLE_EQ(p.in.controller->getParamNormalized(kGain), 0.1);
    run(kPreset, 0.99); // preset 0 holds the state the instance was built with
    EXPECT_DOUBLE_EQ(p.in.controller->getParamNormalized(kGain), 0.5);
    run(kGain, 0.1);
    for (double outside : {-4.0, 2.0, 1e300, -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()})
        run(kPreset, outside); // no preset has such an index
    EXPECT_DOUBLE_EQ(p.in.controller->getParamNormalized(kGain), 0.1);
    run(kPreset, -0.5); // the integer part of -0.5 is preset 0
    EXPECT_DOUBLE_EQ(p.in.controller->getParamNormalized(kGain), 0.5);
    run(kGain, std::numeric_limits<double>::infinity());
    EXPECT_DOUBLE_EQ(p.in.controller->getParamNormalized(kGain), 1.0);
    run(kGain, std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(p.in.controller->getParamNormalized(kGain), 1.0);
}

TEST(Processing, BlockSizesFromOneToTheMaximumAndBeyond) {
    REQUIRE_MODULE();
    for (int32 size : {kSample32, kSample64}) {
        Prepared p(size, 4096);
        ASSERT_TRUE(p.ok);
        ProcessContext context{};
        context.tempo = 120.0;
        for (int frames : {1, 2, 3, 31, 64, 1000, 4095, 4096, 6000}) {
            SCOPED_TRACE(frames);
            // 32-bit blocks of odd lengths carry the context, 64-bit ones of even lengths.
            const bool withContext = (frames % 2 != 0) == (size == kSample32);
            ASSERT_NO_FATAL_FAILURE(
                ProcessScaled(size, p.in.processor, frames, 1.0, nullptr, withContext ? &context : nullptr));
        }
    }
}

TEST(Processing, HostileBuffersTouchNothingOutsideWhatTheHostGave) {
    REQUIRE_MODULE();
    Prepared p(kSample32, 512);
    ASSERT_TRUE(p.ok);
    IAudioProcessor* proc = p.in.processor;
    { // zero frames with parameter changes only: changes apply, no buffer is touched
        ParameterChanges changes;
        changes.Add(kGain, {{0, 0.25}});
        Block<float> b(4);
        b.data.numSamples = 0;
        b.data.inputParameterChanges = &changes;
        ASSERT_EQ(proc->process(b.data), kResultOk);
        EXPECT_EQ(b.out[0][0], -7.0f);
        EXPECT_DOUBLE_EQ(p.in.controller->getParamNormalized(kGain), 0.25);
    }
    { // no buses at all
        ProcessData empty{};
        empty.numSamples = 128;
        empty.symbolicSampleSize = kSample32;
        EXPECT_EQ(proc->process(empty), kResultOk);
    }
    { // no input bus: silence in, so silence out
        Block<float> b(64);
        b.data.numInputs = 0;
        b.data.inputs = nullptr;
        ASSERT_EQ(proc->process(b.data), kResultOk);
        for (auto& o : b.out)
            for (float s : o)
                ASSERT_EQ(s, 0.0f);
    }
    { // null channel pointers and a mono host bus where stereo was announced
        Block<float> b(64, 1, 2);
        b.outPtr[1] = nullptr;
        ASSERT_EQ(proc->process(b.data), kResultOk);
        for (int f = 0; f < 64; ++f)
            ASSERT_NEAR(b.out[0][static_cast<std::size_t>(f)], b.in[0][static_cast<std::size_t>(f)] * 0.5,
                        1e-6);
        for (float s : b.out[1])
            ASSERT_EQ(s, -7.0f);
        b.inPtr[0] = nullptr;
        b.data.inputs->channelBuffers32 = nullptr;
        ASSERT_EQ(proc->process(b.data), kResultOk);
        for (float s : b.out[0])
            ASSERT_EQ(s, 0.0f);
    }
    { // an inactive output bus leaves the host's buffers untouched
        ASSERT_EQ(p.in.component->activateBus(kAudio, kOutput, 0, 0), kResultOk);
        Block<float> b(64);
        ASSERT_EQ(proc->process(b.data), kResultOk);
        for (auto& o : b.out)
            for (float s : o)
                ASSERT_EQ(s, -7.0f);
        ASSERT_EQ(p.in.component->activateBus(kAudio, kOutput, 0, 1), kResultOk);
    }
    { // a sample size the set-up never agreed to: buffers are not read or written
        Block<float> b(64);
        b.data.symbolicSampleSize = 9;
        ASSERT_EQ(proc->process(b.data), kResultOk);
        for (float s : b.out[0])
            ASSERT_EQ(s, -7.0f);
    }
    { // more output buses than the plug-in has; the extra bus is left alone
        Block<float> b(32);
        AudioBusBuffers two[2] = {b.outBus, b.outBus};
        std::vector<float> spare(32, -7.0f);
        float* sparePtr[2] = {spare.data(), spare.data()};
        two[1].channelBuffers32 = sparePtr;
        b.data.outputs = two;
        b.data.numOutputs = 2;
        ASSERT_EQ(proc->process(b.data), kResultOk);
        for (float s : spare)
            ASSERT_EQ(s, -7.0f);
    }
}

// Records the plug-in never defined are still listed with a title, hidden and not automatable.
TEST(Processing, UndefinedParametersAreListedHiddenWithATitle) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance in(SharedHost(), &app);
    ASSERT_NE(in.controller, nullptr);
    for (int32 i = 0; i < in.controller->getParameterCount(); ++i) {
        ParameterInfo info{};
        ASSERT_EQ(in.controller->getParameterInfo(i, info), kResultOk);
        SCOPED_TRACE(info.id);
        EXPECT_FALSE(Text16(info.title).empty());
        if (info.id >= 9 && info.id <= 13) {
            EXPECT_EQ(Narrow(info.title), "Parameter " + std::to_string(info.id));
            EXPECT_EQ(info.flags, ParameterInfo::kIsHidden);
        }
    }
}
