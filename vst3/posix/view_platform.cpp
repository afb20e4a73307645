#include "vst3/view_platform.h"

#include "vst3/abi/view.h"
#include "vst3/posix/host_run_loop_adapter.h"

const char* ViewPlatformType() {
    return vst::kPlatformTypeX11EmbedWindowID;
}

std::unique_ptr<IHostRunLoop> HostRunLoopFor(vst::FUnknown* frame) {
    return HostRunLoopAdapter::FromFrame(frame);
}
