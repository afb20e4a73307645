#pragma once

#include "engine/correction_engine.h"
#include "framework/effect_base.h"
#include "support/effect_facts.h"

// A minimal plug-in around the engine: the four engine parameters and the buttons defined as the
// plug-in defines them, the engine's hooks forwarded (the parameters as the record's tail), and a
// settable host rate.
class EngineEffect : public IEffectBase, public IRecordTail {
  public:
    explicit EngineEffect(double hostRate = 44100.0)
        : IEffectBase(StereoEffectFacts(15, "test")), engine(Lock(), *this, nullptr) {
        sampleRate = hostRate;
        GetParam(0)->InitContinuous("Inputs", 0.0, 0.0, 1.0, 1.0, "", "", 1.0);
        GetParam(1)->InitContinuous("Outputs", 0.0, 0.0, 1.0, 0.5, "", "", 1.0);
        GetParam(2)->InitContinuous("Resolution", 0.0, 0.0, 1.0, 1.0, "", "", 1.0);
        GetParam(3)->InitContinuous("Gain", 0.5, 0.0, 1.0, 0.0001, "", "", 1.0);
        const char* buttons[] = {"Start", "Save", "Load", "Help", "About"};
        for (int i = 0; i < 5; ++i)
            GetParam(4 + i)->InitContinuous(buttons[i], 0.0, 0.0, 1.0, 1.0, "", "", 1.0);
        GetParam(14)->InitContinuous("Reset", 0.0, 0.0, 1.0, 1.0, "", "", 1.0);
    }

    void SetHostRate(double rate) { sampleRate = rate; }

    void Reset() override { engine.Reset(GetSampleRate()); }
    void OnParamChange(int idx) override {
        if (idx == 3) engine.SetGainPosition(GetParam(3)->value);
    }
    void ProcessBlock(double** in, double** out, int frames) override {
        engine.ProcessBlock(in, out, frames);
    }
    bool SerializeState(IByteChunk& c) override { return engine.SerializeState(c); }
    int UnserializeState(const IByteChunk& c, int pos) override { return engine.UnserializeState(c, pos); }
    bool SerializeRecordTail(IByteChunk& c) override { return SerializeParams(c); }
    int UnserializeRecordTail(const IByteChunk& c, int pos) override { return UnserializeParams(c, pos); }

    CorrectionEngine engine;
};
