// The engine's settings as its owner hands them in, and its state as the owner reads it back. Each
// operation takes the plug-in lock itself; a change of a design input asks for one design.
#include "engine/correction_engine.h"

#include "engine/quality_state.h"
#include "platform/plugin_lock.h"

#include <algorithm>
#include <cmath>

namespace {

// NaN == NaN for a selection: a host that sends the same odd value twice changes nothing.
bool SameSelection(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

void CorrectionEngine::SetInputSelection(double value) {
    PluginLockGuard guard(lock);
    inputSelection = value;
}

void CorrectionEngine::SetDesignSelection(double& selection, double value) {
    {
        PluginLockGuard guard(lock);
        if (SameSelection(selection, value)) return;
        selection = value;
        RequestDesign();
    }
    if (!designsDeferred) DesignIfRequested();
}

void CorrectionEngine::SetOutputSelection(double value) {
    SetDesignSelection(outputSelection, value);
}

void CorrectionEngine::SetResolution(double value) {
    SetDesignSelection(resolution, value);
}

void CorrectionEngine::SetGainPosition(double value) {
    PluginLockGuard guard(lock);
    gainPosition = value;
    gainFactor = GainFactorFor(value);
}

void CorrectionEngine::ApplyCorrection(const CorrectionSettings& s) {
    {
        PluginLockGuard guard(lock);
        outputSelection = s.outputSelection;
        inputSelection = s.inputSelection;
        resolution = s.resolution;
        gainPosition = std::clamp(s.gainPosition, 0.0, 1.0);
        gainFactor = GainFactorFor(gainPosition);
        targetBands = s.targetBands;
        referenceBands = s.referenceBands;
        std::copy(s.userCurve.begin(), s.userCurve.end(), userCurve.begin());
        ExpandCurveTo120(userCurve.data(), userCurve.data() + kHighOffset);
        // A file keeps no coherence: how far this measurement can be trusted is not known.
        quality = MeasurementQuality{};
        RequestDesign();
    }
    if (!designsDeferred) DesignIfRequested();
}

void CorrectionEngine::SetCalibration(const std::array<double, kBandCount>& gain) {
    PluginLockGuard guard(lock);
    if (gain == calibrationGain) return;
    calibrationGain = gain;
    RequestDesign();
}

void CorrectionEngine::SetProtection(const ProtectionRule& rule) {
    PluginLockGuard guard(lock);
    protection = rule;
}

bool CorrectionEngine::EditUserCurve(const std::function<void(double* curve33)>& edit) {
    // A state or preset restored on another thread writes the same curve: the edit holds the lock.
    PluginLockGuard guard(lock);
    // The design shows the wanted response for every value other than the reference (0) and the
    // raw target (0.5); drawing follows it, so a restored odd value behaves like the corrected target.
    if (outputSelection == 0.0 || outputSelection == 0.5) return false;
    edit(userCurve.data());
    ExpandCurveTo120(userCurve.data(), userCurve.data() + kHighOffset);
    RefreshDisplayCurves();
    return true;
}

void CorrectionEngine::RefreshDisplayCurves() {
    const int n = SectionCount(resolution);
    const int offset = n == kNormalBands ? 0 : kHighOffset;
    for (int i = 0; i < n; ++i) {
        curveDesired[i] = userCurve[offset + i];
        curveMeasured[i] = measuredRatio[i];
        curveResult[i] = achievedResponse[i];
    }
}

bool CorrectionEngine::SerializeQuality(IByteChunk& chunk) {
    PluginLockGuard guard(lock);
    return PutQualityExtension(chunk, quality);
}

void CorrectionEngine::UnserializeQuality(const IByteChunk& chunk) {
    PluginLockGuard guard(lock);
    GetQualityExtension(chunk, 0, quality);
}

EngineSnapshot CorrectionEngine::Snapshot() const {
    EngineSnapshot s;
    PluginLockGuard guard(lock);
    s.inputSelection = inputSelection;
    s.outputSelection = outputSelection;
    s.resolution = resolution;
    s.gainPosition = gainPosition;
    s.gainFactor = gainFactor;
    s.workingSampleRate = workingSampleRate;
    s.recordingActive = recordingActive.load(std::memory_order_acquire);
    s.recordPosition = recordPosition;
    s.recordProgress = recordProgress;
    s.filterReady = filterReady.load(std::memory_order_acquire);
    s.correctionCascade = correctionCascade;
    s.cascadeSections = cascadeSections;
    s.levelMatchGain = levelMatchGain;
    s.targetBands = targetBands;
    s.referenceBands = referenceBands;
    s.calibrationGain = calibrationGain;
    s.userCurve = userCurve;
    s.quality = quality;
    s.protection = protection;
    s.sectionGain = sectionGain;
    s.measuredRatio = measuredRatio;
    s.achievedResponse = achievedResponse;
    s.curveMeasured = curveMeasured;
    s.curveResult = curveResult;
    s.curveDesired = curveDesired;
    s.designPasses = designPasses;
    s.designConverged = designConverged;
    s.designRequests = designRequested.load(std::memory_order_acquire);
    return s;
}
