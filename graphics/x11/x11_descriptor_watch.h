#pragma once

#include "graphics/host_run_loop.h"

#include <functional>

// A descriptor the host's run loop watches for the editor (a dialog program's output).
class X11DescriptorWatch final : private IHostRunLoop::IDescriptorHandler {
  public:
    // Null when the loop refuses the descriptor.
    static X11DescriptorWatch* Register(IHostRunLoop* loop, int fd, std::function<void()> readable);
    // Unregisters and deletes the watch; its callback may do this.
    void Disconnect();

  private:
    X11DescriptorWatch(IHostRunLoop* loop, std::function<void()> readable);
    ~X11DescriptorWatch() = default;
    void OnDescriptorReadable(int fd) override;

    IHostRunLoop* loop;
    std::function<void()> readable;
};
