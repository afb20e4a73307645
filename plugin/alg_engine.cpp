#include "plugin/alg_engine.h"

#include "engine/correction_engine.h"
#include "framework/effect_base.h"
#include "platform/plugin_lock.h"
#include "plugin/parameter_table.h"

#include <algorithm>

AlgRecord AlgRecordFromEngine(const EngineSnapshot& snapshot) {
    AlgRecord r;
    r.flags = AlgFlags(snapshot.outputSelection, snapshot.inputSelection, snapshot.resolution);
    r.gainPosition = snapshot.gainPosition;
    r.targetBands = snapshot.targetBands;
    r.referenceBands = snapshot.referenceBands;
    std::copy_n(snapshot.userCurve.begin(), r.userCurve.size(), r.userCurve.begin());
    return r;
}

CorrectionSettings CorrectionFromAlgRecord(const AlgRecord& record) {
    const AlgSelections s = AlgSelectionsFromFlags(record.flags);
    CorrectionSettings c;
    c.outputSelection = s.outputSelection;
    c.inputSelection = s.inputSelection;
    c.resolution = s.resolution;
    c.gainPosition = std::clamp(record.gainPosition, 0.0, 1.0);
    c.targetBands = record.targetBands;
    c.referenceBands = record.referenceBands;
    std::copy(record.userCurve.begin(), record.userCurve.end(), c.userCurve.begin());
    return c;
}

void ApplyAlgRecord(const AlgRecord& record, CorrectionEngine& engine, IEffectBase& effect) {
    const CorrectionSettings c = CorrectionFromAlgRecord(record);
    {
        PluginLockGuard guard(effect.Lock());
        if (effect.NParams() > kParamGain) {
            effect.GetParam(kParamOutputs)->SetClamped(c.outputSelection);
            effect.GetParam(kParamInputs)->SetClamped(c.inputSelection);
            effect.GetParam(kParamResolution)->SetClamped(c.resolution);
            effect.GetParam(kParamGain)->SetClamped(c.gainPosition);
        }
    }
    engine.ApplyCorrection(c);
}
