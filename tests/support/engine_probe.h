#pragma once

// Inside the engine, for the tests and benchmarks that set up what no operation makes: a hand-made
// cascade for the audio path, display curves for the display's pictures, a known measurement
// quality, and the raw recording. Everything else is read through CorrectionEngine::Snapshot and set
// through the engine's operations.

#include "engine/correction_engine.h"
#include "engine/output_player.h"

struct CorrectionEngineProbe {
    static auto& correctionCascade(CorrectionEngine& e) { return e.correctionCascade; }
    static int cascadeSections(const CorrectionEngine& e) { return e.cascadeSections; }
    static auto& filterReady(CorrectionEngine& e) { return e.filterReady; }
    static auto& levelMatchGain(CorrectionEngine& e) { return e.levelMatchGain; }
    static auto& gainFactor(CorrectionEngine& e) { return e.gainFactor; }
    static auto& workingSampleRate(CorrectionEngine& e) { return e.workingSampleRate; }
    static auto& inputSelection(CorrectionEngine& e) { return e.inputSelection; }
    static auto& outputSelection(CorrectionEngine& e) { return e.outputSelection; }
    static auto& resolution(CorrectionEngine& e) { return e.resolution; }
    static auto& gainPosition(CorrectionEngine& e) { return e.gainPosition; }
    static const auto& recordBuffers(const CorrectionEngine& e) { return e.recordBuffers; }
    static int recordPosition(const CorrectionEngine& e) { return e.recordPosition; }
    static double recordProgress(const CorrectionEngine& e) { return e.recordProgress; }
    static int decimationCounter(const CorrectionEngine& e) { return e.decimationCounter; }
    static int recordingActive(const CorrectionEngine& e) { return e.recordingActive.load(); }
    static auto& fftOrder(CorrectionEngine& e) { return e.fftOrder; }
    static int fftLength(const CorrectionEngine& e) { return e.fftLength; }
    static const auto& bandBins(const CorrectionEngine& e) { return e.bandBins; }
    static auto& targetBands(CorrectionEngine& e) { return e.targetBands; }
    static auto& referenceBands(CorrectionEngine& e) { return e.referenceBands; }
    static auto& calibrationGain(CorrectionEngine& e) { return e.calibrationGain; }
    static auto& userCurve(CorrectionEngine& e) { return e.userCurve; }
    // The 120 points of the curve at high resolution.
    static double* semitoneCurve(CorrectionEngine& e) { return e.userCurve.data() + kHighOffset; }
    static auto& quality(CorrectionEngine& e) { return e.quality; }
    static auto& protection(CorrectionEngine& e) { return e.protection; }
    static auto& measuredRatio(CorrectionEngine& e) { return e.measuredRatio; }
    static auto& achievedResponse(CorrectionEngine& e) { return e.achievedResponse; }
    static auto& curveMeasured(CorrectionEngine& e) { return e.curveMeasured; }
    static auto& curveResult(CorrectionEngine& e) { return e.curveResult; }
    static auto& curveDesired(CorrectionEngine& e) { return e.curveDesired; }
    static auto& referencePath(CorrectionEngine& e) { return e.referencePath; }
    static auto& targetPath(CorrectionEngine& e) { return e.targetPath; }
    static auto& targetPathGain(CorrectionEngine& e) { return e.targetPathGain; }
    static auto& pathSections(CorrectionEngine& e) { return e.pathSections; }
    static const OutputPlayer& outputPlayer(const CorrectionEngine& e) { return *e.outputPlayer; }
    // What a change of a design input does inside the engine's operations.
    static void RequestDesign(CorrectionEngine& e) { e.RequestDesign(); }
};
