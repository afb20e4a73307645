#include "tools/vorelline/tool_effect.h"

#include "platform/plugin_lock.h"
#include "plugin/parameter_table.h"

ToolEffect::ToolEffect() : IEffectBase(MicCorrectorFacts("")), engine(*this, nullptr) {
    DefineMicCorrectorParameters(*this);
}

void ToolEffect::PrepareProcessing(double hostSampleRate) {
    {
        PluginLockGuard guard(Lock());
        sampleRate = hostSampleRate;
    }
    Reset();
}

void ToolEffect::OnParamChange(int paramIdx) {
    if (paramIdx == kParamGain) engine.SetGainPosition(GetParam(kParamGain)->value);
}

void ToolEffect::ProcessBlock(double** inputs, double** outputs, int frames) {
    PluginLockGuard guard(Lock());
    engine.ProcessBlock(inputs, outputs, frames);
}

void ToolEffect::SelectInputs(double value) {
    GetParam(kParamInputs)->SetClamped(value);
    engine.SetInputSelection(value);
}

void ToolEffect::SelectOutputs(double value) {
    GetParam(kParamOutputs)->SetClamped(value);
    engine.SetOutputSelection(value);
}

void ToolEffect::SelectResolution(double value) {
    GetParam(kParamResolution)->SetClamped(value);
    engine.SetResolution(value);
}
