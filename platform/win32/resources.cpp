#include "platform/resources.h"

#include <windows.h>

namespace {

// The module this code is linked into (the plug-in DLL, or the test program).
HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

class Win32Resources : public IResourceSource {
  public:
    ResourceBytes Find(const char* type, int id) override {
        HMODULE module = ThisModule();
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
        if (!found) return {};
        HGLOBAL loaded = LoadResource(module, found);
        if (!loaded) return {};
        const void* data = LockResource(loaded);
        if (!data) return {};
        return {static_cast<const unsigned char*>(data), static_cast<size_t>(SizeofResource(module, found))};
    }
};

} // namespace

void RegisterEmbeddedResources(const EmbeddedResource*, size_t) {}

IResourceSource& ModuleResources() {
    static Win32Resources resources;
    return resources;
}
