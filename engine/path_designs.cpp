#include "engine/path_designs.h"

bool DesignBothPaths(const DesignInputs& in, const DesignResult& selected, DesignResult& referenceRoom,
                     DesignResult& targetRoom, double* interactionTerms, PathDesigns& out) {
    const double sel = in.outputSelection;
    DesignInputs each = in;
    if (sel == 0.0) {
        out.reference = &selected;
    } else {
        each.outputSelection = 0.0;
        ComputeCorrection(each, referenceRoom, interactionTerms);
        if (referenceRoom.stopped) return false;
        out.reference = &referenceRoom;
    }
    // Any selection but the reference and the raw target is the corrected target.
    if (sel != 0.0 && sel != 0.5) {
        out.target = &selected;
    } else {
        each.outputSelection = 1.0;
        ComputeCorrection(each, targetRoom, interactionTerms);
        if (targetRoom.stopped) return false;
        out.target = &targetRoom;
    }
    return true;
}
