#pragma once

#include "engine/band_grid.h"
#include "engine/curve_expansion.h"
#include "engine/double_array.h"
#include "engine/engine_listener.h"
#include "engine/engine_snapshot.h"
#include "engine/measurement_quality.h"
#include "engine/peaking_section.h"
#include "engine/protected_curve.h"
#include "engine/record_tail.h"
#include "engine/recording_analysis.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class IByteChunk;
class DesignWorker;
class OutputPlayer;
class PluginLock;

// The value the audio path hands to the analysis trigger when a recording is complete.
constexpr double kAnalysisTriggerValue = 0.55555555;

// Linear gain of a "Gain" position: 10^((position - 0.5)*2), 0.1 .. 10. Positions outside 0..1 are
// clamped and a non-finite one counts as 0.5, so the gain is always finite.
double GainFactorFor(double gainPosition);

// What StartRecording did.
enum class StartOutcome {
    Started,
    AlreadyRecording, // a recording runs: nothing changed
    NoAudioYet,       // the host never set a sample rate: the listener told, nothing changed
    RateTooLow,       // working rate below 44056 Hz: the listener told, nothing changed
    OutOfMemory,      // the recording buffers could not be had: the listener told, nothing changed
};

// The correction engine of one plug-in instance: the audio path with its recording and correction
// cascade, the analysis of a recording, the design of the cascade, and the state record.
//
// Its state is its own. The owner hands it settings through the operations below - each takes the
// plug-in lock itself (re-entrantly where the owner already holds it) and asks for one design when
// a design input changed - and reads it back as a snapshot (Snapshot), copied under the lock. The
// plug-in class forwards to it: Reset (with the host's sample rate), ProcessBlock, SerializeState
// and UnserializeState from the base's hooks; the selections and the gain from OnParamChange; a
// loaded file as one ApplyCorrection; StartRecording and ResetUserCurve from its actions;
// PollRecordingSignals and RunAnalysis from the editor's draw cycle. What the engine has to show or
// say goes to its listener (the plug-in class), which words the messages.
//
// Ownership. The owner lends the engine its plug-in lock and the tail of the state record (its
// parameters) for the engine's lifetime; the listener may be swapped or cleared (SetListener) while
// no engine operation runs, and without one nothing is shown or said.
//
// Threads. ProcessBlock runs on the audio thread with the plug-in lock held by the caller. Every
// field the audio path reads is written only under the plug-in lock, except the recording buffers
// and counters, which the audio path owns from the moment recordingActive is set until it clears
// it. The design computes without the lock and takes it only to copy its inputs and to write its
// result, so a block never sees a half-written cascade.
//
// Designs are asked for and run apart: whatever changes the design's inputs raises a request
// (under the lock), and a design runs where it may - on the calling thread for the editor and for
// host calls once they have released the lock (DesignIfRequested), on the engine's worker for
// requests raised inside processing (HandRequestToWorker). Each design carries the request it
// started from; a result older than the cascade in force is dropped, and the worker abandons a
// design as soon as a newer request arrives.
class CorrectionEngine {
  public:
    // lock: the owner's plug-in lock; tail: what the state record carries after the engine's part
    // (both outlive the engine); listener may be null.
    CorrectionEngine(PluginLock& lock, IRecordTail& tail, IEngineListener* listener);
    ~CorrectionEngine();
    CorrectionEngine(const CorrectionEngine&) = delete;
    CorrectionEngine& operator=(const CorrectionEngine&) = delete;

    void SetListener(IEngineListener* l) { listener = l; }

    // ---- Hooks of the plug-in base ----
    // Takes the lock; adopts the host's sample rate (at least 44056 Hz) and asks for a design when it
    // changed (and runs it, unless designs are deferred).
    void Reset(double hostSampleRate);
    // inputs and outputs: two channel arrays of frames doubles. Caller holds the plug-in lock.
    // Null channels read as silence; both outputs are always written when present.
    void ProcessBlock(double** inputs, double** outputs, int frames);
    // The record and then its tail, in one hold of the lock.
    bool SerializeState(IByteChunk& chunk);
    // The record is parsed without the lock; one hold then copies it in and reads the tail. A record
    // holding a band level or curve ratio no measurement or drawing gives (engine/record_values.h)
    // is refused whole: nothing changes and the result is -1.
    int UnserializeState(const IByteChunk& chunk, int position);
    // The last measurement's quality after the state (written, or read from `chunk`'s start).
    bool SerializeQuality(IByteChunk& chunk);
    void UnserializeQuality(const IByteChunk& chunk);

