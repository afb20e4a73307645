#include "vst3/host/module_host.h"

using namespace vst;

namespace {
using GetFactoryProc = IPluginFactory* (*)();
using InitProc = bool (*)();
using EntryProc = bool (*)(void*);
} // namespace

ModuleHost::ModuleHost(const std::string& path) : module(path) {
    if (!module.Loaded()) {
        problem = "cannot load " + path + ": " + module.Error();
        return;
    }
#if defined(_WIN32)
    if (auto init = reinterpret_cast<InitProc>(module.Symbol("InitDll")); init && !init()) {
        problem = "InitDll refused";
        return;
    }
#else
    auto entry = reinterpret_cast<EntryProc>(module.Symbol("ModuleEntry"));
    if (!entry || !module.Symbol("ModuleExit") || !entry(module.Handle())) {
        problem = "ModuleEntry missing or refused";
        return;
    }
#endif
    auto get = reinterpret_cast<GetFactoryProc>(module.Symbol("GetPluginFactory"));
    if (!get || !(factory = get())) {
        problem = "no factory";
        return;
    }
    factory->getClassInfo(0, &classInfo);
}

ModuleHost::~ModuleHost() {
    if (factory) factory->release();
#if defined(_WIN32)
    if (auto exit = reinterpret_cast<InitProc>(module.Symbol("ExitDll"))) exit();
#else
    if (auto exit = reinterpret_cast<InitProc>(module.Symbol("ModuleExit"))) exit();
#endif
}

FUnknown* ModuleHost::Create(const Uid& iid) {
    void* obj = nullptr;
    if (factory->createInstance(classInfo.cid, iid.Data(), &obj) != kResultOk) return nullptr;
    return static_cast<FUnknown*>(obj);
}

Instance::Instance(ModuleHost& host, FUnknown* context) {
    component = static_cast<IComponent*>(host.Create(IComponent::iid));
    if (!component) return;
    initResult = component->initialize(context);
    processor = Query<IAudioProcessor>(component);
    controller = Query<IEditController>(component);
    units = Query<IUnitInfo>(component);
}

Instance::~Instance() {
    if (!component) return;
    component->terminate();
    if (units) units->release();
    if (controller) controller->release();
    if (processor) processor->release();
    component->release();
}

std::u16string Text16(const char16* text) {
    return text ? std::u16string(text) : std::u16string();
}

std::string Narrow(const char16* text) {
    std::string s;
    for (; text && *text; ++text)
        s += *text < 128 ? static_cast<char>(*text) : '?';
    return s;
}
