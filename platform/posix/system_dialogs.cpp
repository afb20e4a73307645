#include "platform/system_dialogs.h"

#include "platform/posix/child_process.h"
#include "platform/posix/desktop_opener.h"
#include "platform/posix/dialog_program.h"

#include <cstdio>

// The desktop's dialog programs run to their end: for callers that may wait. An editor in a host
// runs them through its run loop instead.

namespace {

void SayNoDialogProgram(const char* what, const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "Tessivane Vorelline: cannot show %s: neither zenity nor kdialog is installed.",
                 what);
    if (!caption.empty()) std::fprintf(stderr, " %s:", caption.c_str());
    if (!text.empty()) std::fprintf(stderr, " %s", text.c_str());
    std::fputc('\n', stderr);
}

} // namespace

int ShowSystemMessageBox(const std::string& text, const std::string& caption, int type, void*) {
    const DialogProgram program = AvailableDialogProgram();
    if (program == DialogProgram::None) {
        SayNoDialogProgram("a message", caption, text);
        return MessageBoxAnswer(program, type, false, -1, {});
    }
    const CommandOutcome outcome = RunCommand(MessageBoxCommand(program, text, caption, type));
    return MessageBoxAnswer(program, type, outcome.started, outcome.exitCode, outcome.output);
}

std::optional<std::string> ChooseFileWithSystemDialog(const FileDialogRequest& request,
                                                      std::string* failure) {
    const DialogProgram program = AvailableDialogProgram();
    if (program == DialogProgram::None) {
        if (request.title.empty())
            SayNoDialogProgram("a file dialog", {}, {});
        else
            std::fprintf(stderr, "%s: no file dialog is available here (install zenity or kdialog)\n",
                         request.title.c_str());
        return std::nullopt;
    }
    const CommandOutcome outcome = RunCommand(FileDialogCommand(program, request));
    if (!outcome.started) return std::nullopt;
    const FileDialogAnswer answer =
        ReadFileDialogAnswer(request, outcome.exitCode < 0, outcome.exitCode, outcome.output);
    if (answer.kind == FileDialogAnswer::Failed && failure) *failure = answer.message;
    if (answer.kind != FileDialogAnswer::Chosen) return std::nullopt;
    return answer.path;
}

int OpenWithSystem(const std::string& target, void*) {
    const int result = RunBriefly(OpenerCommand(target), kOpenerAnswerMs);
    return result == 0 || result == kStillRunning ? kShellOpened : 0;
}
