// Three threads on one plug-in instance, as hosts drive it, and the instance's design worker: the
// audio thread runs `process` with parameter changes (bypass, presets, "Gain", "Outputs",
// "Resolution", whose designs go to the worker), the editor thread runs the draw cycle, designs
// through the editor's actions, draws on the response display, records and saves and loads
// correction files, and a third thread gets and sets the host state and edits parameters (the
// selections among them, which redesign) through the controller. At the end instances are
// released with designs still in flight. Meant for a ThreadSanitizer build; without one it is a
// smoke test that the instance survives and its output stays finite.
//
// Usage: plugin_stress [iterations]   (editor and host-thread rounds; the audio thread runs on
// until both are done, and at least long enough for one complete recording).
#include "graphics/headless/headless_graphics.h"
#include "platform/message_service.h"
#include "platform/user_dialogs.h"
#include "plugin/editor_layout.h"
#include "plugin/mic_corrector.h"
#include "plugin/parameter_table.h"
#include "support/engine_operations.h"
#include "support/host_block.h"
#include "support/host_objects.h"
#include "support/module_loader.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

class QuietMessages final : public IMessageService {
  public:
    void ShowMessage(const std::string&, const std::string&, MessageIcon) override { ++count; }
    std::atomic<int> count{0};
};

// Save and Load always choose the same file.
class FixedFileDialogs final : public IUserDialogs {
  public:
    explicit FixedFileDialogs(std::string p) : path(std::move(p)) {}
    std::optional<std::string> ChooseFile(const FileDialogRequest&) override { return path; }
    int OpenWithShell(const std::string&) override { return kShellOpened; }

  private:
    std::string path;
};

constexpr int kFrames = 512;
// A recording is 2^19 samples: this many blocks at 48 kHz complete one.
constexpr int kBlocksPerRecording = (1 << 19) / kFrames + 1;

std::atomic<bool> failed{false};

void Fail(const char* what) {
    std::fprintf(stderr, "plugin_stress: %s\n", what);
    failed = true;
}

void AudioThread(IMicCorrector* fx, const std::atomic<int>& othersRunning, long& blocks) {
    std::mt19937 random(1);
    std::uniform_real_distribution<double> noise(-0.5, 0.5);
    HostBlock<double> block(kFrames);
    block.data.processMode = vst::kRealtime;
    std::vector<double>& in0 = block.in[0];
    std::vector<double>& in1 = block.in[1];
    for (blocks = 0; othersRunning.load() > 0 || blocks < kBlocksPerRecording; ++blocks) {
        for (int i = 0; i < kFrames; ++i) {
            in0[i] = noise(random);
            in1[i] = 0.5 * in0[i] + 0.1 * noise(random);
        }
        ParameterChanges changes;
        switch (blocks % 97) {
        case 10:
            changes.Add(IEffectVST3::kBypassParamId, {{0, 1.0}});
            break;
        case 20:
            changes.Add(IEffectVST3::kBypassParamId, {{0, 0.0}});
            break;
        case 30:
            changes.Add(kParamGain, {{0, 0.3}, {100, 0.8}});
            break;
        case 40:
            changes.Add(IEffectVST3::kPresetParamId, {{0, 0.0}});
            break;
        case 50:
            changes.Add(kParamOutputs, {{0, 1.0}});
            break;
        case 60:
        case 61:
            changes.Add(kParamResolution, {{0, blocks % 2 ? 1.0 : 0.0}});
            break;
        case 70:
            changes.Add(kParamOutputs, {{0, 0.0}});
            changes.Add(IEffectVST3::kPresetParamId, {{0, 0.0}});
            break;
        default:
            break;
        }
        block.data.inputParameterChanges = &changes;
        if (fx->process(block.data) != vst::kResultOk) Fail("process failed");
        // Both channels carry the one output signal, except while bypassed (each input passes).
        for (int i = 0; i < kFrames && !failed; ++i)
            if (!std::isfinite(block.out[0][i]) || !std::isfinite(block.out[1][i])) Fail("output not finite");
    }
}

