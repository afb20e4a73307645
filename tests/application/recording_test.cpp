// Start and the recording it arms, through the editor: the checks, the analysis rate, the progress
// strip, and the analysis that runs from the editor's draw cycle.
#include "app_fixture.h"
#include "support/engine_probe.h"

#include "engine/double_array.h"
#include "graphics/bitmap_control.h"
#include "platform/plugin_lock.h"
#include "plugin/editor_controls.h"
#include "plugin/parameter_table.h"

#include <functional>
#include <random>
#include <string>
#include <vector>

TEST_F(EditorApp, StartWithoutAudioSaysSoAndChangesNothing) {
    ClickCentre(editor_rect::kStart);
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].caption, "Info");
    EXPECT_EQ(messages.entries[0].text,
              "Input sound stream is absent. Make sure that you listen the sound in your "
              "headphones and click this button again.");
    EXPECT_EQ(messages.entries[0].icon, MessageIcon::Information);
    EXPECT_FALSE(Engine().Snapshot().recordingActive);
    EXPECT_EQ(Engine().Snapshot().outputSelection, 0.0);
    EXPECT_TRUE(Controls().progressBar->IsHidden());
}

TEST_F(EditorApp, StartPicksTheAnalysisRateForTheHostRate) {
    // Analysis rate and the bin of 20000 Hz (entry 32 of the bins): trunc(524288 * 20000 / S).
    const struct {
        double hostRate;
        int bin20k;
    } cases[] = {
        {44100.0, 237772}, {48000.0, 218453}, {96000.0, 218453}, {192000.0, 218453}, {88200.0, 237772}};
    for (const auto& k : cases) {
        IMicCorrector* other = new IMicCorrector(CreateHeadlessEditor);
        vst::ProcessSetup setup{vst::kRealtime, vst::kSample64, 512, k.hostRate};
        other->setupProcessing(setup);
        other->DoParameterAction(kParamStart);
        EXPECT_TRUE(other->Engine().Snapshot().recordingActive) << k.hostRate;
        EXPECT_EQ(CorrectionEngineProbe::bandBins(other->Engine())[32], k.bin20k) << k.hostRate;
        EXPECT_EQ(CorrectionEngineProbe::bandBins(other->Engine())[65], k.bin20k) << k.hostRate;
        other->release();
    }
}

