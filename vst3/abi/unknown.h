#pragma once

// The root interface every object offers, the plug-in base interface and the host's byte stream.
// Interfaces are single-inheritance chains of pure virtual methods in table order, without virtual
// destructors, data members or overloaded names, so every compiler lays out the same table.

#include "vst3/abi/types.h"

namespace vst {

class FUnknown {
  public:
    static constexpr Uid iid{0x00000000, 0x00000000, 0xC0000000, 0x00000046};
    virtual tresult queryInterface(const TUID iid, void** obj) = 0;
    virtual uint32 addRef() = 0;
    virtual uint32 release() = 0;
};

class IPluginBase : public FUnknown {
  public:
    static constexpr Uid iid{0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625};
    virtual tresult initialize(FUnknown* context) = 0;
    virtual tresult terminate() = 0;
};

class IBStream : public FUnknown {
  public:
    static constexpr Uid iid{0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B};
    enum SeekMode : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };
    virtual tresult read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult tell(int64* pos) = 0;
};

// Asks obj for the interface T; null when it is not offered. The caller owns one reference.
template <typename T> T* QueryAs(FUnknown* obj) {
    if (!obj) return nullptr;
    void* out = nullptr;
    if (obj->queryInterface(T::iid.Data(), &out) != kResultOk) return nullptr;
    return static_cast<T*>(out);
}

} // namespace vst