void EditorThread(IMicCorrector* fx, IGraphicsHeadless* editor, int iterations, std::atomic<int>& running) {
    const IPixelRect& d = editor_rect::kDisplay;
    IMouseMods left;
    left.left = true;
    for (int it = 0; it < iterations; ++it) {
        editor->Tick();
        switch (it % 8) {
        case 0: // a redrawn curve: the release designs
            editor->MouseDown(d.left + 40, d.top + 60 + it % 50, left);
            editor->MouseDrag(d.left + 200, d.top + 120, left);
            editor->MouseDrag(d.left + 380, d.top + 90, left);
            editor->MouseUp(d.left + 380, d.top + 90, left);
            break;
        case 1:
            fx->SetParameterFromUI(kParamResolution, (it / 8) % 2 ? 1.0 : 0.0);
            fx->DoParameterAction(kParamResolution);
            break;
        case 2:
            fx->DoParameterAction(kParamSave);
            break;
        case 3:
            fx->DoParameterAction(kParamLoad);
            break;
        case 4:
            fx->DoParameterAction(kParamStart);
            break;
        case 5:
            fx->DoParameterAction(kParamReset);
            break;
        case 6:
            fx->SetParameterFromUI(kParamOutputs, (it / 8) % 3 * 0.5); // as a control passes its value
            fx->DoParameterAction(kParamOutputs);
            break;
        default:
            editor->TickUntilClean();
            break;
        }
    }
    // A recording started late still finishes and is analysed in a draw cycle.
    for (int wait = 0; wait < 400 && fx->Engine().Snapshot().recordingActive; ++wait) {
        editor->Tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    editor->TickUntilClean();
    --running;
}

void HostThread(IMicCorrector* fx, int iterations, std::atomic<int>& running) {
    for (int it = 0; it < iterations; ++it) {
        MemoryStream state;
        if (it % 2) {
            if (fx->controllerGetState(&state) != vst::kResultOk) Fail("controller getState");
            if (fx->controllerSetState(&state) != vst::kResultOk) Fail("controller setState");
        } else {
            if (fx->componentGetState(&state) != vst::kResultOk) Fail("component getState");
            state.perRead = 100; // a host that hands the state over in pieces
            if (fx->componentSetState(&state) != vst::kResultOk) Fail("component setState");
        }
        fx->setParamNormalized(kParamGain, (it % 11) / 10.0);
        fx->setParamNormalized(kParamInputs, it % 3 == 0 ? 1.0 : 0.0);
        if (it % 5 == 0) fx->setParamNormalized(kParamResolution, it % 10 == 0 ? 1.0 : 0.0);
        if (it % 7 == 0) fx->setParamNormalized(kParamOutputs, it % 14 == 0 ? 1.0 : 0.5);
        (void)fx->getParamNormalized(kParamOutputs);
    }
    --running;
}

// Instances asked to redesign in their last block and released at once, the worker still busy.
void ReleaseWithDesignsInFlight(int count) {
    HostBlock<double> block(kFrames);
    std::fill(block.in[0].begin(), block.in[0].end(), 0.1);
    std::fill(block.in[1].begin(), block.in[1].end(), 0.2);
    for (int i = 0; i < count; ++i) {
        auto* fx = new IMicCorrector(CreateHeadlessEditor);
        fx->initialize(nullptr);
        vst::ProcessSetup setup{vst::kRealtime, vst::kSample64, kFrames, 44100.0};
        fx->setupProcessing(setup);
        fx->setActive(1);
        CorrectionEngine& e = fx->Engine();
        CorrectionSettings measured = CorrectionInForce(e);
        for (int k = 0; k < kBandCount; ++k)
            measured.targetBands[k] = 1.0 + 0.5 * std::sin(0.3 * k);
        e.ApplyCorrection(measured);
        ParameterChanges changes;
        changes.Add(kParamResolution, {{0, 1.0}});
        changes.Add(kParamOutputs, {{0, 1.0}});
        block.data.inputParameterChanges = &changes;
        fx->process(block.data);
        fx->setActive(0);
        fx->terminate();
        fx->release();
    }
}

} // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::atoi(argv[1]) : 200;
    QuietMessages messages;
    InstallMessageService(&messages);
    const fs::path folder = fs::temp_directory_path() / "tv-plugin-stress";
    fs::create_directories(folder);
    UseDocumentsFolder(folder.string());
    FixedFileDialogs dialogs((folder / "stress.alg").string());
    InstallUserDialogs(&dialogs);

    auto* fx = new IMicCorrector(CreateHeadlessEditor);
    auto* editor = static_cast<IGraphicsHeadless*>(fx->Editor());
    int parent = 0;
    editor->AttachToParent(&parent);
    if (fx->initialize(nullptr) != vst::kResultOk) Fail("initialize");
    fx->activateBus(vst::kAudio, vst::kInput, 0, 1);
    fx->activateBus(vst::kAudio, vst::kOutput, 0, 1);
    vst::ProcessSetup setup{vst::kRealtime, vst::kSample64, kFrames, 48000.0};
    if (fx->setupProcessing(setup) != vst::kResultOk) Fail("setupProcessing");
    fx->setActive(1);

    std::atomic<int> running{2};
    long blocks = 0;
    std::thread audio(AudioThread, fx, std::cref(running), std::ref(blocks));
    std::thread editorThread(EditorThread, fx, editor, iterations, std::ref(running));
    std::thread host(HostThread, fx, iterations, std::ref(running));
    editorThread.join();
    host.join();
    audio.join();

    fx->setActive(0);
    fx->terminate();
    editor->DetachWindow();
    fx->release();
    ReleaseWithDesignsInFlight(iterations / 10 + 2);
    InstallUserDialogs(nullptr);
    InstallMessageService(nullptr);
    std::printf("plugin_stress: %d rounds, %ld audio blocks, %d messages\n", iterations, blocks,
                messages.count.load());
    std::printf("%d passed, %d failed\n", failed ? 0 : 1, failed ? 1 : 0);
    return failed ? 1 : 0;
}
