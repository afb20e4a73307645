#include "engine/correction_engine.h"
#include "graphics/bitmap_control.h"
#include "graphics/text_control.h"
#include "platform/plugin_lock.h"
#include "platform/user_dialogs.h"
#include "plugin/alg_engine.h"
#include "plugin/alg_file.h"
#include "plugin/editor_controls.h"
#include "plugin/help_files.h"
#include "plugin/mic_corrector.h"
#include "plugin/parameter_table.h"

#include <algorithm>

namespace {

FileDialogRequest AlgDialog(FileDialogRequest::Kind kind, const std::string& folder) {
    FileDialogRequest r;
    r.kind = kind;
    r.title = kind == FileDialogRequest::Save ? "Save Preset" : "Load Preset";
    r.filterName = "ALG file";
    r.filterPattern = "*.alg";
    r.defaultExtension = "alg";
    r.initialFolder = folder;
    return r;
}

} // namespace

void IMicCorrector::DoParameterAction(int paramIdx) {
    switch (paramIdx) {
    // A selection reached the engine through OnParamChange as its control passed the value on; the
    // design it asked for runs here, on the editor thread, without the lock.
    case kParamInputs:
    case kParamOutputs:
    case kParamResolution:
        CompleteRequestedWork();
        break;
    case kParamStart:
        engine.StartRecording();
        break;
    case kParamSave:
        SaveCorrection();
        break;
    case kParamLoad:
        LoadCorrection();
        break;
    case kParamHelp:
        ShowHelp(editor);
        break;
    case kParamAbout:
        SetAboutBoxVisible(true);
        break;
    case kParamAboutOk:
        SetAboutBoxVisible(false);
        break;
    case kParamReset:
        engine.ResetUserCurve();
        break;
    default:
        break;
    }
}

void IMicCorrector::SetAboutBoxVisible(bool visible) {
    if (visible) {
        if (controls.aboutPicture) controls.aboutPicture->SetHidden(false);
        if (controls.aboutVersionText) controls.aboutVersionText->SetHidden(false);
        if (controls.aboutOkButton) controls.aboutOkButton->SetHidden(false);
    } else {
        if (controls.aboutVersionText) controls.aboutVersionText->SetHidden(true);
        if (controls.aboutOkButton) controls.aboutOkButton->SetHidden(true);
        if (controls.aboutPicture) controls.aboutPicture->SetHidden(true);
    }
}

void IMicCorrector::ChooseAlgFile(bool save, FileChoiceDone done) {
    const FileDialogRequest request =
        AlgDialog(save ? FileDialogRequest::Save : FileDialogRequest::Open, documentsFolder);
    // The editor may answer later (the host keeps running meanwhile); it never answers once it is
    // closed, and this object outlives its editor.
    if (editor)
        editor->ChooseFileThen(request, std::move(done));
    else
        done(UserDialogs().ChooseFile(request));
}

void IMicCorrector::SaveCorrection() {
    ChooseAlgFile(true, [this](const std::optional<std::string>& path) {
        if (path && !path->empty()) SaveCorrectionFile(*path);
    });
}

void IMicCorrector::SaveCorrectionFile(const std::string& path) {
    // One snapshot: a host restoring its state on another thread is never seen half-way.
    SaveAlgFile(path, AlgRecordFromEngine(engine.Snapshot()));
}

void IMicCorrector::LoadCorrection() {
    ChooseAlgFile(false, [this](const std::optional<std::string>& path) {
        if (path && !path->empty()) LoadCorrectionFile(*path);
    });
}

bool IMicCorrector::LoadCorrectionFile(const std::string& path) {
    AlgRecord record;
    if (!LoadAlgFile(path, record)) return false;
    ApplyCorrectionRecord(record);
    return true;
}

void IMicCorrector::ApplyCorrectionRecord(const AlgRecord& record) {
    // The whole correction in one engine operation, which asks for one design; the parameter
    // records take the same values.
    ApplyAlgRecord(record, engine, *this);
    // Each selection and the gain go to their control, which shows it and tells the host; what
    // reaches OnParamChange on the way is what the engine holds already.
    const CorrectionSettings s = CorrectionFromAlgRecord(record);
    if (controls.outputsSelector) controls.outputsSelector->ApplyUserValue(s.outputSelection);
    if (controls.inputsSelector) controls.inputsSelector->ApplyUserValue(s.inputSelection);
    if (controls.resolutionSelector) controls.resolutionSelector->ApplyUserValue(s.resolution);
    if (controls.gainFader) controls.gainFader->ApplyUserValue(s.gainPosition);
    CompleteRequestedWork();
    if (Graphics()) Graphics()->MarkAllControlsDirty();
}
