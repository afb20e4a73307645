#include "vst3/host/module_loader.h"

#include <dlfcn.h>
#include <stdlib.h>

namespace {
#if defined(__SANITIZE_ADDRESS__)
// The leak check runs after the module is closed; kept mapped, its libraries' frames keep their
// names, so the sanitizer can tell a leak of ours from the system libraries' known ones.
constexpr int kKeepMapped = RTLD_NODELETE;
#else
constexpr int kKeepMapped = 0;
#endif
} // namespace

LoadedModule::LoadedModule(const std::string& path) {
    handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL | kKeepMapped);
    if (!handle) error = dlerror();
}

LoadedModule::~LoadedModule() {
    if (handle) dlclose(handle);
}

void* LoadedModule::Symbol(const char* name) const {
    return handle ? dlsym(handle, name) : nullptr;
}

void UseDocumentsFolder(const std::string& folder) {
    setenv("XDG_DOCUMENTS_DIR", folder.c_str(), 1);
}

#if defined(__SANITIZE_ADDRESS__)
// The modules draw text, and fontconfig loses a few bytes parsing its configuration; the module's
// own suppression of that is hidden inside it, so the host program states it again.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif
