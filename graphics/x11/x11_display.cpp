#include "graphics/x11/x11_display.h"

#include "raster/bitmap.h"

#include <xcb/shm.h>

#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

X11Display::X11Display() {
    conn = xcb_connect(nullptr, &preferredScreen);
    if (xcb_connection_has_error(conn)) {
        // A failed connection is still an object that must be released.
        xcb_disconnect(conn);
        conn = nullptr;
    }
}

X11Display::~X11Display() {
    for (xcb_generic_event_t* e : deferred)
        std::free(e);
    if (conn) ReleaseSharedImage();
    if (conn) xcb_disconnect(conn);
}

int X11Display::Fd() const {
    return conn ? xcb_get_file_descriptor(conn) : -1;
}

void X11Display::Flush() {
    if (conn) xcb_flush(conn);
}

xcb_screen_t* X11Display::ScreenOf(xcb_window_t root) const {
    if (!conn) return nullptr;
    xcb_screen_t* first = nullptr;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(conn)); it.rem; xcb_screen_next(&it)) {
        if (!first) first = it.data;
        if (it.data->root == root) return it.data;
    }
    return first;
}

bool X11Display::VisualTakesPixels(xcb_screen_t* screen) {
    if (!conn || !screen) return false;
    const xcb_setup_t* setup = xcb_get_setup(conn);
    bool wordsOf32 = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == screen->root_depth) wordsOf32 = f.data->bits_per_pixel == 32;
    if (!wordsOf32) return false;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
        if (d.data->depth != screen->root_depth) continue;
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
            if (v.data->visual_id != screen->root_visual) continue;
            swapBytes = setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST;
            return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xff0000u &&
                   v.data->green_mask == 0xff00u && v.data->blue_mask == 0xffu;
        }
    }
    return false;
}

xcb_atom_t X11Display::Atom(const char* name) {
    if (!conn || !name) return XCB_ATOM_NONE;
    auto found = atoms.find(name);
    if (found != atoms.end()) return found->second;
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, uint16_t(std::strlen(name)), name), nullptr);
    xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    atoms[name] = atom;
    return atom;
}

void X11Display::LoadKeyboardMapping() {
    keymapLoaded = true;
    const xcb_setup_t* setup = xcb_get_setup(conn);
    minKeycode = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        conn, xcb_get_keyboard_mapping(conn, setup->min_keycode, uint8_t(count)), nullptr);
    if (!reply) return;
    keysymsPerCode = reply->keysyms_per_keycode;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    keysyms.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply));
    std::free(reply);
}

uint32_t X11Display::Keysym(xcb_keycode_t code, int column) {
    if (!conn) return 0;
    if (!keymapLoaded) LoadKeyboardMapping();
    if (code < minKeycode || column < 0 || column >= keysymsPerCode) return 0;
    size_t at = size_t(code - minKeycode) * size_t(keysymsPerCode) + size_t(column);
    if (at >= keysyms.size()) return 0;
    uint32_t sym = keysyms[at];
    // A key with one symbol in its group shifts by letter case only.
    if (column == 1 && sym == 0) {
        uint32_t plain = keysyms[at - 1];
        if (plain >= 'a' && plain <= 'z') return plain - 'a' + 'A';
        return plain;
    }
    return sym;
}

void X11Display::UseSharedImage(int w, int h) {
    if (!conn || w <= 0 || h <= 0) return;
    if (shmSeg && w == shmWidth && h == shmHeight) return;
    ReleaseSharedImage();
    if (!shmChecked) {
        shmChecked = true;
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(conn, &xcb_shm_id);
        if (ext && ext->present) {
            xcb_shm_query_version_reply_t* v =
                xcb_shm_query_version_reply(conn, xcb_shm_query_version(conn), nullptr);
            shmOffered = v != nullptr;
            std::free(v);
        }
    }
    if (!shmOffered) return;
    const size_t bytes = size_t(w) * size_t(h) * 4;
    int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return;
    void* mem = shmat(id, nullptr, 0);
    if (mem == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return;
    }
    uint32_t seg = xcb_generate_id(conn);
    xcb_generic_error_t* error = xcb_request_check(conn, xcb_shm_attach_checked(conn, seg, uint32_t(id), 1));
    // Marked for removal now: the segment goes away once both sides have detached, even if we crash.
    shmctl(id, IPC_RMID, nullptr);
    if (error) {
        // A server on another machine cannot see our memory: plain requests then.
        std::free(error);
        shmdt(mem);
        shmOffered = false;
        return;
    }
    shmSeg = seg;
    shmId = id;
    shmBytes = static_cast<uint8_t*>(mem);
    shmWidth = w;
    shmHeight = h;
}

