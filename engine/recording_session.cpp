#include "engine/correction_engine.h"

#include "platform/plugin_lock.h"

#include <cmath>

namespace {

bool UsableGain(double v) {
    return std::isfinite(v) && v > 0.0;
}

} // namespace

StartOutcome CorrectionEngine::StartRecording() {
    if (recordingActive.load(std::memory_order_acquire)) return StartOutcome::AlreadyRecording;
    // A reset or a state restored on another thread writes these under the lock.
    double rate;
    {
        PluginLockGuard guard(lock);
        rate = workingSampleRate;
    }
    if (rate == 1.0) {
        if (listener) listener->OnNotice(EngineNotice::NoAudioYet);
        return StartOutcome::NoAudioYet;
    }
    if (!(rate >= 44056.0)) {
        if (listener) listener->OnNotice(EngineNotice::RateTooLow);
        return StartOutcome::RateTooLow;
    }
    if (fftOrder < 1 || fftOrder > 24 || fftLength != (1 << fftOrder)) return StartOutcome::OutOfMemory;

    // The buffers are had first, so that a failure leaves everything as it was.
    const std::size_t count = 2 * static_cast<std::size_t>(fftLength);
    DoubleArray reference(count);
    DoubleArray target(count);
    if (!reference || !target) {
        if (listener) listener->OnNotice(EngineNotice::OutOfMemory);
        return StartOutcome::OutOfMemory;
    }

    bool switched = false;
    {
        PluginLockGuard guard(lock);
        if (outputSelection == 0.0 || outputSelection == 1.0) {
            filterReady.store(0, std::memory_order_release);
            outputSelection = 0.5;
            switched = true;
        }
    }
    if (switched && listener) listener->OnOutputsChanged(0.5);

    // The audio path does not touch the buffers or counters until recordingActive is set.
    recordBuffers.reference = std::move(reference);
    recordBuffers.target = std::move(target);
    bandBins = ComputeBandBins(rate, fftLength);
    recordPosition = 0;
    decimationCounter = 0;
    recordProgress = 0.0;
    progressSteps.store(0, std::memory_order_relaxed);
    recordingDone.store(0, std::memory_order_relaxed);
    deliveredSteps = 0;
    if (listener) {
        listener->OnRecordProgress(0.0);
        listener->OnProgressBarVisible(true);
    }
    recordingActive.store(1, std::memory_order_release);
    return StartOutcome::Started;
}

void CorrectionEngine::PollRecordingSignals() {
    const int steps = progressSteps.load(std::memory_order_acquire);
    while (deliveredSteps < steps) {
        ++deliveredSteps;
        if (listener) listener->OnRecordProgress(deliveredSteps * 0.05);
    }
    if (deliveredSteps == steps && recordingDone.exchange(0, std::memory_order_acq_rel) && listener)
        listener->OnAnalysisTrigger(kAnalysisTriggerValue);
}

void CorrectionEngine::ReleaseRecordBuffers() {
    recordBuffers.reference.reset();
    recordBuffers.target.reset();
}

void CorrectionEngine::RunAnalysis() {
    if (recordingActive.load(std::memory_order_acquire) || recordPosition != fftLength ||
        recordProgress != 1.0)
        return;
    recordPosition = 0;
    if (!recordBuffers.reference || !recordBuffers.target) return;

    MeasurementQuality q;
    std::array<double, kBandCount> ref{}, tgt{};
    if (!AssessRecordings(recordBuffers.reference.get(), recordBuffers.target.get(), fftOrder, bandBins,
                          RecordedRate(workingSampleRate), q, ref.data(), tgt.data())) {
        // The analysis is abandoned; Start works again.
        if (listener) listener->OnNotice(EngineNotice::OutOfMemory);
        ReleaseRecordBuffers();
        recordProgress = 0.0;
        if (listener) listener->OnProgressBarVisible(false);
        return;
    }
    const MeasurementVerdict verdict = JudgeMeasurement(q);
    if (verdict != MeasurementVerdict::Usable) {
        // The previous measurement stays, and with it its correction.
        ReleaseRecordBuffers();
        if (listener) listener->OnMeasurementRejected(verdict);
        {
            PluginLockGuard guard(lock);
            outputSelection = 1.0;
        }
        if (listener) {
            listener->OnOutputsChanged(1.0);
            listener->OnProgressBarVisible(false);
        }
        DesignCorrection();
        return;
    }
    // A calibration value that is not a positive number would turn a level into Inf or NaN.
    for (int i = 0; i < kBandCount; ++i)
        if (UsableGain(calibrationGain[i])) ref[i] /= calibrationGain[i];
    ReleaseRecordBuffers();
    // A new measurement starts a new wanted response.
    std::array<double, kBandCount> curve;
    curve.fill(1.0);
    ProtectedCurve(protection, tgt.data(), ref.data(), q.coherence.data(), curve.data(), nullptr);
    ExpandCurveTo120(curve.data(), curve.data() + kHighOffset);
    {
        PluginLockGuard guard(lock);
        referenceBands = ref;
        targetBands = tgt;
        userCurve = curve;
        quality = q;
        outputSelection = 1.0;
    }
    if (listener) {
        listener->OnOutputsChanged(1.0);
        listener->OnProgressBarVisible(false);
    }
    DesignCorrection();
}
