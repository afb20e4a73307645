#include "x11/x11_host.h"

#include "vst3/view_platform.h"

#include <xcb/xtest.h>

#include <dirent.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace vst;

namespace {

long long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

TestRunLoop::~TestRunLoop() {
    for (FUnknown* k : kept)
        k->release();
}

tresult TestRunLoop::queryInterface(const TUID iid, void** obj) {
    if (FUnknown::iid.Matches(iid) || IRunLoop::iid.Matches(iid)) {
        *obj = this;
        addRef();
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

tresult TestRunLoop::registerEventHandler(IEventHandler* handler, int fd) {
    if (!handler || fd < 0) return kInvalidArgument;
    handler->addRef();
    kept.push_back(handler);
    handler->addRef();
    fds.push_back({handler, fd});
    return kResultOk;
}

tresult TestRunLoop::unregisterEventHandler(IEventHandler* handler) {
    auto it = std::find_if(fds.begin(), fds.end(), [&](const Fd& f) { return f.handler == handler; });
    if (it == fds.end()) return kInvalidArgument;
    fds.erase(it);
    handler->release();
    return kResultOk;
}

tresult TestRunLoop::registerTimer(ITimerHandler* handler, uint64 ms) {
    if (!handler || ms == 0) return kInvalidArgument;
    handler->addRef();
    kept.push_back(handler);
    handler->addRef();
    timers.push_back({handler, ms, NowMs() + (long long)ms});
    return kResultOk;
}

tresult TestRunLoop::unregisterTimer(ITimerHandler* handler) {
    auto it =
        std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == handler; });
    if (it == timers.end()) return kInvalidArgument;
    timers.erase(it);
    handler->release();
    return kResultOk;
}

std::vector<uint64> TestRunLoop::TimerIntervals() const {
    std::vector<uint64> out;
    for (const Timer& t : timers)
        out.push_back(t.interval);
    return out;
}

void TestRunLoop::RunOnce(int maxWaitMs) {
    long long now = NowMs();
    long long wait = maxWaitMs;
    for (const Timer& t : timers)
        wait = std::min(wait, std::max(0LL, t.due - now));
    std::vector<pollfd> p;
    for (const Fd& f : fds)
        p.push_back({f.fd, POLLIN, 0});
    poll(p.data(), p.size(), int(wait));
    // Handlers may unregister themselves or others: call only those still registered.
    std::vector<Fd> ready;
    for (size_t i = 0; i < p.size(); ++i)
        if (p[i].revents) ready.push_back(fds[i]);
    for (const Fd& f : ready)
        if (std::any_of(fds.begin(), fds.end(), [&](const Fd& g) { return g.handler == f.handler; }))
            f.handler->onFDIsSet(f.fd);
    now = NowMs();
    std::vector<ITimerHandler*> due;
    for (Timer& t : timers)
        if (t.due <= now) {
            due.push_back(t.handler);
            t.due = now + (long long)t.interval;
        }
    for (ITimerHandler* h : due)
        if (std::any_of(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == h; }))
            h->onTimer();
}

bool TestRunLoop::RunUntil(const std::function<bool()>& done, int timeoutMs) {
    const long long end = NowMs() + timeoutMs;
    while (!done()) {
        long long left = end - NowMs();
        if (left <= 0) return done();
        RunOnce(int(std::min(left, 20LL)));
    }
    return true;
}

void TestRunLoop::RunFor(int ms) {
    RunUntil([] { return false; }, ms);
}

tresult TestFrame::queryInterface(const TUID iid, void** obj) {
    if (FUnknown::iid.Matches(iid) || IPlugFrame::iid.Matches(iid)) {
        *obj = static_cast<IPlugFrame*>(this);
        addRef();
        return kResultOk;
    }
    if (loop && IRunLoop::iid.Matches(iid)) return loop->queryInterface(iid, obj);
    *obj = nullptr;
    return kNoInterface;
}

tresult TestFrame::resizeView(IPlugView*, ViewRect* r) {
    if (r) resizes.push_back(*r);
    return kResultOk;
}

std::unique_ptr<IHostRunLoop> TestFrame::RunLoop() {
    return HostRunLoopFor(this);
}

