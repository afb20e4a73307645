#include "plugin/alg_engine.h"

#include "engine/correction_engine.h"
#include "framework/effect_base.h"
#include "platform/plugin_lock.h"
#include "plugin/parameter_table.h"

#include <algorithm>

AlgRecord AlgRecordFromEngine(const CorrectionEngine& engine) {
    AlgRecord r;
    r.flags = AlgFlags(engine.outputSelection, engine.inputSelection, engine.resolution);
    r.gainPosition = engine.gainPosition;
    r.targetBands = engine.targetBands;
    r.referenceBands = engine.referenceBands;
    std::copy_n(engine.userCurve.begin(), r.userCurve.size(), r.userCurve.begin());
    return r;
}

void ApplyAlgRecord(const AlgRecord& record, CorrectionEngine& engine, IEffectBase& effect) {
    const AlgSelections s = AlgSelectionsFromFlags(record.flags);
    const double gain = std::clamp(record.gainPosition, 0.0, 1.0);
    {
        PluginLockGuard guard(effect.Lock());
        engine.outputSelection = s.outputSelection;
        engine.inputSelection = s.inputSelection;
        engine.resolution = s.resolution;
        engine.SetGainPosition(gain);
        if (effect.NParams() > kParamGain) {
            effect.GetParam(kParamOutputs)->SetClamped(s.outputSelection);
            effect.GetParam(kParamInputs)->SetClamped(s.inputSelection);
            effect.GetParam(kParamResolution)->SetClamped(s.resolution);
            effect.GetParam(kParamGain)->SetClamped(gain);
        }
        engine.targetBands = record.targetBands;
        engine.referenceBands = record.referenceBands;
        std::copy(record.userCurve.begin(), record.userCurve.end(), engine.userCurve.begin());
        ExpandCurveTo120(engine.userCurve.data(), engine.userCurve.data() + kHighOffset);
        // A file keeps no coherence: how far this measurement can be trusted is not known.
        engine.quality = MeasurementQuality{};
    }
    engine.DesignCorrection();
}
