#include "platform/user_dialogs.h"

#include "platform/message_service.h"
#include "platform/posix/child_process.h"
#include "platform/posix/desktop_opener.h"
#include "platform/posix/dialog_program.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// For callers that may wait (the command-line tool): the dialog program or the opener runs to its
// end. An editor in a host runs them through its run loop instead and never waits here.
class PosixUserDialogs final : public IUserDialogs {
  public:
    std::optional<std::string> ChooseFile(const FileDialogRequest& r) override {
        const DialogProgram program = AvailableDialogProgram();
        if (program == DialogProgram::None) {
            std::fprintf(stderr, "%s: no file dialog is available here (install zenity or kdialog)\n",
                         r.title.c_str());
            return std::nullopt;
        }
        const CommandOutcome outcome = RunCommand(FileDialogCommand(program, r));
        if (!outcome.started) return std::nullopt;
        const FileDialogAnswer answer =
            ReadFileDialogAnswer(r, outcome.exitCode < 0, outcome.exitCode, outcome.output);
        if (answer.kind == FileDialogAnswer::Failed) ShowInfo(answer.message);
        if (answer.kind != FileDialogAnswer::Chosen) return std::nullopt;
        return answer.path;
    }

    int OpenWithShell(const std::string& path) override {
        struct stat st;
        if (stat(path.c_str(), &st) != 0) return kShellFileNotFound;
        return OpenerResult(path, RunBriefly(OpenerCommand(path), kOpenerAnswerMs));
    }
};

} // namespace

IUserDialogs& PlatformUserDialogs() {
    static PosixUserDialogs dialogs;
    return dialogs;
}
