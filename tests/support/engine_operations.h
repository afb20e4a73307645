#pragma once

// An engine put into a state through its own operations, the way the plug-in puts it there.

#include "engine/correction_engine.h"
#include "engine/quality_state.h"
#include "framework/byte_chunk.h"

#include <algorithm>

// The correction an engine holds, as one whole: a test changes a part of it and hands it back with
// CorrectionEngine::ApplyCorrection, the way a loaded file arrives.
inline CorrectionSettings CorrectionInForce(const CorrectionEngine& e) {
    const EngineSnapshot s = e.Snapshot();
    CorrectionSettings c;
    c.inputSelection = s.inputSelection;
    c.outputSelection = s.outputSelection;
    c.resolution = s.resolution;
    c.gainPosition = s.gainPosition;
    c.targetBands = s.targetBands;
    c.referenceBands = s.referenceBands;
    std::copy_n(s.userCurve.begin(), c.userCurve.size(), c.userCurve.begin());
    return c;
}

// A measurement's quality as a restored host state's trailer brings it (values out of their range
// are read as the trailer reads them).
inline void RestoreQuality(CorrectionEngine& e, const MeasurementQuality& quality) {
    IByteChunk trailer;
    PutQualityExtension(trailer, quality);
    e.UnserializeQuality(trailer);
}
