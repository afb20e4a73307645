#pragma once

#include "engine/correction_design.h"

// The cascades of both filtered outputs from one design's inputs: the reference's calibration
// cascade and the target's correction cascade, so that the audio path can keep both running.
struct PathDesigns {
    const DesignResult* reference = nullptr;
    const DesignResult* target = nullptr;
};

// `selected` is the design already made for in.outputSelection: it stands for the path it belongs
// to, and the other path (both, for the raw target) is designed into the rooms given, with the
// caller's room for the interaction terms. False when a design was abandoned on request.
bool DesignBothPaths(const DesignInputs& in, const DesignResult& selected, DesignResult& referenceRoom,
                     DesignResult& targetRoom, double* interactionTerms, PathDesigns& out);
