#include "support/module_loader.h"

#include <windows.h>

namespace {
// Build paths are Unix paths; under Wine they live on drive Z:.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}
} // namespace

LoadedModule::LoadedModule(const std::string& path) {
    handle = reinterpret_cast<void*>(LoadLibraryA(WindowsPath(path).c_str()));
    if (!handle) error = "LoadLibrary failed with " + std::to_string(GetLastError());
}

LoadedModule::~LoadedModule() {
    if (handle) FreeLibrary(static_cast<HMODULE>(handle));
}

void* LoadedModule::Symbol(const char* name) const {
    return handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name)) : nullptr;
}

// Under Wine the documents folder lies in the test prefix already.
void UseDocumentsFolder(const std::string&) {}
