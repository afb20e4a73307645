#include "platform/user_dialogs.h"

#include "platform/system_dialogs.h"

namespace {

class Win32UserDialogs final : public IUserDialogs {
  public:
    std::optional<std::string> ChooseFile(const FileDialogRequest& r) override {
        return ChooseFileWithSystemDialog(r);
    }
    int OpenWithShell(const std::string& path) override { return OpenWithSystem(path, nullptr); }
};

} // namespace

IUserDialogs& PlatformUserDialogs() {
    static Win32UserDialogs dialogs;
    return dialogs;
}
