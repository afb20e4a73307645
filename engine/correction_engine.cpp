#include "engine/correction_engine.h"

#include "engine/correction_design.h"
#include "framework/effect_base.h"
#include "platform/plugin_lock.h"

#include <algorithm>
#include <cmath>
#include <memory>

CorrectionEngine::CorrectionEngine(IEffectBase& b, IEngineListener* l)
    : base(b), listener(l), lockedWork(std::make_unique<DesignWork>()) {
    targetBands.fill(1.0);
    referenceBands.fill(1.0);
    calibrationGain.fill(1.0);
    userCurve.fill(1.0);
    measuredRatio.fill(1.0);
    achievedResponse.fill(1.0);
    curveMeasured.fill(1.0);
    curveResult.fill(1.0);
    curveDesired.fill(1.0);
}

double GainFactorFor(double position) {
    const double p = std::isfinite(position) ? std::clamp(position, 0.0, 1.0) : 0.5;
    return std::pow(10.0, (p - 0.5) * 2.0);
}

void CorrectionEngine::Reset() {
    PluginLockGuard guard(base.Lock());
    const double h = base.GetSampleRate();
    if (!std::isfinite(h) || h == workingSampleRate) return;
    workingSampleRate = h < 44056.0 ? 44056.0 : h;
    DesignCorrectionUnderLock();
}

// Room for one design: its inputs, its result and the interaction terms.
struct CorrectionEngine::DesignWork {
    std::array<std::array<double, kBandCount>, 4> inputs;
    DesignResult result;
    std::array<double, kMaxSections * kMaxSections> terms;
};

CorrectionEngine::~CorrectionEngine() = default;

void CorrectionEngine::DesignCorrection() {
    // Designs from the editor may overlap a locked one (a state restore on the host's thread), so
    // each brings its own room.
    auto work = std::make_unique<DesignWork>();
    RunDesign(*work);
}

void CorrectionEngine::DesignCorrectionUnderLock() {
    // The caller holds the plug-in lock throughout, so one room serves every such design; a preset
    // restored inside `process` therefore designs without touching the heap.
    PluginLockGuard guard(base.Lock());
    RunDesign(*lockedWork);
}

void CorrectionEngine::RunDesign(DesignWork& work) {
    // Inputs are copied under the lock, the fit runs without it, the result is written under it.
    DesignInputs inputs;
    {
        PluginLockGuard guard(base.Lock());
        inputs.workingSampleRate = workingSampleRate;
        inputs.resolution = resolution;
        inputs.outputSelection = outputSelection;
        work.inputs[0] = targetBands;
        work.inputs[1] = referenceBands;
        work.inputs[2] = calibrationGain;
        work.inputs[3] = userCurve;
    }
    inputs.targetBands = work.inputs[0].data();
    inputs.referenceBands = work.inputs[1].data();
    inputs.calibrationGain = work.inputs[2].data();
    inputs.userCurve = work.inputs[3].data();

    ComputeCorrection(inputs, work.result, work.terms.data());
    const DesignResult& r = work.result;
    const int n = r.sections;
    {
        PluginLockGuard guard(base.Lock());
        filterReady.store(0, std::memory_order_release);
        std::copy_n(r.sections_.begin(), n, correctionCascade.begin());
        cascadeSections = n;
        levelMatchGain = r.levelMatchGain;
        sectionGain = r.sectionGain;
        std::copy_n(r.measuredRatio.begin(), n, measuredRatio.begin());
        std::copy_n(r.achievedResponse.begin(), n, achievedResponse.begin());
        std::copy_n(r.curveMeasured.begin(), n, curveMeasured.begin());
        std::copy_n(r.curveResult.begin(), n, curveResult.begin());
        std::copy_n(r.curveDesired.begin(), n, curveDesired.begin());
        designPasses = r.passes;
        designConverged = r.converged;
        filterReady.store(1, std::memory_order_release);
    }
    if (listener) listener->OnCurvesChanged();
}

void CorrectionEngine::SetInputSelection(double value) {
    PluginLockGuard guard(base.Lock());
    inputSelection = value;
}

void CorrectionEngine::SetOutputSelection(double value) {
    {
        PluginLockGuard guard(base.Lock());
        outputSelection = value;
    }
    DesignCorrection();
}

void CorrectionEngine::SetResolution(double value) {
    {
        PluginLockGuard guard(base.Lock());
        resolution = value;
    }
    DesignCorrection();
}

void CorrectionEngine::ResetUserCurve() {
    {
        PluginLockGuard guard(base.Lock());
        userCurve.fill(1.0);
    }
    DesignCorrection();
}

void CorrectionEngine::SetGainPosition(double value) {
    PluginLockGuard guard(base.Lock());
    gainPosition = value;
    gainFactor = GainFactorFor(value);
}
