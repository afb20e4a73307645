#pragma once

#include "engine/correction_engine.h"
#include "framework/effect_base.h"

#include <string>
#include <vector>

// A minimal plug-in around the engine: the four engine parameters and the buttons defined as the
// plug-in defines them, the engine's hooks forwarded, and a settable host rate.
class TestEffect : public IEffectBase {
  public:
    TestEffect() : IEffectBase(Facts()), engine(*this, nullptr) {
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

    void Reset() override { engine.Reset(); }
    void OnParamChange(int idx) override {
        if (idx == 3) engine.SetGainPosition(GetParam(3)->value);
    }
    void ProcessBlock(double** in, double** out, int frames) override {
        engine.ProcessBlock(in, out, frames);
    }
    bool SerializeState(IByteChunk& c) override { return engine.SerializeState(c); }
    int UnserializeState(const IByteChunk& c, int pos) override { return engine.UnserializeState(c, pos); }

    CorrectionEngine engine;

  private:
    static EffectFacts Facts() {
        EffectFacts f;
        f.paramCount = 15;
        f.channelIO = "1-1 2-2";
        f.presetCount = 1;
        f.effectName = "test";
        return f;
    }
};

// Records every editor-bound effect of the engine as a line of text, in order.
class EventLog : public IEngineListener {
  public:
    void OnRecordProgress(double v) override {
        progress.push_back(v);
        events.push_back("progress");
    }
    void OnProgressBarVisible(bool v) override { events.push_back(v ? "show" : "hide"); }
    void OnAnalysisTrigger(double v) override {
        trigger = v;
        events.push_back("trigger");
    }
    void OnOutputsChanged(double v) override { events.push_back("outputs " + std::to_string(v)); }
    void OnCurvesChanged() override { ++designs; }

    std::vector<std::string> events;
    std::vector<double> progress;
    double trigger = 0.0;
    int designs = 0;
};

// Runs the engine's audio path over frames of two constant or generated channels.
struct Stereo {
    std::vector<double> in0, in1, out0, out1;
    explicit Stereo(int frames) : in0(frames), in1(frames), out0(frames, -7.0), out1(frames, -7.0) {}
    void Run(CorrectionEngine& e) {
        double* in[2] = {in0.data(), in1.data()};
        double* out[2] = {out0.data(), out1.data()};
        e.ProcessBlock(in, out, static_cast<int>(in0.size()));
    }
};
