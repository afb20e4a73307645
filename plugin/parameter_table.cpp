#include "plugin/parameter_table.h"

#include "framework/effect_base.h"

#include <algorithm>
#include <cmath>

namespace {
struct ParamRow {
    int index;
    const char* name;
    double min, max, step, defaultValue;
    bool automatable; // false for the action buttons: a host value would only replay a click
};

constexpr ParamRow kRows[] = {
    {kParamInputs, "Inputs", 0.0, 1.0, 1.0, 0.0, true},
    {kParamOutputs, "Outputs", 0.0, 1.0, 0.5, 0.0, true},
    {kParamResolution, "Resolution", 0.0, 1.0, 1.0, 0.0, true},
    {kParamGain, "Gain", 0.0, 1.0, 0.0001, 0.5, true},
    {kParamStart, "Start", 0.0, 1.0, 1.0, 0.0, false},
    {kParamSave, "Save", 0.0, 1.0, 1.0, 0.0, false},
    {kParamLoad, "Load", 0.0, 1.0, 1.0, 0.0, false},
    {kParamHelp, "Help", 0.0, 1.0, 1.0, 0.0, false},
    {kParamAbout, "About", 0.0, 1.0, 1.0, 0.0, false},
    {kParamReset, "Reset", 0.0, 1.0, 1.0, 0.0, false},
};
static_assert(kRows[kParamInputs].index == kParamInputs && kRows[kParamOutputs].index == kParamOutputs &&
                  kRows[kParamResolution].index == kParamResolution,
              "NearestChoice finds a selection's row by its index");
} // namespace

void DefineMicCorrectorParameters(IEffectBase& effect) {
    if (effect.NParams() < kMicCorrectorParamCount) return;
    for (const ParamRow& row : kRows) {
        IParamRecord* record = effect.GetParam(row.index);
        record->InitContinuous(row.name, row.defaultValue, row.min, row.max, row.step, "", "", 1.0);
        record->canAutomate = row.automatable;
    }
}

double NearestChoice(int paramIdx, double value) {
    if (paramIdx != kParamInputs && paramIdx != kParamOutputs && paramIdx != kParamResolution) return value;
    if (std::isnan(value)) return value;
    const double intervals = 1.0 / kRows[paramIdx].step;
    // Rounded as the editor's radio buttons round: ties go to the upper choice.
    return std::clamp(std::floor(value * intervals + 0.5) / intervals, 0.0, 1.0);
}

const char* EditorOnlyHostTitle(int index) {
    switch (index) {
    case kParamProgress:
        return "Progress";
    case kParamAboutOk:
        return "About OK";
    case 11:
        return "Reserved 11";
    case 12:
        return "Reserved 12";
    case kParamDisplay:
        return "Response Display";
    default:
        return nullptr;
    }
}

EffectFacts MicCorrectorFacts(const char* makerName) {
    EffectFacts f;
    f.paramCount = kMicCorrectorParamCount;
    f.channelIO = "1-1 2-2";
    f.presetCount = 1;
    f.effectName = "Tessivane Vorelline";
    f.productName = "";
    f.makerName = makerName;
    f.version = 0x20003;
    f.uniqueId = FourCharCode("Tsv2");
    f.makerId = FourCharCode("Tsvn");
    return f;
}
