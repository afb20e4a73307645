#pragma once

#include "vst3/abi/factory.h"
#include "vst3/ref_counted_object.h"

#include <vector>

namespace vst {

// Creates one new object with reference count 1 and returns its root interface, or null.
using CreateFunction = FUnknown* (*)(void* context);

// The module's class factory: describes its classes in 8-bit and UTF-16 forms and creates
// instances of them.
class PluginFactory : public RefCountedObject, public IPluginFactory3 {
  public:
    explicit PluginFactory(const PFactoryInfo& info);
    ~PluginFactory() override;

    // Registers a class; false when the class array could not grow.
    bool RegisterClass(const PClassInfo2& info, CreateFunction create, void* context);

    tresult queryInterface(const TUID iid, void** obj) override;
    uint32 addRef() override { return AddReference(); }
    uint32 release() override { return ReleaseReference(); }

    tresult getFactoryInfo(PFactoryInfo* info) override;
    int32 countClasses() override;
    tresult getClassInfo(int32 index, PClassInfo* info) override;
    tresult createInstance(FIDString cid, FIDString iid, void** obj) override;
    tresult getClassInfo2(int32 index, PClassInfo2* info) override;
    tresult getClassInfoUnicode(int32 index, PClassInfoW* info) override;
    tresult setHostContext(FUnknown* context) override;

    const char* ClassName() const override { return "PluginFactory"; }

    // Called when the factory is destroyed, so the module can forget its singleton.
    void (*onDestroyed)(PluginFactory*) = nullptr;

  private:
    struct ClassEntry {
        PClassInfo2 info8;
        PClassInfoW info16;
        CreateFunction create;
        void* context;
    };
    static constexpr std::size_t kGrowBy = 10;

    PFactoryInfo factoryInfo;
    std::vector<ClassEntry> classes;
    FUnknown* hostContext = nullptr;
};

} // namespace vst