HostWindow::HostWindow(int w, int h) {
    // The server resets itself when its last client leaves (the previous test program) and
    // refuses connections meanwhile.
    for (int attempt = 0; attempt < 100; ++attempt) {
        conn = xcb_connect(nullptr, nullptr);
        if (!xcb_connection_has_error(conn)) break;
        xcb_disconnect(conn);
        conn = nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!conn) return;
    screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    window = xcb_generate_id(conn);
    const uint32_t values[] = {screen->black_pixel,
                               XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, uint16_t(w), uint16_t(h), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_map_window(conn, window);
    std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
}

HostWindow::~HostWindow() {
    Destroy();
    if (conn) xcb_disconnect(conn);
}

void HostWindow::Destroy() {
    if (!window || !conn) return;
    xcb_destroy_window(conn, window);
    std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
    window = 0;
}

std::vector<xcb_window_t> HostWindow::Children() {
    if (!window) return {};
    return ChildrenOf(window);
}

std::vector<xcb_window_t> HostWindow::ChildrenOf(xcb_window_t w) {
    std::vector<xcb_window_t> out;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(conn, xcb_query_tree(conn, w), nullptr);
    if (!tree) return out;
    xcb_window_t* kids = xcb_query_tree_children(tree);
    out.assign(kids, kids + xcb_query_tree_children_length(tree));
    std::free(tree);
    return out;
}

std::vector<xcb_window_t> HostWindow::Popups() {
    std::vector<xcb_window_t> out;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(conn, xcb_query_tree(conn, screen->root), nullptr);
    if (!tree) return out;
    xcb_window_t* kids = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        xcb_get_window_attributes_reply_t* a =
            xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, kids[i]), nullptr);
        if (a && a->override_redirect && a->map_state == XCB_MAP_STATE_VIEWABLE) out.push_back(kids[i]);
        std::free(a);
    }
    std::free(tree);
    return out;
}

std::unique_ptr<RAST_MemBitmap> HostWindow::Capture(xcb_window_t w) {
    std::unique_ptr<RAST_MemBitmap> out;
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, w), nullptr);
    if (!g) return out;
    const int width = g->width, height = g->height;
    std::free(g);
    xcb_get_image_reply_t* img = xcb_get_image_reply(
        conn, xcb_get_image(conn, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, uint16_t(width), uint16_t(height), ~0u),
        nullptr);
    if (!img) return out;
    const auto* words = reinterpret_cast<const uint32_t*>(xcb_get_image_data(img));
    if (xcb_get_image_data_length(img) >= width * height * 4) {
        out = std::make_unique<RAST_MemBitmap>(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                out->Row(y)[x] = words[size_t(y) * size_t(width) + size_t(x)] | 0xff000000u;
    }
    std::free(img);
    return out;
}

bool HostWindow::Origin(xcb_window_t w, int& x, int& y) {
    xcb_translate_coordinates_reply_t* t = xcb_translate_coordinates_reply(
        conn, xcb_translate_coordinates(conn, w, screen->root, 0, 0), nullptr);
    if (!t) return false;
    x = t->dst_x;
    y = t->dst_y;
    std::free(t);
    return true;
}

