#include "support/module_loader.h"

#include <dlfcn.h>
#include <stdlib.h>

LoadedModule::LoadedModule(const std::string& path) {
    // Kept mapped after dlclose, so that the leak checker can still name the libraries the module
    // brought in (fontconfig keeps its configuration for the life of the process).
    handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
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
