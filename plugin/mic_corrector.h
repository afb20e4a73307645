#pragma once

#include "engine/correction_engine.h"
#include "vst3/effect_vst3.h"

#include <string>

// The plug-in's own class: one object per instance. It owns the correction engine and forwards
// the base's audio and state hooks to it; it finds its documents folder and the reference
// microphone's calibration when it is built.
class IMicCorrector : public IEffectVST3 {
  public:
    IMicCorrector();
    ~IMicCorrector() override;

    void Reset() override;
    void OnParamChange(int paramIdx) override;
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    bool SerializeState(IByteChunk& chunk) override;
    int UnserializeState(const IByteChunk& chunk, int position) override;
    void OnPresetRestored() override;

    CorrectionEngine& Engine() { return engine; }
    const std::string& DocumentsFolder() const { return documentsFolder; }
    const std::string& CalibrationLabel() const { return calibrationLabel; }
    const std::string& CalibrationPath() const { return calibrationPath; }

  private:
    CorrectionEngine engine;
    std::string documentsFolder;
    std::string calibrationLabel;
    std::string calibrationPath;
};
