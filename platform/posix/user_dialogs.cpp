#include "platform/user_dialogs.h"

#include "platform/message_service.h"
#include "platform/posix/desktop_opener.h"
#include "platform/system_dialogs.h"

#include <sys/stat.h>

namespace {

class PosixUserDialogs final : public IUserDialogs {
  public:
    std::optional<std::string> ChooseFile(const FileDialogRequest& r) override {
        std::string failure;
        std::optional<std::string> chosen = ChooseFileWithSystemDialog(r, &failure);
        if (!failure.empty()) ShowInfo(failure);
        return chosen;
    }

    int OpenWithShell(const std::string& path) override {
        struct stat st;
        if (stat(path.c_str(), &st) != 0) return kShellFileNotFound;
        // Not opened: the user is told where the page is.
        return OpenWithSystem(path, nullptr) == kShellOpened ? kShellOpened : OpenerResult(path, -1);
    }
};

} // namespace

IUserDialogs& PlatformUserDialogs() {
    static PosixUserDialogs dialogs;
    return dialogs;
}
