#pragma once

// The host side of an X11 editor, as a Linux host provides it: a top-level window on the test
// display, a view frame that offers a run loop, and the run loop itself (poll on the registered
// descriptors, timers by their intervals). Input arrives through XTest, as a user's would.

#include "graphics/host_run_loop.h"
#include "raster/mem_bitmap.h"
#include "vst3/abi/linux_run_loop.h"
#include "vst3/abi/view.h"

#include <xcb/xcb.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TestRunLoop : public vst::IRunLoop {
  public:
    ~TestRunLoop();
    vst::tresult queryInterface(const vst::TUID iid, void** obj) override;
    vst::uint32 addRef() override { return ++refs; }
    vst::uint32 release() override { return --refs; }
    vst::tresult registerEventHandler(vst::IEventHandler* handler, int fd) override;
    vst::tresult unregisterEventHandler(vst::IEventHandler* handler) override;
    vst::tresult registerTimer(vst::ITimerHandler* handler, vst::uint64 milliseconds) override;
    vst::tresult unregisterTimer(vst::ITimerHandler* handler) override;

    // Runs handlers until done() holds (checked after every round) or timeoutMs pass; done()'s
    // last answer.
    bool RunUntil(const std::function<bool()>& done, int timeoutMs = 3000);
    void RunFor(int ms);

    size_t EventHandlers() const { return fds.size(); }
    size_t Timers() const { return timers.size(); }
    std::vector<vst::uint64> TimerIntervals() const;
    int References() const { return refs; }
    // Keeps (with a reference) every handler ever registered, so a test can call one after it
    // was unregistered, as a careless host might.
    std::vector<vst::FUnknown*> kept;

  private:
    struct Fd {
        vst::IEventHandler* handler;
        int fd;
    };
    struct Timer {
        vst::ITimerHandler* handler;
        vst::uint64 interval;
        long long due;
    };
    void RunOnce(int maxWaitMs);

    int refs = 1;
    std::vector<Fd> fds;
    std::vector<Timer> timers;
};

// The view's frame: records resize requests and offers the run loop (or not).
class TestFrame : public vst::IPlugFrame {
  public:
    explicit TestFrame(TestRunLoop* loop) : loop(loop) {}
    vst::tresult queryInterface(const vst::TUID iid, void** obj) override;
    vst::uint32 addRef() override { return ++refs; }
    vst::uint32 release() override { return --refs; }
    vst::tresult resizeView(vst::IPlugView* view, vst::ViewRect* r) override;
    // The run loop as the view hands it to the editor (null without one).
    std::unique_ptr<IHostRunLoop> RunLoop();

    int References() const { return refs; }
    std::vector<vst::ViewRect> resizes;

  private:
    TestRunLoop* loop;
    int refs = 1;
};

// The host's own connection and top-level window.
class HostWindow {
  public:
    HostWindow(int w = 800, int h = 420);
    ~HostWindow();
    bool Ok() const { return window != 0; }
    xcb_connection_t* Conn() const { return conn; }
    xcb_window_t Window() const { return window; }
    void* Handle() const { return reinterpret_cast<void*>(uintptr_t(window)); }
    // Destroys the window now, as a host that closes its window before the editor.
    void Destroy();

    std::vector<xcb_window_t> Children();
    // Every window directly on the root that is mapped and override-redirect (popup menus).
    std::vector<xcb_window_t> Popups();
    // The window's pixels (alpha set to 255), or null when it cannot be read.
    std::unique_ptr<RAST_MemBitmap> Capture(xcb_window_t w);
    // The window's origin on the screen.
    bool Origin(xcb_window_t w, int& x, int& y);
    // Waits until another client holds the pointer (a popup menu's grab); false after a second.
    bool WaitForPointerGrab();
    // Waits until other clients hold both the pointer and the keyboard (a popup menu's two grabs),
    // as the server confirms by refusing the same grabs to this connection; false after timeoutMs.
    bool WaitForPointerAndKeyboardGrab(int timeoutMs = 10000);
    // The window the server has the input focus on now.
    xcb_window_t FocusWindow();
    // Any window's children, bottom first.
    std::vector<xcb_window_t> ChildrenOf(xcb_window_t w);
    // The pointer's screen position.
    bool Pointer(int& x, int& y);
    // Synthetic key presses sent to the host window by the editor.
    int ForwardedKeys();

    // XTest input at screen coordinates.
    void MoveTo(int x, int y);
    void Button(int button, bool press);
    void Click(int x, int y, int button = 1);
    // Presses and releases the key that types the keysym (shift held when it needs it).
    void Type(uint32_t keysym);
    // Presses and releases the key that carries the keysym in either of its first two columns, with
    // no modifier held (with Num Lock on, the keypad's digits are their keys' second column).
    void PressKey(uint32_t keysym);
    void Flush() { xcb_flush(conn); }

  private:
    xcb_keycode_t KeycodeFor(uint32_t keysym, bool& shifted);
    xcb_connection_t* conn = nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_window_t window = 0;
    int forwardedKeys = 0;
};

// Open descriptors of this process (connections included).
int OpenDescriptors();
