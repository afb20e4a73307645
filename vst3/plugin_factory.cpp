#include "vst3/plugin_factory.h"

#include "vst3/host_parameter.h"

#include <cstring>
#include <new>

namespace vst {

PluginFactory::PluginFactory(const PFactoryInfo& info) : factoryInfo(info) {}

PluginFactory::~PluginFactory() {
    if (onDestroyed) onDestroyed(this);
    if (hostContext) hostContext->release();
}

bool PluginFactory::RegisterClass(const PClassInfo2& info, CreateFunction create, void* context) {
    ClassEntry entry;
    entry.info8 = info;
    std::memset(&entry.info16, 0, sizeof entry.info16);
    std::memcpy(entry.info16.cid, info.cid, sizeof info.cid);
    entry.info16.cardinality = info.cardinality;
    std::memcpy(entry.info16.category, info.category, sizeof info.category);
    WidenText(entry.info16.name, PClassInfo::kNameSize, info.name);
    entry.info16.classFlags = info.classFlags;
    std::memcpy(entry.info16.subCategories, info.subCategories, sizeof info.subCategories);
    WidenText(entry.info16.vendor, PClassInfo2::kVendorSize, info.vendor);
    WidenText(entry.info16.version, PClassInfo2::kVersionSize, info.version);
    WidenText(entry.info16.sdkVersion, PClassInfo2::kVersionSize, info.sdkVersion);
    entry.create = create;
    entry.context = context;
    try {
        if (classes.size() == classes.capacity()) classes.reserve(classes.size() + kGrowBy);
        classes.push_back(entry);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

tresult PluginFactory::queryInterface(const TUID iid, void** obj) {
    if (!obj) return kInvalidArgument;
    FUnknown* found = nullptr;
    if (iid && (IPluginFactory3::iid.Matches(iid) || IPluginFactory2::iid.Matches(iid) ||
                IPluginFactory::iid.Matches(iid) || FUnknown::iid.Matches(iid)))
        found = static_cast<IPluginFactory3*>(this);
    return AnswerInterface(found, obj);
}

tresult PluginFactory::getFactoryInfo(PFactoryInfo* info) {
    if (info) *info = factoryInfo;
    return kResultOk;
}

int32 PluginFactory::countClasses() {
    return static_cast<int32>(classes.size());
}

tresult PluginFactory::getClassInfo(int32 index, PClassInfo* info) {
    if (!info || index < 0 || index >= countClasses()) return kInvalidArgument;
    std::memcpy(info, &classes[static_cast<std::size_t>(index)].info8, sizeof(PClassInfo));
    return kResultOk;
}

tresult PluginFactory::getClassInfo2(int32 index, PClassInfo2* info) {
    if (!info || index < 0 || index >= countClasses()) return kInvalidArgument;
    *info = classes[static_cast<std::size_t>(index)].info8;
    return kResultOk;
}

tresult PluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
    if (!info || index < 0 || index >= countClasses()) return kInvalidArgument;
    *info = classes[static_cast<std::size_t>(index)].info16;
    return kResultOk;
}

tresult PluginFactory::createInstance(FIDString cid, FIDString iid, void** obj) {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (!cid || !iid) return kInvalidArgument;
    for (const ClassEntry& entry : classes) {
        if (std::memcmp(entry.info8.cid, cid, sizeof(TUID)) != 0) continue;
        FUnknown* instance = entry.create ? entry.create(entry.context) : nullptr;
        if (!instance) return kNoInterface;
        const tresult r = instance->queryInterface(iid, obj);
        // The host keeps only the reference the lookup added; a refused lookup destroys the object.
        instance->release();
        if (r != kResultOk) {
            *obj = nullptr;
            return kNoInterface;
        }
        return kResultOk;
    }
    return kNoInterface;
}

tresult PluginFactory::setHostContext(FUnknown* context) {
#if defined(_WIN32)
    (void)context;
    return kNotImplemented;
#else
    if (context) context->addRef();
    if (hostContext) hostContext->release();
    hostContext = context;
    return kResultTrue;
#endif
}

} // namespace vst
