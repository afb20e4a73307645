#pragma once

#include "platform/posix/child_process.h"

#include <chrono>
#include <string>

class X11DescriptorWatch;

// The desktop's opener running for the X11 editor: the page it was asked for and when it began.
struct X11DocumentOpener {
    std::string page;
    ChildProcess child;
    X11DescriptorWatch* watch = nullptr;
    std::chrono::steady_clock::time_point started;
};