    // ---- Settings (any thread but the audio thread's block; they take the lock) ----
    // The selections and the gain. A new "Outputs" or "Resolution" asks for one design (run before
    // the call returns unless designs are deferred; the plug-in defers them, since it calls these
    // under the lock); the same value again asks for nothing.
    void SetInputSelection(double value);
    void SetOutputSelection(double value);
    void SetResolution(double value);
    void SetGainPosition(double value);
    // A whole correction (a loaded file) in one hold of the lock: selections, gain (clamped into
    // 0..1), band sets and drawn curve; its quality is not known. One design is asked for, and run
    // before the call returns unless designs are deferred.
    void ApplyCorrection(const CorrectionSettings& settings);
    // The reference microphone's calibration; a new one asks for a design.
    void SetCalibration(const std::array<double, kBandCount>& gain);
    // The rule that shapes the wanted response a new measurement starts with.
    void SetProtection(const ProtectionRule& rule);
    // The mouse drawing on the display: `edit` changes the 33 points of the drawn curve under the
    // lock, the semitone curve and the wanted-response display curve follow at once, and no design
    // is asked for (the drawing's end asks with DesignCorrection). Nothing is edited while the
    // design does not show the wanted response (the reference or the raw target heard): false.
    bool EditUserCurve(const std::function<void(double* curve33)>& edit);

    // The engine as it stands, copied under the lock.
    EngineSnapshot Snapshot() const;

    // ---- Actions (editor thread, without the plug-in lock) ----
    // The Start action: checks, output to the raw target, buffers, band bins, recording armed.
    StartOutcome StartRecording();
    // Runs only when a recording is complete; transforms, stores the band levels, switches the
    // output to the corrected target and redesigns.
    void RunAnalysis();
    // The drawn curve back to flat, and a design.
    void ResetUserCurve();
    // Asks for a design and runs it on the calling thread, which must not hold the plug-in lock.
    void DesignCorrection();
    // Delivers progress steps and the completion of a recording to the listener, in order.
    void PollRecordingSignals();

    // ---- Where designs run ----
    // With designs deferred, Reset, UnserializeState and ApplyCorrection only ask for a design and
    // the owner runs it (DesignIfRequested or HandRequestToWorker); otherwise they run it before
    // they return.
    void SetDesignsDeferred(bool deferred) { designsDeferred = deferred; }
    bool DesignPending() const {
        return designRequested.load(std::memory_order_acquire) >
               designInstalled.load(std::memory_order_acquire);
    }
    // Runs the design asked for, if its result is not in force yet, on the calling thread; the lock
    // is held only to copy the inputs and to install the result.
    void DesignIfRequested();
    // Safe on the audio thread (no lock, no allocation, no system call, no design): leaves a waiting
    // design for the worker; the module's look-out finds it within DesignWorker::kPollInterval
    // while processing is active. Without a worker the request waits for the next DesignIfRequested.
    void HandRequestToWorker();
    // The same from a thread that may make system calls (host, editor): the worker starts at once.
    void WakeWorkerForRequest();
    // Host thread: processing was switched on or off; the worker looks for posted requests only
    // while it is on (an idle instance costs nothing).
    void SetProcessingActive(bool active);
    // The worker is made on first need by a host thread (processing being prepared) and joined by
    // StopWorker or the destructor; a design in flight is abandoned, nothing runs afterwards.
    void EnsureWorker();
    void StopWorker();
    bool HasWorker() const { return liveWorker.load(std::memory_order_acquire) != nullptr; }
    // Called on the thread of every design as it starts (tests count where designs run).
    void SetDesignProbe(std::function<void()> probe) { designProbe = std::move(probe); }
    // Designs started so far, on any thread.
    long DesignsStarted() const { return designsStarted.load(std::memory_order_relaxed); }

  private:
    friend struct CorrectionEngineProbe; // tests: states no operation makes (hand-made cascades, odd values)

    // Under the lock, after a change of anything the design reads.
    void RequestDesign() { designRequested.fetch_add(1, std::memory_order_acq_rel); }
    // A selection the design reads ("Outputs", "Resolution"): a new value asks for one design.
    void SetDesignSelection(double& selection, double value);
    // The wanted-response display curve from the drawn curve, the other two from the last design.
    void RefreshDisplayCurves();

