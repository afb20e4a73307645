#pragma once

#include <cstdint>

// The event loop of the application that hosts the editor's window, for window back ends without
// a thread or loop of their own (X11): it calls a handler when a descriptor turns readable and
// another at a fixed interval, on the thread the editor lives on. Whoever binds the editor to a
// host adapts the host's loop to this; the editor keeps its handlers registered only while its
// window is open.
class IHostRunLoop {
  public:
    class IDescriptorHandler {
      public:
        virtual void OnDescriptorReadable(int fd) = 0;

      protected:
        ~IDescriptorHandler() = default;
    };
    class ITimerHandler {
      public:
        virtual void OnTimer() = 0;

      protected:
        ~ITimerHandler() = default;
    };

    virtual ~IHostRunLoop() = default;

    // False when the loop refuses. A handler is registered at most once of each kind.
    virtual bool WatchDescriptor(IDescriptorHandler* handler, int fd) = 0;
    virtual bool StartTimer(ITimerHandler* handler, uint64_t intervalMs) = 0;
    // Once stopped, a handler is never called again, and it may go away at once (even from inside
    // its own call). Stopping one that is not registered does nothing.
    virtual void StopWatching(IDescriptorHandler* handler) = 0;
    virtual void StopTimer(ITimerHandler* handler) = 0;
};
