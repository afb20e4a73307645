// Entry points of the Linux module.
#include "platform/module_instance.h"
#include "vst3/module_factory.h"

#define TV_EXPORT extern "C" __attribute__((visibility("default")))

TV_EXPORT bool ModuleEntry(void* libraryHandle) {
    SetModuleInstance(libraryHandle);
    return true;
}

TV_EXPORT bool ModuleExit() {
    return true;
}

TV_EXPORT vst::IPluginFactory* GetPluginFactory() {
    return ModuleFactory();
}
