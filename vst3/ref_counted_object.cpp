#include "vst3/ref_counted_object.h"

#include <cstring>

namespace vst {

bool SameClassName(const char* a, const char* b) {
    return a && b && std::strcmp(a, b) == 0;
}

bool RefCountedObject::IsTypeOf(const char* name, bool) const {
    return SameClassName(name, "FObject");
}

} // namespace vst
