#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

class RAST_IBitmap;

// One connection to the X server for one open editor window, made when the window opens and
// closed when it closes. XCB rather than Xlib: errors come back per request instead of through a
// process-wide handler that a host may own (or that ends the process), and a dead connection is a
// state to test, not an exit.
class X11Display {
  public:
    // Connects to the display DISPLAY names; Ok() is false when that fails.
    X11Display();
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    bool Ok() const { return conn && !xcb_connection_has_error(conn); }
    xcb_connection_t* Conn() const { return conn; }
    int Fd() const;
    void Flush();

    // The screen whose root is `root` (the first one when none matches); null without one.
    xcb_screen_t* ScreenOf(xcb_window_t root) const;
    // True when the screen's root visual takes our pixel words as they are: TrueColor with 8 bits
    // per channel in 32-bit pixels (in either byte order: PutPixels then swaps them).
    bool VisualTakesPixels(xcb_screen_t* screen);

    xcb_atom_t Atom(const char* name);

    // Keysym at a key code and column (0 plain, 1 shifted); 0 when the key has none.
    uint32_t Keysym(xcb_keycode_t code, int column);

    // Copies a rectangle of a bitmap to (dx, dy) of a drawable, through shared memory when the
    // server offers it and the image fits the shared segment, else in request-sized bands.
    void PutPixels(xcb_drawable_t target, xcb_gcontext_t gc, uint8_t depth, const RAST_IBitmap& bitmap,
                   int sx, int sy, int w, int h, int dx, int dy);
    // Prepares a shared segment of w x h pixels (nothing when the server has no MIT-SHM).
    void UseSharedImage(int w, int h);
    bool SharedImageInUse() const { return shmSeg != 0; }

    // Waits for the next event up to timeoutMs (events read before are returned first); null on
    // timeout or a broken connection. The caller frees the event.
    xcb_generic_event_t* WaitEvent(int timeoutMs);
    // Events read while waiting for something else, handed out before the socket is read again.
    void Defer(xcb_generic_event_t* event) { deferred.push_back(event); }
    xcb_generic_event_t* NextEvent();

    // A round trip: every request before it has been processed.
    void Sync();

  private:
    void ReleaseSharedImage();
    void LoadKeyboardMapping();

    xcb_connection_t* conn = nullptr;
    int preferredScreen = 0;
    std::map<std::string, xcb_atom_t> atoms;
    bool keymapLoaded = false;
    xcb_keycode_t minKeycode = 0;
    int keysymsPerCode = 0;
    std::vector<uint32_t> keysyms;
    bool shmChecked = false;
    bool shmOffered = false;
    uint32_t shmSeg = 0;
    int shmId = -1;
    uint8_t* shmBytes = nullptr;
    int shmWidth = 0;
    int shmHeight = 0;
    bool shmPending = false;
    bool swapBytes = false;
    std::vector<uint32_t> band;
    std::deque<xcb_generic_event_t*> deferred;
};
