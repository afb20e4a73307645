#include "plugin/mic_corrector.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "engine/band_grid.h"
#include "engine/measurement_quality.h"
#include "graphics/bitmap_control.h"
#include "graphics/editor_window.h"
#include "platform/message_service.h"
#include "plugin/calibration_file.h"
#include "plugin/documents_folder.h"
#include "plugin/editor_controls.h"
#include "plugin/engine_messages.h"
#include "plugin/parameter_table.h"
#include "plugin/response_display.h"
#include "vst3/module_factory.h"
#include "vst3/module_identity.h"

IMicCorrector::IMicCorrector(EditorFactory makeEditor)
    : IEffectVST3(MicCorrectorFacts(module_identity::kVendor)), engine(Lock(), *this, nullptr) {
    // What is said before the editor exists (no documents folder, an unreadable calibration) is
    // also shown when the editor first opens.
    struct Collected final : IMessageSink {
        struct Message {
            std::string caption, text;
            MessageIcon icon;
        };
        std::vector<Message> messages;
        void TakeMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
            messages.push_back({caption, text, icon});
        }
    } collected;
    MessageRoute route(&collected);
    // The engine starts from its initial values and the fixed band grid; the grid is built once.
    TheBandGrid();
    documentsFolder = PrepareDocumentsFolder();
    if (!documentsFolder.empty()) {
        const CalibrationInfo calibration = FindCalibration(documentsFolder, TheBandGrid().bandFrequencies);
        calibrationLabel = calibration.label;
        calibrationPath = calibration.path;
        engine.SetCalibration(calibration.gain);
    }
    DefineMicCorrectorParameters(*this);
    for (int i = 0; i < kMicCorrectorParamCount; ++i)
        if (const char* title = EditorOnlyHostTitle(i)) NameEditorOnlyParam(i, title);

    // The editor lives as long as the instance, also while no window is open.
    if (makeEditor) {
        std::unique_ptr<IGraphics> made = makeEditor(this, kEditorWidth, kEditorHeight, kEditorFrameRate);
        if (made) {
            editor = made.get();
            controls = BuildMicCorrectorEditor(*editor, this, this, engine, calibrationLabel);
            editor->SetDrawCycleListener(this);
            for (const auto& m : collected.messages)
                editor->TakeMessage(m.caption, m.text, m.icon);
            AttachGraphics(std::move(made));
        }
    }
    engine.SetListener(this);
    engine.SetDesignsDeferred(true);
    CaptureDefaultPreset("-");
}

IMicCorrector::~IMicCorrector() {
    // Nothing may reach the engine or this object once its own part is gone; the base deletes the
    // editor afterwards. A design in flight on the worker is abandoned and the worker joined first.
    engine.StopWorker();
    engine.SetListener(nullptr);
    if (IEditorWindow* window = EditorWindow()) window->DetachWindow();
    if (editor) editor->SetDrawCycleListener(nullptr);
}

void IMicCorrector::OnActivate(bool active) {
    // While processing is active the worker looks for the requests blocks leave it.
    engine.SetProcessingActive(active);
}

void IMicCorrector::Reset() {
    // Processing is being prepared on a host thread: the place to start the worker, before any
    // block can ask for a design.
    engine.EnsureWorker();
    engine.Reset(GetSampleRate());
}

void IMicCorrector::OnParamChange(int paramIdx) {
    PluginLockGuard guard(Lock());
    IParamRecord* param = GetParam(paramIdx);
    if (!param) return;
    // A selection's value between two choices means the choice the editor shows for it; the record
    // keeps that choice, so that the host reads back what plays and a saved project replays it.
    param->value = NearestChoice(paramIdx, param->value);
    const double value = param->value;
    switch (paramIdx) {
    case kParamGain:
        engine.SetGainPosition(value);
        break;
    // The selections act from wherever their value comes (the editor, the host's automation or
    // controller, a restored state), so what the host shows is what plays. A new choice only asks
    // for its design here: the caller runs it where it may.
    case kParamInputs:
        engine.SetInputSelection(value);
        break;
    case kParamOutputs:
        engine.SetOutputSelection(value);
        break;
    case kParamResolution:
        engine.SetResolution(value);
        break;
    default:
        break;
    }
}

void IMicCorrector::OnControllerParamEdit(int paramIdx, double normalized) {
    if (paramIdx != kParamInputs && paramIdx != kParamOutputs && paramIdx != kParamResolution) return;
    ApplyHostValueFromProcess(paramIdx, normalized);
    OnParamChange(paramIdx);
}

