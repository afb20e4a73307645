// A small effect behind the real binding, so the host tests can drive the module end to end
// with an audio path whose output is easy to predict: every output is its input times twice the
// "Gain" value (1.0 at the default).
#include "framework/effect_base.h"
#include "plugin/parameter_table.h"
#include "vst3/effect_vst3.h"
#include "vst3/module_factory.h"

namespace {

class GainTestEffect final : public IEffectVST3 {
  public:
    GainTestEffect() : IEffectVST3(MicCorrectorFacts("tessivane-vorelline.example")) {
        DefineMicCorrectorParameters(*this);
        CaptureDefaultPreset("-");
    }

    void ProcessBlock(double** inputs, double** outputs, int frames) override {
        const double gain = 2.0 * GetParam(kParamGain)->value;
        for (int c = 0; c < NOutChannels(); ++c) {
            const double* in = c < NInChannels() ? inputs[c] : nullptr;
            double* out = outputs[c];
            for (int f = 0; f < frames; ++f)
                out[f] = in ? in[f] * gain : 0.0;
        }
    }
};

} // namespace

IEffectVST3* CreatePluginInstance() {
    return new GainTestEffect();
}
