#pragma once

enum class MeasurementVerdict;

// What the user is to be told about an engine operation; the engine only reports it, the plug-in
// class words and shows it.
enum class EngineNotice {
    NoAudioYet,  // Start before the host ever set a sample rate
    RateTooLow,  // Start at a working rate below 44056 Hz
    OutOfMemory, // Start's recording buffers or the analysis' tables could not be had
};

// Everything the engine has to show in the editor or tell the user goes through this interface,
// which the plug-in class implements by forwarding to its controls and its message boxes. Every
// call is made on the thread that called the engine operation — never on the audio thread:
// - the recording's progress and its completion are stored by the audio thread in atomics and
//   delivered by PollRecordingSignals(), which the editor's draw cycle calls (editor thread);
// - Start, RunAnalysis and the design call it directly from the thread that runs them.
// The engine makes no call while it holds the plug-in lock for its own short write phases; only
// Reset and UnserializeState, which hold the lock throughout, report OnCurvesChanged under it.
// The listener is borrowed: the plug-in class sets itself once its editor is built and clears
// itself before it goes. Without a listener the engine shows and says nothing (tests and benches
// that drive the engine alone), so whatever a user is to read must pass through here.
class IEngineListener {
  public:
    virtual ~IEngineListener() = default;

    // The progress bar's value (0 at Start, then 0.05 ... 1.0, each once and in order).
    virtual void OnRecordProgress(double value) = 0;
    // Show (Start) or hide (end of the analysis) the progress bar.
    virtual void OnProgressBarVisible(bool visible) = 0;
    // A recording is complete: the analysis trigger control is to take this value (0.55555555)
    // and be marked dirty; the editor's next draw cycle turns it into CorrectionEngine::RunAnalysis().
    virtual void OnAnalysisTrigger(double value) = 0;
    // The engine itself changed "Outputs" (0.5 at Start, 1.0 after the analysis): the selector is
    // to show the value and pass it to the host.
    virtual void OnOutputsChanged(double value) = 0;
    // A design has written new display curves: the response display is to be repainted.
    virtual void OnCurvesChanged() = 0;
    // Made at the moment the engine meets the condition, before any reaction that follows it (an
    // abandoned analysis hides the progress bar only afterwards), so that the user reads the
    // message first. A refused Start changes nothing else.
    virtual void OnNotice(EngineNotice notice) = 0;
    // A recording's measurement cannot be used and the previous one stays: made before "Outputs"
    // returns to the corrected target and the progress bar is hidden.
    virtual void OnMeasurementRejected(MeasurementVerdict verdict) = 0;
};
