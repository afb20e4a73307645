#pragma once

#include "graphics/host_run_loop.h"

#include <memory>

namespace vst {
class FUnknown;
}

// The window system the editor view offers to hosts: "HWND" on Windows, "X11EmbedWindowID" on
// Linux. The view accepts only this type in isPlatformTypeSupported and attached.
const char* ViewPlatformType();

// The host's event loop for the editor, found through the view's frame: on Linux the run loop the
// frame offers (null without one); on Windows the window's own thread drives the editor (null).
std::unique_ptr<IHostRunLoop> HostRunLoopFor(vst::FUnknown* frame);
