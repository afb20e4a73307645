#pragma once

// Inside the engine, for what no operation of it makes or shows. Everything else a test or a
// benchmark sets through the engine's operations (tests/support/engine_operations.h) and reads
// through CorrectionEngine::Snapshot.
//
// Written here, as no operation would leave them:
// - the audio path's own cascades: a hand-made target path and its gain, and stale sections beyond
//   the design in force;
// - a gain factor no gain position gives (not finite), a gain position whose factor is not made
//   yet, a working rate below the lowest a host rate becomes, and a semitone curve that is not the
//   drawn curve's expansion - states the restore, the start and the audio path must cope with;
// - the display curves, for the display's pictures of curves no design gives.
// Read here, as a snapshot does not carry them or would cost too much where they are read: the
// recording's raw buffers and counters (read sample by sample), its band bins and transform
// length, the section count inside a block that already holds the lock, and the output player.

#include "engine/correction_engine.h"
#include "engine/output_player.h"

struct CorrectionEngineProbe {
    // ---- Written ----
    static auto& correctionCascade(CorrectionEngine& e) { return e.correctionCascade; }
    static auto& targetPath(CorrectionEngine& e) { return e.targetPath; }
    static auto& targetPathGain(CorrectionEngine& e) { return e.targetPathGain; }
    static auto& gainFactor(CorrectionEngine& e) { return e.gainFactor; }
    static auto& gainPosition(CorrectionEngine& e) { return e.gainPosition; }
    static auto& workingSampleRate(CorrectionEngine& e) { return e.workingSampleRate; }
    // The 120 points of the curve at high resolution.
    static double* semitoneCurve(CorrectionEngine& e) { return e.userCurve.data() + kHighOffset; }
    static auto& achievedResponse(CorrectionEngine& e) { return e.achievedResponse; }
    static auto& curveMeasured(CorrectionEngine& e) { return e.curveMeasured; }
    static auto& curveResult(CorrectionEngine& e) { return e.curveResult; }
    static auto& curveDesired(CorrectionEngine& e) { return e.curveDesired; }

    // ---- Read ----
    static const auto& recordBuffers(const CorrectionEngine& e) { return e.recordBuffers; }
    static int recordPosition(const CorrectionEngine& e) { return e.recordPosition; }
    static double recordProgress(const CorrectionEngine& e) { return e.recordProgress; }
    static int decimationCounter(const CorrectionEngine& e) { return e.decimationCounter; }
    static int recordingActive(const CorrectionEngine& e) { return e.recordingActive.load(); }
    static int fftLength(const CorrectionEngine& e) { return e.fftLength; }
    static const auto& bandBins(const CorrectionEngine& e) { return e.bandBins; }
    static int cascadeSections(const CorrectionEngine& e) { return e.cascadeSections; }
    static const OutputPlayer& outputPlayer(const CorrectionEngine& e) { return *e.outputPlayer; }
};
