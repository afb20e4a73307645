#pragma once

#include "engine/correction_engine.h"
#include "framework/effect_base.h"

// The tool plays the host for one plug-in instance without an editor: a plug-in base with the
// fifteen parameters that owns the engine and forwards the hooks to it, as the plug-in class does.
class ToolEffect final : public IEffectBase {
  public:
    ToolEffect();

    // What a host's processing set-up does: store the rate, then Reset.
    void PrepareProcessing(double hostSampleRate);

    void Reset() override { engine.Reset(); }
    void OnParamChange(int paramIdx) override;
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    bool SerializeState(IByteChunk& chunk) override { return engine.SerializeState(chunk); }
    int UnserializeState(const IByteChunk& chunk, int position) override {
        return engine.UnserializeState(chunk, position);
    }

    // A selector action as the editor performs it: parameter value first, then the engine.
    void SelectInputs(double value);
    void SelectOutputs(double value);
    void SelectResolution(double value);

    CorrectionEngine engine;
};
