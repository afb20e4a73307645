#include "engine/correction_engine.h"

#include "engine/correction_design.h"
#include "engine/design_worker.h"
#include "engine/output_player.h"
#include "engine/path_designs.h"
#include "platform/plugin_lock.h"

#include <algorithm>
#include <cmath>
#include <memory>

CorrectionEngine::CorrectionEngine(PluginLock& pluginLock, IRecordTail& tail, IEngineListener* l)
    : outputPlayer(std::make_unique<OutputPlayer>()), lock(pluginLock), recordTail(tail), listener(l) {
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

void CorrectionEngine::Reset(double h) {
    {
        PluginLockGuard guard(lock);
        if (!std::isfinite(h) || h == workingSampleRate) return;
        workingSampleRate = h < 44056.0 ? 44056.0 : h;
        RequestDesign();
    }
    if (!designsDeferred) DesignIfRequested();
}

// Room for one design: its inputs, its result, the paths it does not cover and the interaction terms.
struct CorrectionEngine::DesignWork {
    std::array<std::array<double, kBandCount>, 4> inputs;
    DesignResult result;
    DesignResult referencePath;
    DesignResult targetPath;
    std::array<double, kMaxSections * kMaxSections> terms;
};

CorrectionEngine::~CorrectionEngine() {
    StopWorker();
}

void CorrectionEngine::DesignCorrection() {
    RequestDesign();
    DesignIfRequested();
}

void CorrectionEngine::DesignIfRequested() {
    if (!DesignPending()) return;
    // Designs on different threads may overlap (the editor's and a host restore), so each brings
    // its own room.
    auto work = std::make_unique<DesignWork>();
    RunDesign(*work, false);
}

void CorrectionEngine::HandRequestToWorker() {
    DesignWorker* w = liveWorker.load(std::memory_order_acquire);
    if (w && DesignPending()) w->Post();
}

void CorrectionEngine::WakeWorkerForRequest() {
    DesignWorker* w = liveWorker.load(std::memory_order_acquire);
    if (w && DesignPending()) w->Wake();
}

void CorrectionEngine::SetProcessingActive(bool active) {
    processingActive = active;
    if (worker) worker->SetPolling(active);
}

void CorrectionEngine::EnsureWorker() {
    if (worker) return;
    workerWork = std::make_unique<DesignWork>();
    workerStopping.store(false, std::memory_order_release);
    worker = std::make_unique<DesignWorker>([this] {
        while (!workerStopping.load(std::memory_order_acquire) && RunDesign(*workerWork, true)) {
        }
    });
    worker->SetPolling(processingActive);
    liveWorker.store(worker.get(), std::memory_order_release);
    // A request raised before the worker existed is not left waiting.
    WakeWorkerForRequest();
}

void CorrectionEngine::StopWorker() {
    // The owner stops processing first; the join waits for a design in flight, which gives up at
    // its next check.
    liveWorker.store(nullptr, std::memory_order_release);
    workerStopping.store(true, std::memory_order_release);
    worker.reset();
}

namespace {

// What a design started from, for the worker to notice that it has been overtaken.
struct DesignTicket {
    const std::atomic<std::uint64_t>* latest;
    std::uint64_t request;
    const std::atomic<bool>* stopping;
};

bool Overtaken(const void* ticket) {
    const auto* t = static_cast<const DesignTicket*>(ticket);
    return t->latest->load(std::memory_order_relaxed) != t->request ||
           t->stopping->load(std::memory_order_relaxed);
}

} // namespace

bool CorrectionEngine::RunDesign(DesignWork& work, bool yieldToNewer) {
    // Inputs are copied under the lock, the fit runs without it, the result is written under it.
    DesignInputs inputs;
    std::uint64_t request = 0;
    {
        PluginLockGuard guard(lock);
        request = designRequested.load(std::memory_order_acquire);
        if (request <= designInstalled.load(std::memory_order_acquire)) return false;
        inputs.workingSampleRate = workingSampleRate;
        inputs.resolution = resolution;
        inputs.outputSelection = outputSelection;
        work.inputs[0] = targetBands;
        work.inputs[1] = referenceBands;
        work.inputs[2] = calibrationGain;
        work.inputs[3] = userCurve;
    }
    designsStarted.fetch_add(1, std::memory_order_relaxed);
    if (designProbe) designProbe();
    inputs.targetBands = work.inputs[0].data();
    inputs.referenceBands = work.inputs[1].data();
    inputs.calibrationGain = work.inputs[2].data();
    inputs.userCurve = work.inputs[3].data();
    const DesignTicket ticket{&designRequested, request, &workerStopping};
    if (yieldToNewer) {
        inputs.shouldStop = Overtaken;
        inputs.stopContext = &ticket;
    }

    ComputeCorrection(inputs, work.result, work.terms.data());
    const DesignResult& r = work.result;
    PathDesigns paths;
    const bool complete = !r.stopped && DesignBothPaths(inputs, r, work.referencePath, work.targetPath,
                                                        work.terms.data(), paths);
    // A newer request waits: start over from it rather than install a result already out of date.
    if (!complete || (yieldToNewer && Overtaken(&ticket))) return true;
    const int n = r.sections;
    {
        PluginLockGuard guard(lock);
        // A design that finished after a newer one leaves the newer result in force.
        if (request <= designInstalled.load(std::memory_order_acquire)) return true;
        // Whole, states at rest: the audio path runs its own copies of the paths and decides itself
        // whether their running states carry on.
        filterReady.store(0, std::memory_order_release);
        std::copy_n(r.sections_.begin(), n, correctionCascade.begin());
        std::copy_n(paths.reference->sections_.begin(), n, referencePath.begin());
        std::copy_n(paths.target->sections_.begin(), n, targetPath.begin());
        targetPathGain = paths.target->levelMatchGain;
        pathSections = n;
        cascadeSections = n;
        cascadeOutputSelection = inputs.outputSelection;
        levelMatchGain = r.levelMatchGain;
        sectionGain = r.sectionGain;
        std::copy_n(r.measuredRatio.begin(), n, measuredRatio.begin());
        std::copy_n(r.achievedResponse.begin(), n, achievedResponse.begin());
        std::copy_n(r.curveMeasured.begin(), n, curveMeasured.begin());
        std::copy_n(r.curveResult.begin(), n, curveResult.begin());
        std::copy_n(r.curveDesired.begin(), n, curveDesired.begin());
        designPasses = r.passes;
        designConverged = r.converged;
        designInstalled.store(request, std::memory_order_release);
        filterReady.store(1, std::memory_order_release);
    }
    if (listener) listener->OnCurvesChanged();
    return true;
}

void CorrectionEngine::ResetUserCurve() {
    {
        PluginLockGuard guard(lock);
        userCurve.fill(1.0);
        RequestDesign();
    }
    DesignIfRequested();
}
