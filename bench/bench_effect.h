#pragma once

#include "engine/band_grid.h"
#include "engine/correction_engine.h"
#include "framework/byte_chunk.h"
#include "framework/effect_base.h"

#include <cmath>

// A plug-in base with the fifteen parameters that owns a correction engine, as the benchmarks drive
// it: the base's state hooks go to the engine, the host's rate is set directly.
class BenchEffect : public IEffectBase {
  public:
    explicit BenchEffect(double rate = 48000.0) : IEffectBase(Facts()), engine(*this, nullptr) {
        sampleRate = rate;
    }
    bool SerializeState(IByteChunk& c) override { return engine.SerializeState(c); }
    int UnserializeState(const IByteChunk& c, int p) override { return engine.UnserializeState(c, p); }
    CorrectionEngine engine;

  private:
    static EffectFacts Facts() {
        EffectFacts f;
        f.paramCount = 15;
        f.channelIO = "1-1 2-2";
        f.presetCount = 1;
        return f;
    }
};

// The engine ready to play a real correction: a target measured with ±6 dB wiggles over frequency,
// the resolution chosen, the corrected target heard.
inline void PlayWigglyCorrection(BenchEffect& fx, bool highResolution) {
    CorrectionEngine& e = fx.engine;
    e.Reset();
    for (int i = 0; i < kBandCount; ++i)
        e.targetBands[i] = std::pow(10.0, 6.0 * std::sin(std::log(TheBandGrid().bandFrequencies[i])) / 20.0);
    if (highResolution) e.SetResolution(1.0);
    e.SetOutputSelection(1.0);
}
