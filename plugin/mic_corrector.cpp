#include "plugin/mic_corrector.h"

#include "engine/band_grid.h"
#include "plugin/calibration_file.h"
#include "plugin/documents_folder.h"
#include "plugin/parameter_table.h"
#include "vst3/module_factory.h"
#include "vst3/module_identity.h"

IMicCorrector::IMicCorrector()
    : IEffectVST3(MicCorrectorFacts(module_identity::kVendor)), engine(*this, nullptr) {
    // The engine starts from its initial values and the fixed band grid; the grid is built once.
    TheBandGrid();
    documentsFolder = PrepareDocumentsFolder();
    if (!documentsFolder.empty()) {
        const CalibrationInfo calibration = FindCalibration(documentsFolder, TheBandGrid().bandFrequencies);
        calibrationLabel = calibration.label;
        calibrationPath = calibration.path;
        engine.calibrationGain = calibration.gain;
    }
    DefineMicCorrectorParameters(*this);
    for (int i = 0; i < kMicCorrectorParamCount; ++i)
        if (const char* title = EditorOnlyHostTitle(i)) NameEditorOnlyParam(i, title);
    // The editor is not built yet: the instance runs without one.
    CaptureDefaultPreset("-");
}

IMicCorrector::~IMicCorrector() = default;

void IMicCorrector::Reset() {
    engine.Reset();
}

void IMicCorrector::OnParamChange(int paramIdx) {
    PluginLockGuard guard(Lock());
    if (paramIdx == kParamGain) engine.SetGainPosition(GetParam(kParamGain)->value);
}

void IMicCorrector::ProcessBlock(double** inputs, double** outputs, int frames) {
    engine.ProcessBlock(inputs, outputs, frames);
}

bool IMicCorrector::SerializeState(IByteChunk& chunk) {
    return engine.SerializeState(chunk);
}

int IMicCorrector::UnserializeState(const IByteChunk& chunk, int position) {
    return engine.UnserializeState(chunk, position);
}

void IMicCorrector::OnPresetRestored() {
    PluginLockGuard guard(Lock());
    if (Graphics()) Graphics()->MarkAllControlsDirty();
}

IEffectVST3* CreatePluginInstance() {
    return new IMicCorrector();
}
