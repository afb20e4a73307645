// Entry points of the Windows module.
#include "platform/module_instance.h"
#include "vst3/module_factory.h"

#include <windows.h>

namespace {
wchar_t moduleFolder[MAX_PATH] = {};

void RememberModule(HINSTANCE instance) {
    SetModuleInstance(instance);
    DWORD n = GetModuleFileNameW(instance, moduleFolder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        moduleFolder[0] = 0;
        return;
    }
    // Keep the folder, up to and including the last backslash.
    for (DWORD i = n; i > 0; --i)
        if (moduleFolder[i - 1] == L'\\') {
            moduleFolder[i] = 0;
            return;
        }
    moduleFolder[0] = 0;
}
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) RememberModule(instance);
    return TRUE;
}

extern "C" __declspec(dllexport) bool InitDll() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&InitDll), &self);
    if (self) SetModuleInstance(self);
    return true;
}

extern "C" __declspec(dllexport) bool ExitDll() {
    return true;
}

extern "C" __declspec(dllexport) vst::IPluginFactory* GetPluginFactory() {
    return ModuleFactory();
}