    // ---- Engine state ----
    double inputSelection = 0.0;  // 0: reference on input 0, target on input 1; else swapped
    double outputSelection = 0.0; // 0 reference, 0.5 target, else corrected target
    double resolution = 0.0;      // 0: 33 sections, else 120
    double gainPosition = 0.5;
    double gainFactor = 1.0;        // raw target output only
    double workingSampleRate = 1.0; // 1.0 until the first reset

    std::atomic<int> recordingActive{0};
    int fftOrder = kFftOrder;
    int fftLength = kFftLength;
    struct RecordBuffers {
        DoubleArray reference; // 2*fftLength doubles each; samples in the first half
        DoubleArray target;
    } recordBuffers;
    int recordPosition = 0;
    int decimationCounter = 0;
    double recordProgress = 0.0;
    BandBins bandBins{};

    std::atomic<int> filterReady{0};
    // The design for the selected output (states at rest) and its section count, switched together
    // with its coefficients.
    std::array<PeakingSection, kMaxSections> correctionCascade{};
    int cascadeSections = kNormalBands;
    // The "Outputs" selection the cascade in force was designed for.
    double cascadeOutputSelection = -1.0;
    double levelMatchGain = 1.0;

    // ---- What plays, and how one output gives way to the next ----
    // Every design also makes the cascades of both filtered outputs, installed with the rest of it:
    // the reference's calibration cascade (played at gain 1) and the target's correction cascade
    // (played times targetPathGain), pathSections long, states at rest. The audio path keeps both
    // running in its own copies and notices by itself when what should play (these, the
    // selections, the gain) differs from what plays; it then crossfades (engine/output_player.h).
    std::array<PeakingSection, kMaxSections> referencePath{};
    std::array<PeakingSection, kMaxSections> targetPath{};
    double targetPathGain = 1.0;
    int pathSections = kNormalBands;
    std::unique_ptr<OutputPlayer> outputPlayer; // audio thread only

    std::array<double, kBandCount> targetBands;
    std::array<double, kBandCount> referenceBands;
    std::array<double, kBandCount> calibrationGain;
    std::array<double, kBandCount> userCurve;

    // The last measurement's coherence and capture checks (not known after a `.alg` load or a
    // state without them), and the rule that shapes the wanted response a measurement starts with.
    MeasurementQuality quality;
    ProtectionRule protection;

    // Results of the last design (first n entries valid).
    std::array<double, kMaxSections> sectionGain{};
    std::array<double, kMaxSections> measuredRatio;
    std::array<double, kMaxSections> achievedResponse;
    std::array<double, kMaxSections> curveMeasured;
    std::array<double, kMaxSections> curveResult;
    std::array<double, kMaxSections> curveDesired;
    int designPasses = 0;
    bool designConverged = false;
    std::atomic<long> designsStarted{0};

    struct DesignWork;
    void ReleaseRecordBuffers();
    // One design from the latest request: false when there was nothing to do. yieldToNewer: give
    // up as soon as a newer request arrives (the worker then starts over from it).
    bool RunDesign(DesignWork& work, bool yieldToNewer);
    // The parsed record's arrays and engine fields, then a design asked for. The caller holds the lock.
    struct RecordImage;
    static void ParseRecord(const IByteChunk& chunk, int position, RecordImage& image);
    void ApplyRecordUnderLock(const RecordImage& image);

    PluginLock& lock;
    IRecordTail& recordTail;
    IEngineListener* listener;
    bool designsDeferred = false;
    std::atomic<std::uint64_t> designRequested{0};
    std::atomic<std::uint64_t> designInstalled{0}; // request answered by the cascade in force
    std::function<void()> designProbe;
    std::unique_ptr<DesignWork> workerWork;
    std::unique_ptr<DesignWorker> worker;
    // The worker as other threads see it: published once it runs, withdrawn before it is joined.
    std::atomic<DesignWorker*> liveWorker{nullptr};
    std::atomic<bool> workerStopping{false};
    bool processingActive = false; // host thread only
    // Audio thread → editor thread.
    std::atomic<int> progressSteps{0}; // steps of 0.05 reached
    std::atomic<int> recordingDone{0}; // the completion is waiting to be delivered
    int deliveredSteps = 0;            // editor thread only
};
