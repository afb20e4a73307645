// What the editor asks of the system besides its window: folders, the clipboard and images from
// the module's resources.
#include "graphics/win32/graphics_win.h"

#include "platform/file_system.h"
#include "platform/resources.h"
#include "raster/mem_bitmap.h"
#include "raster/png_loader.h"

#include <shlobj.h>

#include <cctype>
#include <cstring>

namespace {

// Paths handed to the editor are at most this long.
constexpr size_t kMaxFolderPath = 256;

std::string ModuleFolderOf(HMODULE module) {
    char name[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(module, name, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return FolderOfPath(name);
}

std::string Limited(const char* path) {
    std::string s(path);
    if (s.size() > kMaxFolderPath) s.resize(kMaxFolderPath);
    return s;
}

} // namespace

std::string FolderOfPath(const std::string& path) {
    const size_t cut = path.find_last_of('\\');
    if (cut == std::string::npos || cut + 1 >= path.size()) return {};
    return path.substr(0, cut + 1);
}

FileDialogFilter MakeFileDialogFilter(const char* extensions) {
    const FileDialogRequest request = FileRequestForExtensions(FileDialogRequest::Open, extensions);
    FileDialogFilter out;
    out.defaultExtension = request.defaultExtension;
    if (request.filterPattern.empty()) return out;
    // The patterns are their own description.
    out.filter = request.filterPattern;
    out.filter.push_back('\0');
    out.filter += request.filterPattern;
    out.filter.push_back('\0');
    out.filter.push_back('\0');
    return out;
}

void IGraphicsWin::GetHostFolder(std::string& path) {
    path = ModuleFolderOf(nullptr);
}

void IGraphicsWin::GetModuleFolder(std::string& path) {
    path = ModuleFolderOf(moduleInstance);
}

void IGraphicsWin::GetDesktopFolder(std::string& path) {
    char buf[MAX_PATH + 1] = {};
    path =
        SHGetSpecialFolderPathA(nullptr, buf, CSIDL_DESKTOPDIRECTORY, FALSE) ? Limited(buf) : std::string();
}

void IGraphicsWin::GetAppDataFolder(std::string& path, bool common) {
    if (!common) {
        // The plug-in's own look-up; a path too long for the system's narrow calls stays empty.
        const std::string local = LocalAppDataFolderPath();
        path = local.size() < MAX_PATH ? Limited(local.c_str()) : std::string();
        return;
    }
    char buf[MAX_PATH + 1] = {};
    path = SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, buf)) ? Limited(buf)
                                                                                       : std::string();
}

bool IGraphicsWin::GetClipboardText(std::string& text) {
    text.clear();
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(editorWindow)) return false;
    bool ok = false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
            if (n > 0) {
                text.resize(size_t(n));
                WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), n, nullptr, nullptr);
                text.resize(size_t(n - 1)); // the terminator
                ok = true;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return ok;
}

RAST_IBitmap* IGraphicsWin::LoadPlatformImage(int resourceId, const char* fileName) {
    // Only PNG resources exist; the name's extension says which kind is wanted.
    if (!fileName || !HasPngExtension(fileName)) return nullptr;
    return LoadPngResource(resourceId);
}