TEST_F(EditorApp, StartSwitchesToTheTargetShowsTheStripAndArms) {
    Prepare(48000.0);
    Click(530, 214); // corrected target
    ASSERT_EQ(Engine().Snapshot().filterReady, 1);
    ClickCentre(editor_rect::kStart);
    const MicCorrectorControls& c = Controls();
    EXPECT_TRUE(Engine().Snapshot().recordingActive);
    EXPECT_EQ(Engine().Snapshot().outputSelection, 0.5);
    EXPECT_EQ(Engine().Snapshot().filterReady, 0);
    EXPECT_EQ(c.outputsSelector->Value(), 0.5);
    EXPECT_EQ(Param(kParamOutputs), 0.5);
    EXPECT_FALSE(c.progressBar->IsHidden());
    EXPECT_EQ(c.progressBar->Value(), 0.0);

    // A second Start while recording does nothing at all.
    const double* buffer = CorrectionEngineProbe::recordBuffers(Engine()).reference.get();
    ClickCentre(editor_rect::kStart);
    EXPECT_EQ(CorrectionEngineProbe::recordBuffers(Engine()).reference.get(), buffer);
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(EditorApp, StartOnTheTargetLeavesSelectorAndFilterAlone) {
    Prepare(48000.0);
    Click(530, 197);              // target
    Engine().DesignIfRequested(); // what the selection asked for is in force: a filter is ready
    ASSERT_EQ(Engine().Snapshot().filterReady, 1);
    ClickCentre(editor_rect::kStart);
    EXPECT_TRUE(Engine().Snapshot().recordingActive);
    EXPECT_EQ(Engine().Snapshot().filterReady, 1);
    EXPECT_EQ(Engine().Snapshot().outputSelection, 0.5);
}

TEST_F(EditorApp, ProgressAdvancesWithTheTimerAndTheAnalysisRunsFromTheDraw) {
    Prepare(48000.0);
    ClickCentre(editor_rect::kStart);
    IBitmapControl* bar = Controls().progressBar;
    // One timer tick per 4 blocks (about 40 ms at 48 kHz); the strip's frame follows the steps.
    std::vector<int> frames;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> noise(-0.5, 0.5);
    std::vector<double> left(512), right(512), out0(512), out1(512);
    for (int block = 0; Engine().Snapshot().recordingActive && block < 2000; ++block) {
        for (int i = 0; i < 512; ++i)
            left[i] = right[i] = noise(random);
        double* in[2] = {left.data(), right.data()};
        double* out[2] = {out0.data(), out1.data()};
        {
            PluginLockGuard guard(fx->Lock());
            fx->ProcessBlock(in, out, 512);
        }
        if (block % 4 == 3) {
            editor->Tick();
            if (frames.empty() || frames.back() != bar->FrameForValue())
                frames.push_back(bar->FrameForValue());
        }
    }
    ASSERT_FALSE(Engine().Snapshot().recordingActive);
    // Frames 1..20 are 1-based strip frames for the values 0..1 in steps of 0.05.
    ASSERT_GE(frames.size(), 15u);
    for (std::size_t i = 1; i < frames.size(); ++i)
        EXPECT_GT(frames[i], frames[i - 1]);
    // The last step and the trigger reach the editor in the next ticks; the analysis runs in its draw.
    editor->TickUntilClean();
    EXPECT_EQ(Engine().Snapshot().outputSelection, 1.0);
    EXPECT_EQ(Controls().outputsSelector->Value(), 1.0);
    EXPECT_EQ(Param(kParamOutputs), 1.0);
    EXPECT_TRUE(bar->IsHidden());
    EXPECT_EQ(Controls().analysisTrigger->Value(), 0.0);
    EXPECT_EQ(CorrectionEngineProbe::recordBuffers(Engine()).reference.get(), nullptr);
    EXPECT_EQ(Engine().Snapshot().filterReady, 1);
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(EditorApp, ARecordingThatEndsWithTheWindowClosedIsAnalysedAtTheNextDraw) {
    Prepare(44100.0);
    ClickCentre(editor_rect::kStart);
    editor->DetachWindow();
    PlayUntilRecorded();
    ASSERT_FALSE(Engine().Snapshot().recordingActive);
    EXPECT_EQ(Engine().Snapshot().outputSelection, 0.5); // nothing has drawn, so nothing was analysed
    EXPECT_NE(CorrectionEngineProbe::recordBuffers(Engine()).reference.get(), nullptr);
    editor->AttachToParent(this);
    editor->Tick();
    EXPECT_EQ(Engine().Snapshot().outputSelection, 1.0);
    EXPECT_EQ(CorrectionEngineProbe::recordBuffers(Engine()).reference.get(), nullptr);
    EXPECT_TRUE(Controls().progressBar->IsHidden());
    // The target follows the reference at about half its level: the measured difference says so.
    EXPECT_NEAR(Engine().Snapshot().targetBands[20] / Engine().Snapshot().referenceBands[20], 0.51, 0.05);
}

namespace {

// Records each message together with what the editor showed at that moment, so that its place
// among the editor's reactions is checked as well as its words.
class MessageWitness final : public IMessageService {
  public:
    struct Seen {
        std::string caption, text;
        MessageIcon icon;
        double outputs;
        bool barHidden;
    };
    explicit MessageWitness(const MicCorrectorControls& c)
        : controls(c), previous(InstallMessageService(this)) {}
    ~MessageWitness() override { InstallMessageService(previous); }
    void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
        seen.push_back(
            {caption, text, icon, controls.outputsSelector->Value(), controls.progressBar->IsHidden()});
    }
    std::vector<Seen> seen;

  private:
    const MicCorrectorControls& controls;
    IMessageService* previous;
};

double* NoDoubles(std::size_t) {
    return nullptr;
}

} // namespace

TEST_F(EditorApp, RefusedStartsSaySoAndChangeNothing) {
    const struct {
        const char* what;
        double workingRate; // as the engine holds it; a host rate never leaves it this low
        bool noMemory;
        const char* text;
    } cases[] = {
        {"rate too low", 22050.0, false, "Host's sample rate is too low. Please set it to 44100 or higher."},
        {"no memory", 48000.0, true, "Error_2"},
    };
    for (const auto& k : cases) {
        CorrectionEngineProbe::workingSampleRate(Engine()) = k.workingRate;
        MessageWitness witness(Controls());
        const auto previous = SetDoubleArrayAllocator(k.noMemory ? &NoDoubles : nullptr);
        ClickCentre(editor_rect::kStart);
        SetDoubleArrayAllocator(previous);
        ASSERT_EQ(witness.seen.size(), 1u) << k.what;
        EXPECT_EQ(witness.seen[0].caption, "Info") << k.what;
        EXPECT_EQ(witness.seen[0].text, k.text) << k.what;
        EXPECT_EQ(witness.seen[0].icon, MessageIcon::Information) << k.what;
        EXPECT_FALSE(Engine().Snapshot().recordingActive) << k.what;
        EXPECT_EQ(Controls().outputsSelector->Value(), 0.0) << k.what;
        EXPECT_TRUE(Controls().progressBar->IsHidden()) << k.what;
    }
}

// A measurement that cannot be used, and an analysis without memory: the user reads why while the
// progress bar still shows, and only then does the editor react.
TEST_F(EditorApp, AnalysisMessagesComeBeforeTheEditorReacts) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> noise(-0.5, 0.5);
    const struct {
        const char* what;
        std::function<void(double&, double&)> inputs; // reference, target
        bool noMemory;
        const char* text;
        double outputsAfter;
    } cases[] = {
        {"reference silent",
         [&](double& r, double& t) {
             r = 0.0;
             t = noise(random);
         },
         false,
         "The measurement cannot be used: the reference microphone's input is silent. Check its connection "
         "and gain, then press Start again. The previous correction is kept.",
         1.0},
        {"target silent",
         [&](double& r, double& t) {
             r = noise(random);
             t = 0.0;
         },
         false,
         "The measurement cannot be used: the target microphone's input is silent. Check its connection "
         "and gain, then press Start again. The previous correction is kept.",
         1.0},
        {"nothing in common",
         [&](double& r, double& t) {
             r = noise(random);
             t = noise(random);
         },
         false,
         "The measurement cannot be used: the two inputs have nothing in common. Place both microphones "
         "before the same voice and press Start again. The previous correction is kept.",
         1.0},
        {"no memory for the analysis",
         [&](double& r, double& t) {
             r = noise(random);
             t = 0.5 * r;
         },
         true, "Error_2", 0.5},
    };
    Prepare(48000.0);
    std::vector<double> left(512), right(512), out0(512), out1(512);
    for (const auto& k : cases) {
        ClickCentre(editor_rect::kStart);
        ASSERT_TRUE(Engine().Snapshot().recordingActive) << k.what;
        for (int block = 0; Engine().Snapshot().recordingActive && block < 2000; ++block) {
            for (int i = 0; i < 512; ++i)
                k.inputs(left[i], right[i]);
            double* in[2] = {left.data(), right.data()};
            double* out[2] = {out0.data(), out1.data()};
            PluginLockGuard guard(fx->Lock());
            fx->ProcessBlock(in, out, 512);
        }
        MessageWitness witness(Controls());
        const auto previous = SetDoubleArrayAllocator(k.noMemory ? &NoDoubles : nullptr);
        editor->TickUntilClean();
        SetDoubleArrayAllocator(previous);
        ASSERT_EQ(witness.seen.size(), 1u) << k.what;
        const MessageWitness::Seen& m = witness.seen[0];
        EXPECT_EQ(m.caption, "Info") << k.what;
        EXPECT_EQ(m.text, k.text) << k.what;
        EXPECT_EQ(m.icon, MessageIcon::Information) << k.what;
        EXPECT_EQ(m.outputs, 0.5) << k.what;
        EXPECT_FALSE(m.barHidden) << k.what;
        EXPECT_EQ(Controls().outputsSelector->Value(), k.outputsAfter) << k.what;
        EXPECT_TRUE(Controls().progressBar->IsHidden()) << k.what;
        EXPECT_EQ(CorrectionEngineProbe::recordBuffers(Engine()).reference.get(), nullptr) << k.what;
    }
}
