#pragma once

#include "vst3/abi/linux_run_loop.h"

#include <atomic>

class IGraphicsX11;

// What the host's run loop calls: the X connection's descriptor became readable, and the 40 ms
// timer. A separate counted object, because a host may hold on to it (or call it once more) after
// the editor window is gone: cut off by Disconnect, it then does nothing.
class X11RunLoopLink final : public vst::IEventHandler, public vst::ITimerHandler {
  public:
    // Registers with the run loop (which it keeps a reference on) for fd and a timer of
    // intervalMs; null when the loop refuses either.
    static X11RunLoopLink* Register(vst::IRunLoop* loop, IGraphicsX11* editor, int fd,
                                    vst::uint64 intervalMs);
    // Unregisters, forgets the editor and drops the creator's reference.
    void Disconnect();
    // Stops watching the descriptor (a broken connection would make it readable forever).
    void StopWatching();

    vst::tresult queryInterface(const vst::TUID iid, void** obj) override;
    vst::uint32 addRef() override { return ++refs; }
    vst::uint32 release() override;
    void onFDIsSet(int fd) override;
    void onTimer() override;

  private:
    X11RunLoopLink(vst::IRunLoop* loop, IGraphicsX11* editor);
    ~X11RunLoopLink();

    std::atomic<vst::uint32> refs{1};
    vst::IRunLoop* loop;
    IGraphicsX11* editor;
    bool watching = false;
    bool timing = false;
};
