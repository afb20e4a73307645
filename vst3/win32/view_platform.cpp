#include "vst3/view_platform.h"

#include "vst3/abi/view.h"

const char* ViewPlatformType() {
    return vst::kPlatformTypeHWND;
}

std::unique_ptr<IHostRunLoop> HostRunLoopFor(vst::FUnknown*) {
    return nullptr;
}
