// The audio thread's part of real-time safety: `process` makes no heap allocation on any path -
// steady blocks of both sample sizes, parameter changes, bypass on and off, preset changes, the
// start and end of a recording, a new design arriving from the editor - runs no design (what a
// block asks for is designed on the worker while the blocks play the correction in force), and its
// output never carries subnormal numbers, also when a loud block is followed by silence.
#include "counting_allocator.h"
#include "support/engine_operations.h"

#include "graphics/headless/headless_graphics.h"
#include "plugin/mic_corrector.h"
#include "plugin/parameter_table.h"
#include "support/host_objects.h"
#include "support/message_recorder.h"
#include "support/module_loader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>
#include <vector>

namespace {

constexpr int kFrames = 256;

bool NormalOrZero(double v) {
    return v == 0.0 || (std::isfinite(v) && std::fabs(v) >= DBL_MIN);
}

class AudioThreadTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::filesystem::create_directories(TV_TEST_DOCUMENTS);
        UseDocumentsFolder(TV_TEST_DOCUMENTS);
    }
    void SetUp() override {
        fx = new IMicCorrector(CreateHeadlessEditor);
        // Counts designs by the thread they run on, and can hold the worker's at their start.
        fx->Engine().SetDesignProbe([this] {
            if (InAudioThreadScope()) ++designsOnAudioThread;
            if (std::this_thread::get_id() != testThread)
                while (holdWorker.load())
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        editor = static_cast<IGraphicsHeadless*>(fx->Editor());
        editor->AttachToParent(this);
        ASSERT_EQ(fx->initialize(nullptr), vst::kResultOk);
        fx->activateBus(vst::kAudio, vst::kInput, 0, 1);
        fx->activateBus(vst::kAudio, vst::kOutput, 0, 1);
        vst::ProcessSetup setup{vst::kRealtime, vst::kSample64, kFrames, 48000.0};
        ASSERT_EQ(fx->setupProcessing(setup), vst::kResultOk);
        fx->setActive(1);
        // A measured, non-flat correction at the corrected output.
        CorrectionEngine& e = fx->Engine();
        CorrectionSettings measured = CorrectionInForce(e);
        for (int k = 0; k < kBandCount; ++k)
            measured.targetBands[k] = 1.0 + 0.4 * std::sin(0.7 * k);
        measured.outputSelection = 1.0;
        e.ApplyCorrection(measured);
        e.DesignIfRequested();
        for (int i = 0; i < kFrames; ++i) {
            in0[i] = 0.5 * std::sin(0.03 * i) + 0.2 * random(generator);
            in1[i] = 0.5 * std::sin(0.07 * i) + 0.2 * random(generator);
        }
    }
    void TearDown() override {
        holdWorker = false;
        EXPECT_EQ(designsOnAudioThread.load(), 0);
        fx->setActive(0);
        fx->terminate();
        editor->DetachWindow();
        fx->release();
    }

    // One block through `process` on this thread marked as the audio thread; the allocations it made.
    long Block(ParameterChanges* changes = nullptr, bool is64 = true) {
        for (int i = 0; i < kFrames; ++i) {
            in0f[i] = static_cast<float>(in0[i]);
            in1f[i] = static_cast<float>(in1[i]);
        }
        double* ins[2] = {in0.data(), in1.data()};
        double* outs[2] = {out0.data(), out1.data()};
        float* insf[2] = {in0f.data(), in1f.data()};
        float* outsf[2] = {out0f.data(), out1f.data()};
        vst::AudioBusBuffers in{}, out{};
        in.numChannels = out.numChannels = 2;
        if (is64) {
            in.channelBuffers64 = ins;
            out.channelBuffers64 = outs;
        } else {
            in.channelBuffers32 = insf;
            out.channelBuffers32 = outsf;
        }
        vst::ProcessData data{};
        data.symbolicSampleSize = is64 ? vst::kSample64 : vst::kSample32;
        data.numSamples = kFrames;
        data.numInputs = data.numOutputs = 1;
        data.inputs = &in;
        data.outputs = &out;
        data.inputParameterChanges = changes;
        ResetAudioThreadAllocations();
        {
            AudioThreadScope audio;
            EXPECT_EQ(fx->process(data), vst::kResultOk);
        }
        return AudioThreadAllocations();
    }
    long BlockWith(vst::ParamID id, double value) {
        ParameterChanges changes;
        changes.Add(id, {{0, value}});
        return Block(&changes);
    }

    // Plays blocks until the design asked for has been installed (at most a few seconds).
    void UntilDesignArrives() {
        for (int i = 0; i < 4000 && fx->Engine().DesignPending(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            Block();
        }
        ASSERT_FALSE(fx->Engine().DesignPending());
    }

    MessageRecorder messages;
    std::atomic<int> designsOnAudioThread{0};
    std::atomic<bool> holdWorker{false};
    const std::thread::id testThread = std::this_thread::get_id();
    IMicCorrector* fx = nullptr;
    IGraphicsHeadless* editor = nullptr;
    std::mt19937 generator{3};
    std::uniform_real_distribution<double> random{-1.0, 1.0};
    std::vector<double> in0 = std::vector<double>(kFrames), in1 = in0, out0 = in0, out1 = in0;
    std::vector<float> in0f = std::vector<float>(kFrames), in1f = in0f, out0f = in0f, out1f = in0f;
};

TEST_F(AudioThreadTest, SteadyBlocksAndEveryParameterChangeAllocateNothing) {
    EXPECT_EQ(Block(), 0);
    EXPECT_EQ(Block(nullptr, false), 0) << "32-bit buffers";
    struct Change {
        vst::ParamID id;
        double value;
    };
    const Change changes[] = {
        {kParamGain, 0.9},
        {kParamInputs, 1.0},
        {kParamOutputs, 0.0},
        {kParamResolution, 1.0},
        {kParamOutputs, 0.5},
        {kParamStart, 1.0},
        {kParamReset, 1.0},
        {kParamDisplay, 0.3},
        {IEffectVST3::kBypassParamId, 1.0},
        {IEffectVST3::kBypassParamId, 0.0},
        {0x7FFFFFFF, 0.5},
        {kParamGain, std::nan("")},
    };
    for (const Change& c : changes) {
        EXPECT_EQ(BlockWith(c.id, c.value), 0) << "parameter " << c.id << " to " << c.value;
        EXPECT_EQ(Block(), 0) << "the block after parameter " << c.id;
    }
}

TEST_F(AudioThreadTest, PresetChangeAllocatesNothing) {
    Block();
    EXPECT_EQ(BlockWith(IEffectVST3::kPresetParamId, 0.0), 0);
    EXPECT_EQ(Block(), 0);
}

// What a block asks for - a preset, "Resolution", "Outputs" - is designed on the worker; until it is
// installed the blocks play the correction in force, and the newest request wins.
TEST_F(AudioThreadTest, DesignsAskedForInProcessArriveFromTheWorker) {
    CorrectionEngine& e = fx->Engine();
    ASSERT_EQ(e.Snapshot().cascadeSections, kNormalBands);
    Block();
    const double playing = e.Snapshot().correctionCascade[5].b;
    holdWorker = true;
    EXPECT_EQ(BlockWith(kParamResolution, 1.0), 0);
    EXPECT_TRUE(e.DesignPending());
    EXPECT_EQ(Block(), 0);
    EXPECT_EQ(e.Snapshot().cascadeSections, kNormalBands) << "the correction in force plays on";
    EXPECT_EQ(e.Snapshot().correctionCascade[5].b, playing);
    EXPECT_EQ(e.Snapshot().filterReady, 1);
    // Newer requests overtake the held one: the last of them is what arrives.
    EXPECT_EQ(BlockWith(kParamOutputs, 0.0), 0);
    EXPECT_EQ(BlockWith(IEffectVST3::kPresetParamId, 0.0), 0); // the preset: normal resolution, reference
    EXPECT_EQ(BlockWith(kParamResolution, 1.0), 0);
    const long started = e.DesignsStarted();
    holdWorker = false;
    UntilDesignArrives();
    EXPECT_EQ(e.Snapshot().cascadeSections, kMaxSections);
    EXPECT_EQ(e.Snapshot().outputSelection, 0.0);
    EXPECT_LE(e.DesignsStarted() - started, 2) << "overtaken designs are dropped, not finished one by one";
    // The same correction as the editor's selector designs.
    const std::array<PeakingSection, kMaxSections> fromHost = e.Snapshot().correctionCascade;
    fx->SetParameterFromUI(kParamResolution, 0.0);
    fx->DoParameterAction(kParamResolution);
    fx->SetParameterFromUI(kParamResolution, 1.0);
    fx->DoParameterAction(kParamResolution);
    for (int k = 0; k < kMaxSections; ++k)
        EXPECT_EQ(e.Snapshot().correctionCascade[k].b, fromHost[k].b) << k;
}

TEST_F(AudioThreadTest, RecordingStartAndEndAllocateNothing) {
    ASSERT_EQ(fx->Engine().StartRecording(), StartOutcome::Started); // the editor's action
    int blocks = 0;
    long made = 0;
    while (fx->Engine().Snapshot().recordingActive && blocks++ < 3000)
        made += Block();
    EXPECT_FALSE(fx->Engine().Snapshot().recordingActive);
    EXPECT_EQ(made, 0) << "over " << blocks << " recording blocks";
    EXPECT_EQ(Block(), 0);
}

TEST_F(AudioThreadTest, NewDesignsArrivingAllocateNothingInProcess) {
    std::thread designer([&] {
        for (int i = 0; i < 6; ++i) {
            fx->Engine().SetResolution(i % 2);
            fx->Engine().ResetUserCurve();
        }
    });
    long made = 0;
    for (int i = 0; i < 200; ++i)
        made += Block();
    designer.join();
    made += Block();
    EXPECT_EQ(made, 0);
}

TEST_F(AudioThreadTest, OutputNeverCarriesSubnormalsAfterLoudBlockAndSilence) {
    struct Case {
        double outputs;    // "Outputs"
        double resolution; // "Resolution"
        double quiet;      // the "silence" that follows: true zeros or a subnormal input
    };
    const Case cases[] = {{1.0, 1.0, 0.0},    {1.0, 0.0, 0.0},    {0.0, 1.0, 0.0},
                          {1.0, 1.0, 1e-310}, {0.5, 0.0, 1e-310}, {0.0, 0.0, 4e-320}};
    for (const Case& c : cases) {
        fx->Engine().SetResolution(c.resolution);
        fx->Engine().SetOutputSelection(c.outputs);
        fx->Engine().DesignIfRequested();
        for (int i = 0; i < kFrames; ++i)
            in0[i] = in1[i] = 0.9 * random(generator);
        Block();
        std::fill(in0.begin(), in0.end(), c.quiet);
        std::fill(in1.begin(), in1.end(), -c.quiet);
        for (int b = 0; b < 400; ++b) {
            Block();
            bool clean = true;
            for (int i = 0; i < kFrames; ++i)
                clean &= NormalOrZero(out0[i]) && NormalOrZero(out1[i]);
            ASSERT_TRUE(clean) << "outputs " << c.outputs << ", resolution " << c.resolution << ", quiet "
                               << c.quiet << ", block " << b;
        }
        for (int k = 0; k < kMaxSections; ++k) {
            const PeakingSection s = fx->Engine().Snapshot().correctionCascade[k];
            ASSERT_TRUE(NormalOrZero(s.z1) && NormalOrZero(s.z2)) << "section " << k;
        }
    }
}

} // namespace
