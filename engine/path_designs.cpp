#include "engine/path_designs.h"

bool DesignBothPaths(const DesignInputs& in, const DesignResult& selected, DesignResult& referenceRoom,
                     DesignResult& targetRoom, double* interactionTerms, PathDesigns& out) {
    const double sel = in.outputSelection;
    // The selected output's design serves its own path; the other path is designed into its room.
    auto path = [&](bool isSelected, double selection, DesignResult& room) -> const DesignResult* {
        if (isSelected) return &selected;
        DesignInputs each = in;
        each.outputSelection = selection;
        ComputeCorrection(each, room, interactionTerms);
        return room.stopped ? nullptr : &room;
    };
    out.reference = path(sel == 0.0, 0.0, referenceRoom);
    if (!out.reference) return false;
    // Any selection but the reference and the raw target is the corrected target.
    out.target = path(sel != 0.0 && sel != 0.5, 1.0, targetRoom);
    return out.target != nullptr;
}
