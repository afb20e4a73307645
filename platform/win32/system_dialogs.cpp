#include "platform/system_dialogs.h"
#include "platform/win32/colour_dialog.h"

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>

namespace {

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        const auto* cc = reinterpret_cast<const CHOOSECOLORA*>(lp);
        if (cc && cc->lCustData) SetWindowTextA(dialog, reinterpret_cast<const char*>(cc->lCustData));
    }
    return 0;
}

} // namespace

int ShowSystemMessageBox(const std::string& text, const std::string& caption, int type, void* owner) {
    return MessageBoxA(static_cast<HWND>(owner), text.c_str(), caption.c_str(), UINT(type));
}

std::optional<std::string> ChooseFileWithSystemDialog(const FileDialogRequest& r, std::string*) {
    // The filter is "name\0pattern\0\0"; patterns without a name name themselves.
    std::string filter;
    if (!r.filterPattern.empty()) {
        filter = r.filterName.empty() ? r.filterPattern : r.filterName;
        filter.push_back('\0');
        filter += r.filterPattern;
        filter.push_back('\0');
        filter.push_back('\0');
    }
    char file[256] = {};
    std::strncpy(file, r.initialFile.c_str(), sizeof file - 1);
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(r.owner);
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = r.initialFolder.empty() ? nullptr : r.initialFolder.c_str();
    ofn.lpstrTitle = r.title.empty() ? nullptr : r.title.c_str();
    ofn.lpstrDefExt = r.defaultExtension.empty() ? nullptr : r.defaultExtension.c_str();
    // The host's working folder is not the editor's to change.
    ofn.Flags = r.strictPaths ? OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR : 0;
    BOOL chosen;
    if (r.kind == FileDialogRequest::Save) {
        ofn.Flags |= OFN_OVERWRITEPROMPT;
        chosen = GetSaveFileNameA(&ofn);
    } else {
        ofn.Flags |= OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
        chosen = GetOpenFileNameA(&ofn);
    }
    if (!chosen || file[0] == '\0') return std::nullopt;
    return std::string(file);
}

std::optional<RgbColour> ChooseColourWithSystemDialog(const RgbColour& initial, const char* prompt,
                                                      void* owner, unsigned long* customColours) {
    COLORREF ownCustom[16] = {};
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = static_cast<HWND>(owner);
    cc.rgbResult = RGB(initial.r, initial.g, initial.b);
    cc.lpCustColors = customColours ? customColours : ownCustom;
    cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    if (prompt) {
        cc.Flags |= CC_ENABLEHOOK;
        cc.lpfnHook = ColourDialogHook;
        cc.lCustData = reinterpret_cast<LPARAM>(prompt);
    }
    if (!ChooseColorA(&cc)) return std::nullopt;
    return RgbColour{GetRValue(cc.rgbResult), GetGValue(cc.rgbResult), GetBValue(cc.rgbResult)};
}

int OpenWithSystem(const std::string& target, void* owner) {
    const HINSTANCE result =
        ShellExecuteA(static_cast<HWND>(owner), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}
