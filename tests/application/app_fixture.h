#pragma once

#include "graphics/headless/headless_graphics.h"
#include "platform/user_dialogs.h"
#include "plugin/mic_corrector.h"
#include "support/message_recorder.h"
#include "vst3/abi/processing.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

// Answers the plug-in's file dialogs and shell calls from a script and records what was asked.
class ScriptedDialogs final : public IUserDialogs {
  public:
    ScriptedDialogs() : previous(InstallUserDialogs(this)) {}
    ~ScriptedDialogs() override { InstallUserDialogs(previous); }

    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override {
        requests.push_back(request);
        if (files.empty()) return std::nullopt;
        std::optional<std::string> answer = files.front();
        files.pop_front();
        return answer;
    }
    int OpenWithShell(const std::string& path) override {
        opened.push_back(path);
        return shellResult;
    }

    std::deque<std::optional<std::string>> files; // nullopt: the user cancels
    std::vector<FileDialogRequest> requests;
    std::vector<std::string> opened;
    int shellResult = kShellOpened;

  private:
    IUserDialogs* previous;
};

// One plug-in instance with its headless editor open, as a host shows it, plus a person at the
// mouse. Messages and dialogs never reach the screen.
class EditorApp : public ::testing::Test {
  protected:
    static void SetUpTestSuite();

    void SetUp() override {
        fx = new IMicCorrector(CreateHeadlessEditor);
        editor = static_cast<IGraphicsHeadless*>(fx->Editor());
        ASSERT_NE(editor, nullptr);
        editor->AttachToParent(this);
        editor->TickUntilClean();
    }
    void TearDown() override {
        editor->DetachWindow();
        fx->release();
    }

    void Prepare(double rate) {
        vst::ProcessSetup setup{vst::kRealtime, vst::kSample64, 512, rate};
        ASSERT_EQ(fx->setupProcessing(setup), vst::kResultOk);
    }
    void Click(int x, int y, bool right = false) {
        IMouseMods mods;
        mods.left = !right;
        mods.right = right;
        editor->MouseDown(x, y, mods);
        editor->MouseUp(x, y, mods);
    }
    void ClickCentre(const IPixelRect& r, bool right = false) {
        Click((r.left + r.right) / 2, (r.top + r.bottom) / 2, right);
    }
    // Plays noise on both inputs until the recording is complete (or `maxBlocks` blocks), ticking
    // the editor's timer every `tickEvery` blocks when it is open.
    int PlayUntilRecorded(int tickEvery = 0, int maxBlocks = 4200);

    CorrectionEngine& Engine() { return fx->Engine(); }
    const MicCorrectorControls& Controls() { return fx->Controls(); }
    double Param(int idx) { return fx->GetParam(idx)->value; }

    MessageRecorder messages;
    ScriptedDialogs dialogs;
    IMicCorrector* fx = nullptr;
    IGraphicsHeadless* editor = nullptr;
};
