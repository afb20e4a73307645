#pragma once

// Loads a module the way a host does and hands out instances, reaching the plug-in only through
// the binary interface.

#include "support/host_objects.h"
#include "support/module_loader.h"
#include "vst3/abi/component.h"
#include "vst3/abi/controller.h"
#include "vst3/abi/factory.h"
#include "vst3/abi/view.h"

#include <gtest/gtest.h>

#include <string>

// One loaded module with its factory.
class ModuleHost {
  public:
    explicit ModuleHost(const std::string& path);
    ~ModuleHost();

    bool Ready() const { return factory != nullptr; }
    const std::string& Problem() const { return problem; }
    vst::IPluginFactory* Factory() const { return factory; }
    const LoadedModule& Module() const { return module; }
    // The first class's ID.
    const char* ClassId() const { return classInfo.cid; }

    // A new instance asked for as iid, or null.
    vst::FUnknown* Create(const vst::Uid& iid);

  private:
    LoadedModule module;
    vst::IPluginFactory* factory = nullptr;
    vst::PClassInfo classInfo{};
    std::string problem;
};

// One instance, initialised, with each interface a host uses and the references released at the end.
struct Instance {
    explicit Instance(ModuleHost& host, vst::FUnknown* context);
    ~Instance();

    vst::IComponent* component = nullptr;
    vst::IAudioProcessor* processor = nullptr;
    vst::IEditController* controller = nullptr;
    vst::IUnitInfo* units = nullptr;
    vst::tresult initResult = vst::kInternalError;

    // The count of references on the object, seen by adding and dropping one.
    vst::uint32 References() {
        const vst::uint32 n = component->addRef();
        component->release();
        return n - 1;
    }
};

std::u16string Text16(const vst::char16* text);
std::string Narrow(const vst::char16* text);

template <typename T> T* Query(vst::FUnknown* obj) {
    void* out = nullptr;
    return obj && obj->queryInterface(T::iid.Data(), &out) == vst::kResultOk ? static_cast<T*>(out) : nullptr;
}
