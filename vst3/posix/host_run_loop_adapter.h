#pragma once

#include "graphics/host_run_loop.h"
#include "vst3/abi/linux_run_loop.h"

#include <memory>
#include <vector>

// A Linux host's run loop, found through the view's frame, as the editor's run loop. The host
// holds counted handler objects of ours, one for each registration, and may hold on to one (or
// call it once more) after it was unregistered: each is cut off from the editor's handler when
// it is unregistered or this adapter goes, and then does nothing.
class HostRunLoopAdapter final : public IHostRunLoop {
  public:
    // Null when there is no frame or it offers no run loop.
    static std::unique_ptr<HostRunLoopAdapter> FromFrame(vst::FUnknown* frame);
    // Takes over one reference on loop.
    explicit HostRunLoopAdapter(vst::IRunLoop* loop);
    ~HostRunLoopAdapter() override;
    HostRunLoopAdapter(const HostRunLoopAdapter&) = delete;
    HostRunLoopAdapter& operator=(const HostRunLoopAdapter&) = delete;

    bool WatchDescriptor(IDescriptorHandler* handler, int fd) override;
    bool StartTimer(ITimerHandler* handler, uint64_t intervalMs) override;
    void StopWatching(IDescriptorHandler* handler) override;
    void StopTimer(ITimerHandler* handler) override;

  private:
    class DescriptorLink;
    class TimerLink;

    vst::IRunLoop* loop;
    std::vector<DescriptorLink*> descriptors;
    std::vector<TimerLink*> timers;
};
