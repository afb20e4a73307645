#include "platform/user_dialogs.h"

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

namespace {

class Win32UserDialogs final : public IUserDialogs {
  public:
    std::optional<std::string> ChooseFile(const FileDialogRequest& r) override {
        // The filter is "name\0pattern\0\0".
        std::string filter = r.filterName;
        filter.push_back('\0');
        filter += r.filterPattern;
        filter.push_back('\0');
        filter.push_back('\0');
        char file[256] = {};
        OPENFILENAMEA ofn;
        std::memset(&ofn, 0, sizeof ofn);
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = nullptr;
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrInitialDir = r.initialFolder.empty() ? nullptr : r.initialFolder.c_str();
        ofn.lpstrTitle = r.title.c_str();
        ofn.lpstrDefExt = r.defaultExtension.empty() ? nullptr : r.defaultExtension.c_str();
        BOOL chosen;
        if (r.kind == FileDialogRequest::Save) {
            ofn.Flags = OFN_OVERWRITEPROMPT;
            chosen = GetSaveFileNameA(&ofn);
        } else {
            ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
            chosen = GetOpenFileNameA(&ofn);
        }
        if (!chosen || file[0] == '\0') return std::nullopt;
        return std::string(file);
    }

    int OpenWithShell(const std::string& path) override {
        HINSTANCE result = ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return static_cast<int>(reinterpret_cast<INT_PTR>(result));
    }
};

} // namespace

IUserDialogs& PlatformUserDialogs() {
    static Win32UserDialogs dialogs;
    return dialogs;
}