bool HostWindow::WaitForPointerGrab() {
    for (int i = 0; i < 100; ++i) {
        xcb_grab_pointer_reply_t* r = xcb_grab_pointer_reply(
            conn,
            xcb_grab_pointer(conn, 0, screen->root, 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE,
                             XCB_NONE, XCB_CURRENT_TIME),
            nullptr);
        const bool heldElsewhere = r && r->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
        const bool ours = r && r->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(r);
        if (heldElsewhere) return true;
        if (ours) xcb_ungrab_pointer(conn, XCB_CURRENT_TIME);
        xcb_flush(conn);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

namespace {
// One grab attempt on the root: true when the server answers that another client holds it. A grab
// that succeeds is given back at once (the menu retries its own grabs for a second).
bool HeldElsewhere(xcb_connection_t* conn, xcb_window_t root, bool keyboard) {
    uint8_t status = 0;
    if (keyboard) {
        xcb_grab_keyboard_reply_t* r = xcb_grab_keyboard_reply(
            conn,
            xcb_grab_keyboard(conn, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr);
        status = r ? r->status : 0xff;
        std::free(r);
        if (status == XCB_GRAB_STATUS_SUCCESS) xcb_ungrab_keyboard(conn, XCB_CURRENT_TIME);
    } else {
        xcb_grab_pointer_reply_t* r = xcb_grab_pointer_reply(
            conn,
            xcb_grab_pointer(conn, 0, root, 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                             XCB_CURRENT_TIME),
            nullptr);
        status = r ? r->status : 0xff;
        std::free(r);
        if (status == XCB_GRAB_STATUS_SUCCESS) xcb_ungrab_pointer(conn, XCB_CURRENT_TIME);
    }
    xcb_flush(conn);
    return status == XCB_GRAB_STATUS_ALREADY_GRABBED;
}
} // namespace

bool HostWindow::WaitForPointerAndKeyboardGrab(int timeoutMs) {
    const long long end = NowMs() + timeoutMs;
    while (NowMs() < end) {
        // The menu takes the pointer first, then the keyboard: probe them in that order.
        if (HeldElsewhere(conn, screen->root, false) && HeldElsewhere(conn, screen->root, true)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

xcb_window_t HostWindow::FocusWindow() {
    xcb_get_input_focus_reply_t* f = xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr);
    const xcb_window_t w = f ? f->focus : XCB_NONE;
    std::free(f);
    return w;
}

bool HostWindow::Pointer(int& x, int& y) {
    xcb_query_pointer_reply_t* p =
        xcb_query_pointer_reply(conn, xcb_query_pointer(conn, screen->root), nullptr);
    if (!p) return false;
    x = p->root_x;
    y = p->root_y;
    std::free(p);
    return true;
}

int HostWindow::ForwardedKeys() {
    while (xcb_generic_event_t* e = xcb_poll_for_event(conn)) {
        // Sent events carry the high bit in their type.
        if ((e->response_type & 0x7f) == XCB_KEY_PRESS && (e->response_type & 0x80)) ++forwardedKeys;
        std::free(e);
    }
    return forwardedKeys;
}

void HostWindow::MoveTo(int x, int y) {
    xcb_test_fake_input(conn, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, screen->root, int16_t(x), int16_t(y),
                        0);
    xcb_flush(conn);
}

void HostWindow::Button(int button, bool press) {
    xcb_test_fake_input(conn, press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, uint8_t(button),
                        XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(conn);
}

void HostWindow::Click(int x, int y, int button) {
    MoveTo(x, y);
    Button(button, true);
    Button(button, false);
}

xcb_keycode_t HostWindow::KeycodeFor(uint32_t keysym, bool& shifted) {
    const xcb_setup_t* setup = xcb_get_setup(conn);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        conn, xcb_get_keyboard_mapping(conn, setup->min_keycode, uint8_t(count)), nullptr);
    xcb_keycode_t found = 0;
    if (map) {
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
        const int per = map->keysyms_per_keycode;
        for (int k = 0; k < count && !found; ++k)
            for (int col = 0; col < std::min(per, 2) && !found; ++col)
                if (syms[k * per + col] == keysym) {
                    found = xcb_keycode_t(setup->min_keycode + k);
                    shifted = col == 1;
                }
        std::free(map);
    }
    return found;
}

void HostWindow::Type(uint32_t keysym) {
    bool shifted = false;
    xcb_keycode_t code = KeycodeFor(keysym, shifted);
    bool shiftDummy = false;
    xcb_keycode_t shift = KeycodeFor(0xffe1, shiftDummy);
    if (!code) return;
    if (shifted) xcb_test_fake_input(conn, XCB_KEY_PRESS, shift, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(conn, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(conn, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    if (shifted) xcb_test_fake_input(conn, XCB_KEY_RELEASE, shift, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(conn);
}

void HostWindow::PressKey(uint32_t keysym) {
    bool secondColumn = false;
    const xcb_keycode_t code = KeycodeFor(keysym, secondColumn);
    if (!code) return;
    xcb_test_fake_input(conn, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(conn, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(conn);
}

int OpenDescriptors() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}
