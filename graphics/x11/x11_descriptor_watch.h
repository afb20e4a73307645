#pragma once

#include "vst3/abi/linux_run_loop.h"

#include <atomic>
#include <functional>

// A descriptor the host's run loop watches for the editor (a dialog program's output). Counted
// on its own, as a host may hold on to a handler after it was unregistered: once cut off by
// Disconnect it does nothing.
class X11DescriptorWatch final : public vst::IEventHandler {
  public:
    // Null when the loop refuses the descriptor.
    static X11DescriptorWatch* Register(vst::IRunLoop* loop, int fd, std::function<void()> readable);
    // Unregisters, forgets the callback and drops the creator's reference.
    void Disconnect();

    vst::tresult queryInterface(const vst::TUID iid, void** obj) override;
    vst::uint32 addRef() override { return ++refs; }
    vst::uint32 release() override;
    void onFDIsSet(int fd) override;

  private:
    X11DescriptorWatch(vst::IRunLoop* loop, std::function<void()> readable);
    ~X11DescriptorWatch();

    std::atomic<vst::uint32> refs{1};
    vst::IRunLoop* loop;
    std::function<void()> readable;
    bool watching = false;
};
