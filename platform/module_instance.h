#pragma once

// The loaded module's own handle (the plug-in's DLL, not the host program), stored by the module's
// entry code and used wherever the module reads its own resources or file name. Null until set.
inline void*& ModuleInstanceSlot() {
    static void* handle = nullptr;
    return handle;
}
inline void* ModuleInstance() {
    return ModuleInstanceSlot();
}
inline void SetModuleInstance(void* handle) {
    ModuleInstanceSlot() = handle;
}
