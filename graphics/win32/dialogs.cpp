// Modal dialogs: message boxes owned by the host's main window, the file and colour choosers, and
// opening a web address. The system's dialogs themselves are the platform's; this says whose
// window they belong to.
#include "graphics/win32/graphics_win.h"

#include "platform/system_dialogs.h"
#include "platform/win32/colour_dialog.h"

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
    return ShowSystemMessageBox(text ? text : "", caption ? caption : "", type, FindMainWindow());
}

void IGraphicsWin::ChooseFile(std::string& file, int action, std::string& folder, const char* extensions) {
    if (!editorWindow) {
        file.clear();
        return;
    }
    FileDialogRequest request =
        FileRequestForExtensions(action == 1 ? FileDialogRequest::Save : FileDialogRequest::Open, extensions);
    request.initialFile = file.substr(0, 255);
    request.initialFolder = folder;
    if (request.initialFolder.empty()) GetDesktopFolder(request.initialFolder);
    request.owner = editorWindow;
    request.strictPaths = true;
    const std::optional<std::string> chosen = ChooseFileWithSystemDialog(request);
    if (!chosen) {
        file.clear();
        return;
    }
    file = *chosen;
    folder = FolderOfPath(file);
}

bool IGraphicsWin::ChooseColour(IArgbColor& colour, const char* prompt) {
    if (!editorWindow) return false;
    if (!customColours) customColours = std::make_unique<COLORREF[]>(16);
    const std::optional<RgbColour> chosen = ChooseColourWithSystemDialog(
        {colour.r, colour.g, colour.b}, prompt, editorWindow, customColours.get());
    if (!chosen) return false;
    colour.r = chosen->r;
    colour.g = chosen->g;
    colour.b = chosen->b;
    return true;
}

bool IGraphicsWin::LaunchUrl(const char* url, const char* caption, const char* confirmText,
                             const char* errorText) {
    const std::string title = caption ? caption : "";
    if (confirmText && ShowSystemMessageBox(confirmText, title, MB_YESNO, editorWindow) != IDYES)
        return false;
    DWORD connection = 0;
    if (url && InternetGetConnectedState(&connection, 0) && OpenWithSystem(url, editorWindow) > 32)
        return true;
    if (errorText) ShowSystemMessageBox(errorText, title, MB_OK, editorWindow);
    return false;
}
