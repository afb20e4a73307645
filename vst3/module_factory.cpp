#include "vst3/module_factory.h"

#include "platform/plugin_lock.h"
#include "vst3/effect_vst3.h"
#include "vst3/module_identity.h"
#include "vst3/plugin_factory.h"

#include <cstring>
#include <mutex>

using namespace vst;

namespace {

PluginFactory* factorySingleton = nullptr;

// Instance construction is serialised across threads; nothing else uses this lock.
PluginLock& CreationLock() {
    static PluginLock lock;
    return lock;
}

FUnknown* CreateInstance(void*) {
    IEffectVST3* instance = nullptr;
    {
        PluginLockGuard guard(CreationLock());
        try {
            instance = CreatePluginInstance();
        } catch (...) {
            instance = nullptr;
        }
    }
    return instance ? static_cast<IAudioProcessor*>(instance) : nullptr;
}

void CopyField(char* field, std::size_t size, const char* text) {
    std::memset(field, 0, size);
    std::strncpy(field, text, size - 1);
}

const PFactoryInfo& FactoryInfo() {
    static PFactoryInfo info;
    static std::once_flag once;
    std::call_once(once, [] {
        std::memset(&info, 0, sizeof info);
        CopyField(info.vendor, sizeof info.vendor, module_identity::kVendor);
        CopyField(info.url, sizeof info.url, module_identity::kUrl);
        CopyField(info.email, sizeof info.email, module_identity::kEmail);
        info.flags = PFactoryInfo::kUnicode;
    });
    return info;
}

const PClassInfo2& ClassInfo() {
    static PClassInfo2 info;
    static std::once_flag once;
    std::call_once(once, [] {
        std::memset(&info, 0, sizeof info);
        std::memcpy(info.cid, module_identity::kClassId.Data(), sizeof info.cid);
        info.cardinality = PClassInfo::kManyInstances;
        CopyField(info.category, sizeof info.category, module_identity::kCategory);
        CopyField(info.name, sizeof info.name, module_identity::kClassName);
        info.classFlags = kSimpleModeSupported;
        CopyField(info.subCategories, sizeof info.subCategories, module_identity::kSubCategories);
        CopyField(info.version, sizeof info.version, module_identity::kVersion);
        CopyField(info.sdkVersion, sizeof info.sdkVersion, module_identity::kSdkVersion);
    });
    return info;
}

void ForgetFactory(PluginFactory* dying) {
    if (factorySingleton == dying) factorySingleton = nullptr;
}

} // namespace

IPluginFactory* ModuleFactory() {
    if (factorySingleton) {
        factorySingleton->addRef();
        return factorySingleton;
    }
    auto* factory = new (std::nothrow) PluginFactory(FactoryInfo());
    if (!factory) return nullptr;
    factory->onDestroyed = ForgetFactory;
    factory->RegisterClass(ClassInfo(), CreateInstance, nullptr);
    factorySingleton = factory;
    return factory;
}
