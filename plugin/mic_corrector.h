#pragma once

#include "engine/correction_engine.h"
#include "graphics/graphics.h"
#include "graphics/platform_editor.h"
#include "plugin/editor_layout.h"
#include "plugin/parameter_action_target.h"
#include "vst3/effect_vst3.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

struct AlgRecord;

// The plug-in's own class: one object per instance. It owns the correction engine and forwards
// the base's audio and state hooks to it; it finds its documents folder and the reference
// microphone's calibration when it is built, builds its editor, and carries out what the editor's
// buttons and selectors stand for.
// Threads: the base's hooks come as framework/effect_base.h says (ProcessBlock and parameter
// changes from the host's queue on the audio thread under the lock; state and activation on the
// host's threads; actions, the draw cycle and the editor's hooks on the editor thread). What the
// audio thread hands on (host values for the controls, redraws, finished designs) goes through
// atomics that the draw cycle collects; designs never run on the audio thread.
class IMicCorrector : public IEffectVST3,
                      public IParameterActionTarget,
                      private IEngineListener,
                      private IRecordTail,
                      private IDrawCycleListener {
  public:
    // makeEditor: the platform's window back end for hosts; tests and the command-line tool hand in
    // the headless one.
    explicit IMicCorrector(EditorFactory makeEditor = CreatePlatformEditor);
    ~IMicCorrector() override;

    void Reset() override;
    void OnActivate(bool active) override;
    void OnParamChange(int paramIdx) override;
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    bool SerializeState(IByteChunk& chunk) override;
    int UnserializeState(const IByteChunk& chunk, int position) override;
    void OnPresetRestored() override;
    // The last measurement's quality (coherence and capture checks) travels in the trailer.
    bool SerializeStateTrailer(IByteChunk& chunk) override;
    void UnserializeStateTrailer(const IByteChunk& chunk) override;
    // Designs asked for by host calls run on the host's thread, those asked for while processing
    // on the engine's worker.
    void CompleteRequestedWork() override;
    void HandOverRequestedWork(bool offline) override;

    // Runs on the editor's thread, without the plug-in lock.
    void DoParameterAction(int paramIdx) override;

    // Load's steps after the dialog: the file is read and checked (its message shown when it is
    // refused, nothing changed) and then applied. False when refused.
    bool LoadCorrectionFile(const std::string& path);
    // The whole record to the engine in one operation (one design), the selections and the gain
    // shown by their controls, which tell the host, and every control redrawn.
    void ApplyCorrectionRecord(const AlgRecord& record);

    CorrectionEngine& Engine() { return engine; }
    IGraphics* Editor() { return editor; }
    const MicCorrectorControls& Controls() const { return controls; }
    const std::string& DocumentsFolder() const { return documentsFolder; }
    const std::string& CalibrationLabel() const { return calibrationLabel; }
    const std::string& CalibrationPath() const { return calibrationPath; }

  protected:
    void ApplyHostValueFromProcess(int paramIdx, double normalized) override;
    // "Inputs", "Outputs" and "Resolution" set by the host's controller act as from a queue.
    void OnControllerParamEdit(int paramIdx, double normalized) override;

  private:
    void SaveCorrection();
    void LoadCorrection();
    // Asks for an .alg file through the editor (or the dialog service without one).
    void ChooseAlgFile(bool save, FileChoiceDone done);
    // Save's steps after the dialog.
    void SaveCorrectionFile(const std::string& path);
    void SetAboutBoxVisible(bool visible);

    // ---- Engine → editor (IEngineListener) ----
    void OnRecordProgress(double value) override;
    void OnProgressBarVisible(bool visible) override;
    void OnAnalysisTrigger(double value) override;
    void OnOutputsChanged(double value) override;
    void OnCurvesChanged() override;
    // Shown at once, on the thread of the engine operation (the editor's, so in its message panel).
    void OnNotice(EngineNotice notice) override;
    void OnMeasurementRejected(MeasurementVerdict verdict) override;
    // ---- The state record's tail: the parameters (IRecordTail) ----
    bool SerializeRecordTail(IByteChunk& chunk) override;
    int UnserializeRecordTail(const IByteChunk& chunk, int position) override;
    // ---- The editor's draw cycle (IDrawCycleListener) ----
    void OnDrawCycle() override;

    CorrectionEngine engine;
    std::string documentsFolder;
    std::string calibrationLabel;
    std::string calibrationPath;
    IGraphics* editor = nullptr; // owned by the base
    MicCorrectorControls controls;
    // Set by a design on whatever thread ran it; the display is marked in the next draw cycle.
    std::atomic<bool> curvesChanged{false};
};