void X11Display::ReleaseSharedImage() {
    if (!shmSeg) return;
    xcb_shm_detach(conn, shmSeg);
    Sync();
    shmdt(shmBytes);
    shmSeg = 0;
    shmId = -1;
    shmBytes = nullptr;
    shmWidth = shmHeight = 0;
    shmPending = false;
}

void X11Display::Sync() {
    if (!conn) return;
    std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
}

void X11Display::PutPixels(xcb_drawable_t target, xcb_gcontext_t gc, uint8_t depth,
                           const RAST_IBitmap& bitmap, int sx, int sy, int w, int h, int dx, int dy) {
    if (!conn || w <= 0 || h <= 0 || sx < 0 || sy < 0 || sx + w > bitmap.Width() || sy + h > bitmap.Height())
        return;
    if (shmSeg && sx + w <= shmWidth && sy + h <= shmHeight) {
        // The server reads the segment after the request: the previous picture must be taken
        // before the rows are overwritten.
        if (shmPending) Sync();
        for (int y = 0; y < h; ++y) {
            const RAST_Pixel* src = bitmap.Row(sy + y) + sx;
            uint32_t* dst =
                reinterpret_cast<uint32_t*>(shmBytes) + size_t(sy + y) * size_t(shmWidth) + size_t(sx);
            if (swapBytes)
                std::transform(src, src + w, dst, [](uint32_t p) { return __builtin_bswap32(p); });
            else
                std::memcpy(dst, src, size_t(w) * 4);
        }
        xcb_shm_put_image(conn, target, gc, uint16_t(shmWidth), uint16_t(shmHeight), uint16_t(sx),
                          uint16_t(sy), uint16_t(w), uint16_t(h), int16_t(dx), int16_t(dy), depth,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, 0, shmSeg, 0);
        shmPending = true;
        return;
    }
    // Plain requests: as many whole rows as one request may carry.
    const size_t maxRequest = std::min<size_t>(size_t(xcb_get_maximum_request_length(conn)) * 4, 1u << 20);
    const size_t rowBytes = size_t(w) * 4;
    int rowsPerBand = int(std::max<size_t>(1, (maxRequest - 64) / rowBytes));
    for (int y0 = 0; y0 < h; y0 += rowsPerBand) {
        int rows = std::min(rowsPerBand, h - y0);
        band.resize(size_t(w) * size_t(rows));
        for (int y = 0; y < rows; ++y) {
            const RAST_Pixel* src = bitmap.Row(sy + y0 + y) + sx;
            uint32_t* dst = band.data() + size_t(y) * size_t(w);
            if (swapBytes)
                std::transform(src, src + w, dst, [](uint32_t p) { return __builtin_bswap32(p); });
            else
                std::memcpy(dst, src, rowBytes);
        }
        xcb_put_image(conn, XCB_IMAGE_FORMAT_Z_PIXMAP, target, gc, uint16_t(w), uint16_t(rows), int16_t(dx),
                      int16_t(dy + y0), 0, depth, uint32_t(band.size() * 4),
                      reinterpret_cast<const uint8_t*>(band.data()));
    }
}

xcb_generic_event_t* X11Display::NextEvent() {
    if (!deferred.empty()) {
        xcb_generic_event_t* e = deferred.front();
        deferred.pop_front();
        return e;
    }
    return conn ? xcb_poll_for_event(conn) : nullptr;
}

xcb_generic_event_t* X11Display::WaitEvent(int timeoutMs) {
    if (!Ok()) return nullptr;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (xcb_generic_event_t* e = NextEvent()) return e;
        xcb_flush(conn);
        if (!Ok()) return nullptr;
        int left = int(
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now())
                .count());
        if (left <= 0) return nullptr;
        pollfd p{Fd(), POLLIN, 0};
        poll(&p, 1, left);
    }
}
