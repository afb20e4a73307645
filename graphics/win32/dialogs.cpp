// Modal dialogs: message boxes owned by the host's main window, the file and colour choosers, and
// opening a web address.
#include "graphics/win32/graphics_win.h"

#include <commdlg.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstring>

namespace {

struct MainWindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<MainWindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->processId) return TRUE;
    char name[256] = {};
    GetClassNameA(hwnd, name, int(sizeof name));
    if (std::strcmp(name, search->className) != 0) return TRUE;
    search->found = hwnd;
    return FALSE;
}

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        const auto* cc = reinterpret_cast<const CHOOSECOLORA*>(lp);
        if (cc && cc->lCustData) SetWindowTextA(dialog, reinterpret_cast<const char*>(cc->lCustData));
    }
    return 0;
}

} // namespace

HWND IGraphicsWin::FindMainWindow() {
    if (mainWindow && IsWindow(mainWindow)) return mainWindow;
    mainWindow = nullptr;
    if (parentWindow && IsWindow(parentWindow)) {
        HWND top = parentWindow;
        for (HWND up = GetParent(top); up; up = GetParent(up))
            top = up;
        char name[256] = {};
        GetClassNameA(top, name, int(sizeof name));
        mainWindow = top;
        mainWindowClass = name;
    } else if (!mainWindowClass.empty()) {
        // The editor is closed: the host's main window is found again by its class.
        if (!processId) processId = GetCurrentProcessId();
        MainWindowSearch search{processId, mainWindowClass.c_str(), nullptr};
        EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
        mainWindow = search.found;
    }
    return mainWindow;
}

int IGraphicsWin::MessageDialog(const char* text, const char* caption, int type) {
    return MessageBoxA(FindMainWindow(), text ? text : "", caption ? caption : "", UINT(type));
}

void IGraphicsWin::ChooseFile(std::string& file, int action, std::string& folder, const char* extensions) {
    if (!editorWindow) {
        file.clear();
        return;
    }
    char path[256] = {};
    std::strncpy(path, file.c_str(), sizeof path - 1);
    std::string start = folder;
    if (start.empty()) GetDesktopFolder(start);
    const FileDialogFilter filter = MakeFileDialogFilter(extensions);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = editorWindow;
    ofn.lpstrFilter = filter.filter.empty() ? nullptr : filter.filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path - 1;
    ofn.lpstrInitialDir = start.c_str();
    ofn.lpstrDefExt = filter.defaultExtension.empty() ? nullptr : filter.defaultExtension.c_str();
    // The host's working folder is not the editor's to change.
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    BOOL ok;
    if (action == 1) {
        ofn.Flags |= OFN_OVERWRITEPROMPT;
        ok = GetSaveFileNameA(&ofn);
    } else {
        ofn.Flags |= OFN_FILEMUSTEXIST;
        ok = GetOpenFileNameA(&ofn);
    }
    if (!ok) {
        file.clear();
        return;
    }
    file = path;
    folder = FolderOfPath(file);
}

bool IGraphicsWin::ChooseColour(IArgbColor& colour, const char* prompt) {
    if (!editorWindow) return false;
    if (!customColours) customColours = std::make_unique<COLORREF[]>(16);
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = editorWindow;
    cc.rgbResult = RGB(colour.r, colour.g, colour.b);
    cc.lpCustColors = customColours.get();
    cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    if (prompt) {
        cc.Flags |= CC_ENABLEHOOK;
        cc.lpfnHook = ColourDialogHook;
        cc.lCustData = reinterpret_cast<LPARAM>(prompt);
    }
    if (!ChooseColorA(&cc)) return false;
    colour.r = GetRValue(cc.rgbResult);
    colour.g = GetGValue(cc.rgbResult);
    colour.b = GetBValue(cc.rgbResult);
    return true;
}

bool IGraphicsWin::LaunchUrl(const char* url, const char* caption, const char* confirmText,
                             const char* errorText) {
    if (confirmText && MessageBoxA(editorWindow, confirmText, caption ? caption : "", MB_YESNO) != IDYES)
        return false;
    DWORD connection = 0;
    if (url && InternetGetConnectedState(&connection, 0) &&
        reinterpret_cast<INT_PTR>(ShellExecuteA(editorWindow, "open", url, nullptr, nullptr, SW_SHOWNORMAL)) >
            32)
        return true;
    if (errorText) MessageBoxA(editorWindow, errorText, caption ? caption : "", MB_OK);
    return false;
}
