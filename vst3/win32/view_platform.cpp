#include "vst3/abi/view.h"
#include "vst3/view_platform.h"

const char* ViewPlatformType() {
    return vst::kPlatformTypeHWND;
}