void IMicCorrector::CompleteRequestedWork() {
    try {
        engine.DesignIfRequested();
    } catch (const std::bad_alloc&) {
        // Without room for a design the correction in force stays; the request waits for the next.
    }
}

void IMicCorrector::HandOverRequestedWork(bool offline) {
    if (!offline) {
        engine.HandRequestToWorker();
        return;
    }
    // A render must not depend on the worker's timing: the block waits for its own correction.
    try {
        engine.DesignIfRequested();
    } catch (const std::bad_alloc&) {
    }
}

void IMicCorrector::ProcessBlock(double** inputs, double** outputs, int frames) {
    engine.ProcessBlock(inputs, outputs, frames);
}

bool IMicCorrector::SerializeState(IByteChunk& chunk) {
    return engine.SerializeState(chunk);
}

int IMicCorrector::UnserializeState(const IByteChunk& chunk, int position) {
    return engine.UnserializeState(chunk, position);
}

bool IMicCorrector::SerializeStateTrailer(IByteChunk& chunk) {
    return engine.SerializeQuality(chunk);
}

void IMicCorrector::UnserializeStateTrailer(const IByteChunk& chunk) {
    engine.UnserializeQuality(chunk);
    // The shading follows at the next draw.
    RedrawParamControls();
}

void IMicCorrector::OnPresetRestored() {
    // Every control repainted with its value, nothing pushed back: in the next draw cycle, since a
    // preset may be restored on the audio thread.
    RedrawParamControls();
}

void IMicCorrector::ApplyHostValueFromProcess(int paramIdx, double normalized) {
    // The control shows the choice the engine plays.
    IEffectVST3::ApplyHostValueFromProcess(paramIdx, NearestChoice(paramIdx, normalized));
}

// ---- Engine → editor ----

void IMicCorrector::OnRecordProgress(double value) {
    if (controls.progressBar) controls.progressBar->ApplyHostValue(value);
}

void IMicCorrector::OnProgressBarVisible(bool visible) {
    if (controls.progressBar) controls.progressBar->SetHidden(!visible);
}

void IMicCorrector::OnAnalysisTrigger(double value) {
    if (!controls.analysisTrigger) return;
    controls.analysisTrigger->ApplyHostValue(value);
    controls.analysisTrigger->MarkDirty(false);
}

void IMicCorrector::OnOutputsChanged(double value) {
    if (controls.outputsSelector)
        controls.outputsSelector->ApplyUserValue(value);
    else if (IParamRecord* p = GetParam(kParamOutputs))
        p->SetClamped(value);
}

void IMicCorrector::OnCurvesChanged() {
    // May come from the audio thread (a preset restored in process) or the host's thread: only a flag.
    curvesChanged.store(true, std::memory_order_release);
}

void IMicCorrector::OnNotice(EngineNotice notice) {
    ShowInfo(NoticeMessage(notice));
}

void IMicCorrector::OnMeasurementRejected(MeasurementVerdict verdict) {
    ShowInfo(VerdictMessage(verdict));
}

bool IMicCorrector::SerializeRecordTail(IByteChunk& chunk) {
    return SerializeParams(chunk);
}

int IMicCorrector::UnserializeRecordTail(const IByteChunk& chunk, int position) {
    return UnserializeParams(chunk, position);
}

void IMicCorrector::OnDrawCycle() {
    DeliverHostValuesToControls();
    // A design asked for and not run yet (while processing before any worker existed, or by a
    // value that reached the plug-in without a block to hand it over) is not left waiting.
    if (engine.HasWorker())
        engine.WakeWorkerForRequest();
    else
        CompleteRequestedWork();
    // A recording that ended while no window was open is delivered (and analysed) now.
    engine.PollRecordingSignals();
    // The completion of a recording is the trigger's value: this cycle turns it into the analysis,
    // before it draws.
    if (controls.analysisTrigger && controls.analysisTrigger->Value() == kAnalysisTriggerValue) {
        controls.analysisTrigger->SetValue(0.0);
        engine.RunAnalysis();
    }
    if (curvesChanged.exchange(false, std::memory_order_acq_rel) && controls.responseDisplay) {
        controls.responseDisplay->MarkDirty(false);
        controls.responseDisplay->SetRepaintAgain();
    }
}

IEffectVST3* CreatePluginInstance() {
    return new IMicCorrector();
}
