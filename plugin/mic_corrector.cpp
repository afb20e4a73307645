#include "plugin/mic_corrector.h"

#include "engine/band_grid.h"
#include "graphics/bitmap_control.h"
#include "plugin/calibration_file.h"
#include "plugin/documents_folder.h"
#include "plugin/editor_controls.h"
#include "plugin/parameter_table.h"
#include "plugin/response_display.h"
#include "vst3/editor_window.h"
#include "vst3/module_factory.h"
#include "vst3/module_identity.h"

IMicCorrector::IMicCorrector(EditorFactory makeEditor)
    : IEffectVST3(MicCorrectorFacts(module_identity::kVendor)), engine(*this, nullptr) {
    // The engine starts from its initial values and the fixed band grid; the grid is built once.
    TheBandGrid();
    documentsFolder = PrepareDocumentsFolder();
    if (!documentsFolder.empty()) {
        const CalibrationInfo calibration = FindCalibration(documentsFolder, TheBandGrid().bandFrequencies);
        calibrationLabel = calibration.label;
        calibrationPath = calibration.path;
        engine.calibrationGain = calibration.gain;
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
            AttachGraphics(std::move(made));
        }
    }
    engine.SetListener(this);
    CaptureDefaultPreset("-");
}

IMicCorrector::~IMicCorrector() {
    // Nothing may reach the engine or this object once its own part is gone; the base deletes the
    // editor afterwards.
    engine.SetListener(nullptr);
    if (IEditorWindow* window = EditorWindow()) window->DetachWindow();
    if (editor) editor->SetDrawCycleListener(nullptr);
}

void IMicCorrector::Reset() {
    engine.Reset();
}

void IMicCorrector::OnParamChange(int paramIdx) {
    PluginLockGuard guard(Lock());
    if (paramIdx == kParamGain) engine.SetGainPosition(GetParam(kParamGain)->value);
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

void IMicCorrector::OnPresetRestored() {
    PluginLockGuard guard(Lock());
    if (Graphics()) Graphics()->MarkAllControlsDirty();
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

void IMicCorrector::OnDrawCycle() {
    // A recording that ended while no window was open is delivered (and analysed) now.
    engine.PollRecordingSignals();
    if (curvesChanged.exchange(false, std::memory_order_acq_rel) && controls.responseDisplay) {
        controls.responseDisplay->MarkDirty(false);
        controls.responseDisplay->SetRepaintAgain();
    }
}

IEffectVST3* CreatePluginInstance() {
    return new IMicCorrector();
}
