// Controller entry points: parameter values and texts, units and the factory preset list.
#include "vst3/effect_vst3.h"

#include "framework/host_text.h"
#include "platform/plugin_lock.h"

#include <algorithm>
#include <cmath>

using namespace vst;

tresult IEffectVST3::getParamStringByValue(ParamID id, ParamValue v, String128 string) {
    if (!IsPluginParam(id) || !string) return kResultFalse;
    const double n = std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
    WidenForHost(GetParam(static_cast<int>(id))->FormatForHost(n, true).c_str(), string);
    return kResultOk;
}

ParamValue IEffectVST3::plainParamToNormalized(ParamID id, ParamValue plain) {
    if (!IsPluginParam(id)) return plain;
    return GetParam(static_cast<int>(id))->ToNormalized(plain);
}

// The records are also written by `process` (parameter queues, presets) and by state restores, so
// the controller reads and writes them under the plug-in lock; each hold is a few instructions.
ParamValue IEffectVST3::getParamNormalized(ParamID id) {
    PluginLockGuard guard(Lock());
    if (id == kBypassParamId) return HasBypassParam() ? bypassNormalized.load() : 0.0;
    if (!IsPluginParam(id)) return 0.0;
    const IParamRecord* record = GetParam(static_cast<int>(id));
    return record->ToNormalized(record->value);
}

tresult IEffectVST3::setParamNormalized(ParamID id, ParamValue value) {
    if (id == kBypassParamId && HasBypassParam()) {
        // The controller keeps what the host set, so the host reads it back; the processor
        // switches when the same change arrives in `process`.
        if (!std::isnan(value)) bypassNormalized = std::clamp(value, 0.0, 1.0);
        return kResultOk;
    }
    if (!IsPluginParam(id)) return kResultFalse;
    {
        PluginLockGuard guard(Lock());
        // The record ignores a value that is not a number and holds the rest to its range.
        GetParam(static_cast<int>(id))->SetNormalized(value);
        if (!std::isnan(value)) OnControllerParamEdit(static_cast<int>(id), std::clamp(value, 0.0, 1.0));
    }
    CompleteRequestedWork();
    return kResultOk;
}

tresult IEffectVST3::setKnobMode(KnobMode) {
    return kResultOk;
}
tresult IEffectVST3::openHelp(TBool) {
    return kResultFalse;
}
tresult IEffectVST3::openAboutBox(TBool) {
    return kResultFalse;
}

int32 IEffectVST3::getUnitCount() {
    return static_cast<int32>(paramGroups.size()) + 1;
}

tresult IEffectVST3::getUnitInfo(int32 index, UnitInfo& info) {
    if (index < 0 || index > static_cast<int32>(paramGroups.size())) return kResultFalse;
    info.programListId = kNoProgramListId;
    if (index == 0) {
        info.id = kRootUnitId;
        info.parentUnitId = kNoParentUnitId;
        WidenForHost("Root Unit", info.name);
    } else {
        info.id = index;
        info.parentUnitId = kRootUnitId;
        WidenForHost(paramGroups[static_cast<std::size_t>(index - 1)], info.name);
    }
    return kResultOk;
}

int32 IEffectVST3::getProgramListCount() {
    return 0;
}

tresult IEffectVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
    if (listIndex != 0) return kResultFalse;
    info.id = kFactoryPresetListId;
    WidenForHost("Factory Presets", info.name);
    info.programCount = NPresets();
    return kResultOk;
}

tresult IEffectVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
    if (listId != kFactoryPresetListId || !name) return kResultFalse;
    const IPresetSlot* preset = GetPreset(programIndex);
    WidenForHost(preset ? preset->name : "", name);
    return kResultOk;
}

tresult IEffectVST3::getProgramInfo(ProgramListID, int32, CString, String128) {
    return kNotImplemented;
}
tresult IEffectVST3::hasProgramPitchNames(ProgramListID, int32) {
    return kNotImplemented;
}
tresult IEffectVST3::getProgramPitchName(ProgramListID, int32, int16, String128) {
    return kNotImplemented;
}
UnitID IEffectVST3::getSelectedUnit() {
    return kRootUnitId;
}
tresult IEffectVST3::selectUnit(UnitID) {
    return kNotImplemented;
}
tresult IEffectVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) {
    return kNotImplemented;
}
tresult IEffectVST3::setUnitProgramData(int32, int32, IBStream*) {
    return kNotImplemented;
}
