#include "engine/correction_engine.h"

#include "engine/correction_design.h"
#include "framework/effect_base.h"
#include "platform/plugin_lock.h"

#include <algorithm>
#include <cmath>
#include <memory>

CorrectionEngine::CorrectionEngine(IEffectBase& b, IEngineListener* l) : base(b), listener(l) {
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
    DesignCorrection();
}

void CorrectionEngine::DesignCorrection() {
    // Inputs are copied under the lock, the fit runs without it, the result is written under it.
    auto in = std::make_unique<std::array<std::array<double, kBandCount>, 4>>();
    DesignInputs inputs;
    {
        PluginLockGuard guard(base.Lock());
        inputs.workingSampleRate = workingSampleRate;
        inputs.resolution = resolution;
        inputs.outputSelection = outputSelection;
        (*in)[0] = targetBands;
        (*in)[1] = referenceBands;
        (*in)[2] = calibrationGain;
        (*in)[3] = userCurve;
    }
    inputs.targetBands = (*in)[0].data();
    inputs.referenceBands = (*in)[1].data();
    inputs.calibrationGain = (*in)[2].data();
    inputs.userCurve = (*in)[3].data();

    auto result = std::make_unique<DesignResult>();
    ComputeCorrection(inputs, *result);
    const DesignResult& r = *result;
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
