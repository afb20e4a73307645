#include "graphics/x11/desktop_services.h"

#include "platform/file_system.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace {

std::string FolderOf(const std::string& path) {
    size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

} // namespace

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    buffer[n] = 0;
    return FolderOf(buffer);
}

std::string ThisModuleFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ThisModuleFolder), &info) || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (!realpath(info.dli_fname, resolved)) return FolderOf(info.dli_fname);
    return FolderOf(resolved);
}

std::string DesktopFolder() {
    if (const char* d = std::getenv("XDG_DESKTOP_DIR"); d && *d) return WithSlash(d);
    if (const char* home = std::getenv("HOME"); home && *home) return WithSlash(home) + "Desktop/";
    return {};
}

std::string DataFolder(bool common) {
    if (!common) return WithSlash(LocalAppDataFolderPath());
    if (const char* dirs = std::getenv("XDG_DATA_DIRS"); dirs && *dirs) {
        std::string all = dirs;
        std::string first = all.substr(0, all.find(':'));
        if (!first.empty()) return WithSlash(first);
    }
    return "/usr/local/share/";
}
