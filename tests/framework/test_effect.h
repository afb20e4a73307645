#pragma once

#include "framework/effect_base.h"

#include <vector>

// A small plug-in over the base: three parameters, stereo I/O, one preset; records its hooks.
class TestEffect : public IEffectBase {
  public:
    explicit TestEffect(int presetCount = 1)
        : IEffectBase(EffectFacts{3, "1-1 2-2", presetCount, "Test Effect", "", "maker.example", 0x20003,
                                  FourCharCode("Tsv2"), FourCharCode("Tsvn")}) {
        GetParam(0)->InitContinuous("Gain", 0.5, 0.0, 1.0, 0.0001, "", "", 1.0);
        GetParam(1)->InitContinuous("Mode", 1.0, 0.0, 2.0, 1.0, "", "", 1.0);
        GetParam(2)->InitContinuous("Offset", -2.0, -5.0, 5.0, 0.5, "", "", 1.0);
    }

    void OnParamChange(int idx) override {
        IEffectBase::OnParamChange(idx);
        changed.push_back(idx);
    }
    void InformHostOfParamChange(int idx, double normalized) override {
        informed.push_back({idx, normalized});
    }
    void OnPresetRestored() override { ++presetsRestored; }

    // Test access to the binding-side fields.
    using IEffectBase::bypassDelay;
    using IEffectBase::latency;

    std::vector<int> changed;
    std::vector<std::pair<int, double>> informed;
    int presetsRestored = 0;
};

// Records what the base asks of its editor.
class RecordingEditor : public IEditorLink {
  public:
    struct Log {
        std::vector<std::pair<int, double>> hostValues;
        std::vector<std::pair<int, double>> pushed;
        int surfacesPrepared = 0;
        int dirtied = 0;
    };
    explicit RecordingEditor(Log& l) : log(l) {}
    void ApplyHostValueToControls(int idx, double n) override { log.hostValues.push_back({idx, n}); }
    void PrepareSurfaces() override { ++log.surfacesPrepared; }
    void PushParamToControls(int idx, double v) override { log.pushed.push_back({idx, v}); }
    void MarkAllControlsDirty() override { ++log.dirtied; }

  private:
    Log& log;
};
