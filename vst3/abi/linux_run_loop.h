#pragma once

// The host's event loop on Linux, reached through the editor's frame: the plug-in registers a
// handler for a file descriptor and periodic timers, and the host calls them on its UI thread.

#include "vst3/abi/unknown.h"

namespace vst {

class IEventHandler : public FUnknown {
  public:
    static constexpr Uid iid{0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983};
    virtual void onFDIsSet(int fd) = 0;
};

class ITimerHandler : public FUnknown {
  public:
    static constexpr Uid iid{0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9};
    virtual void onTimer() = 0;
};

class IRunLoop : public FUnknown {
  public:
    static constexpr Uid iid{0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389};
    virtual tresult registerEventHandler(IEventHandler* handler, int fd) = 0;
    virtual tresult unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult registerTimer(ITimerHandler* handler, uint64 milliseconds) = 0;
    virtual tresult unregisterTimer(ITimerHandler* handler) = 0;
};

} // namespace vst
