#pragma once

#include "vst3/abi/unknown.h"

#include <atomic>

namespace vst {

// Base of every object handed to a host: one atomic reference count starting at 1, deletion on
// the last release, and a class-name test for internal down-casts. Interface lookup is left to
// the derived classes, which know their interfaces.
class RefCountedObject {
  public:
    RefCountedObject() = default;
    RefCountedObject(const RefCountedObject&) = delete;
    RefCountedObject& operator=(const RefCountedObject&) = delete;
    virtual ~RefCountedObject() = default;

    uint32 AddReference() { return refCount.fetch_add(1, std::memory_order_relaxed) + 1; }
    uint32 ReleaseReference() {
        const uint32 left = refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete this;
        return left;
    }
    uint32 ReferenceCount() const { return refCount.load(std::memory_order_relaxed); }

    virtual const char* ClassName() const { return "FObject"; }
    // True for this class's name and, when askBaseClasses, for the names of its bases.
    virtual bool IsTypeOf(const char* name, bool askBaseClasses) const;

  private:
    std::atomic<uint32> refCount{1};
};

// Writes the found interface (with a reference) or null, and answers as a host expects.
inline tresult AnswerInterface(FUnknown* found, void** obj) {
    if (!obj) return kInvalidArgument;
    *obj = found;
    if (!found) return kNoInterface;
    found->addRef();
    return kResultOk;
}

// Compares two class names; also the helper for IsTypeOf overrides.
bool SameClassName(const char* a, const char* b);

} // namespace vst
