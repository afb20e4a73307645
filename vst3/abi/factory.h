#pragma once

// The class factory a module hands out and the records that describe it and its classes.

#include "vst3/abi/unknown.h"

namespace vst {

struct PFactoryInfo {
    enum : int32 { kNoFlags = 0, kClassesDiscardable = 1, kComponentNonDiscardable = 8, kUnicode = 16 };
    static constexpr int kNameSize = 64, kURLSize = 256, kEmailSize = 128;
    char8 vendor[kNameSize];
    char8 url[kURLSize];
    char8 email[kEmailSize];
    int32 flags;
};

struct PClassInfo {
    static constexpr int32 kManyInstances = 0x7FFFFFFF;
    static constexpr int kCategorySize = 32, kNameSize = 64;
    TUID cid;
    int32 cardinality;
    char8 category[kCategorySize];
    char8 name[kNameSize];
};

enum ComponentFlags : uint32 { kDistributable = 1, kSimpleModeSupported = 2 };

struct PClassInfo2 {
    static constexpr int kVendorSize = 64, kVersionSize = 64, kSubCategoriesSize = 128;
    TUID cid;
    int32 cardinality;
    char8 category[PClassInfo::kCategorySize];
    char8 name[PClassInfo::kNameSize];
    uint32 classFlags;
    char8 subCategories[kSubCategoriesSize];
    char8 vendor[kVendorSize];
    char8 version[kVersionSize];
    char8 sdkVersion[kVersionSize];
};

struct PClassInfoW {
    TUID cid;
    int32 cardinality;
    char8 category[PClassInfo::kCategorySize];
    char16 name[PClassInfo::kNameSize];
    uint32 classFlags;
    char8 subCategories[PClassInfo2::kSubCategoriesSize];
    char16 vendor[PClassInfo2::kVendorSize];
    char16 version[PClassInfo2::kVersionSize];
    char16 sdkVersion[PClassInfo2::kVersionSize];
};

class IPluginFactory : public FUnknown {
  public:
    static constexpr Uid iid{0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F};
    virtual tresult getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 countClasses() = 0;
    virtual tresult getClassInfo(int32 index, PClassInfo* info) = 0;
    virtual tresult createInstance(FIDString cid, FIDString iid, void** obj) = 0;
};

class IPluginFactory2 : public IPluginFactory {
  public:
    static constexpr Uid iid{0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB};
    virtual tresult getClassInfo2(int32 index, PClassInfo2* info) = 0;
};

class IPluginFactory3 : public IPluginFactory2 {
  public:
    static constexpr Uid iid{0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931};
    virtual tresult getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult setHostContext(FUnknown* context) = 0;
};

static_assert(sizeof(PFactoryInfo) == 452 && alignof(PFactoryInfo) == 4);
static_assert(sizeof(PClassInfo) == 116 && alignof(PClassInfo) == 4);
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, classFlags) == 116);
static_assert(offsetof(PClassInfo2, sdkVersion) == 376);
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, classFlags) == 180);
static_assert(offsetof(PClassInfoW, sdkVersion) == 568);

} // namespace vst
