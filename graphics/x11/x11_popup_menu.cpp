#include "graphics/x11/x11_popup_menu.h"

#include "graphics/menu_list.h"
#include "graphics/x11/x11_display.h"
#include "graphics/x11/x11_keys.h"
#include "raster/blit.h"
#include "raster/cached_font.h"
#include "raster/mem_bitmap.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 7;
constexpr int kTextLeft = 22;  // room for the tick
constexpr int kTextRight = 22; // room for the submenu arrow
constexpr int kMinWidth = 80;
constexpr RAST_Pixel kBack = 0xfff0f0f0u;
constexpr RAST_Pixel kFrame = 0xff808080u;
constexpr RAST_Pixel kText = 0xff000000u;
constexpr RAST_Pixel kGreyText = 0xff8c8c8cu;
constexpr RAST_Pixel kHighlight = 0xff3875d7u;
constexpr RAST_Pixel kHighlightText = 0xffffffffu;
// A menu nobody answers (a test that never clicks, a pointer that cannot be grabbed) closes itself.
std::atomic<int> maxOpenMs{10 * 60 * 1000};

bool Selectable(const IMenuEntry& e) {
    return !(e.flags & (IMenuEntry::kSeparator | IMenuEntry::kGreyed | IMenuEntry::kDisabled));
}

// One open level: the top menu or a submenu.
struct Level {
    const IMenuList* list = nullptr;
    xcb_window_t window = 0;
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<int> tops; // entry i spans tops[i] .. tops[i + 1]
    int highlighted = -1;
    RAST_MemBitmap image;

    int EntryAt(int rootX, int rootY) const {
        if (rootX < x || rootX >= x + w || rootY < y || rootY >= y + h) return -1;
        for (size_t i = 0; i + 1 < tops.size(); ++i)
            if (rootY - y >= tops[i] && rootY - y < tops[i + 1]) return int(i);
        return -1;
    }
    bool Contains(int rootX, int rootY) const {
        return rootX >= x && rootX < x + w && rootY >= y && rootY < y + h;
    }
};

class PopupSession {
  public:
    PopupSession(X11Display& d, xcb_screen_t* s, const IMenuList& top, RAST_CachedFont* f)
        : display(d), conn(d.Conn()), screen(s), menu(top), font(f) {}

    ~PopupSession() {
        while (!levels.empty())
            CloseLevel();
        display.Flush();
        for (xcb_generic_event_t* e : others)
            display.Defer(e);
    }

    int Run(const PopupPlacement& place) {
        if (!OpenLevel(&menu, place.x, place.belowY, place.aboveY)) return -1;
        xcb_window_t grabWindow = levels[0]->window;
        const uint16_t pointerEvents =
            XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
        // Another client may hold the pointer for a moment (a window manager, the end of a click):
        // try for a second, as toolkits do.
        bool grabbed = false;
        for (int attempt = 0; attempt < 50 && !grabbed && display.Ok(); ++attempt) {
            xcb_grab_pointer_reply_t* grab = xcb_grab_pointer_reply(
                conn,
                xcb_grab_pointer(conn, 1, grabWindow, pointerEvents, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                                 XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
                nullptr);
            grabbed = grab && grab->status == XCB_GRAB_STATUS_SUCCESS;
            std::free(grab);
            if (!grabbed) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        // Without the pointer a click elsewhere could never close the menu.
        if (!grabbed) return -1;
        // The keyboard too may be held for a moment; without it the menu still works by the pointer.
        bool keyboard = false;
        for (int attempt = 0; attempt < 50 && !keyboard && display.Ok(); ++attempt) {
            xcb_grab_keyboard_reply_t* grab = xcb_grab_keyboard_reply(
                conn,
                xcb_grab_keyboard(conn, 1, grabWindow, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC,
                                  XCB_GRAB_MODE_ASYNC),
                nullptr);
            keyboard = grab && grab->status == XCB_GRAB_STATUS_SUCCESS;
            std::free(grab);
            if (!keyboard) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        int chosen = Loop();
        xcb_ungrab_keyboard(conn, XCB_CURRENT_TIME);
        xcb_ungrab_pointer(conn, XCB_CURRENT_TIME);
        display.Flush();
        return chosen;
    }

  private:
    int Loop() {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(maxOpenMs.load(std::memory_order_relaxed));
        while (std::chrono::steady_clock::now() < deadline) {
            xcb_generic_event_t* e = display.WaitEvent(100);
            if (!e) {
                if (!display.Ok()) return -1;
                continue;
            }
            int result = Handle(e);
            if (result != kKeepOpen) return result;
        }
        return -1;
    }

    static constexpr int kKeepOpen = -2;

    // Takes the event (frees it or keeps it for the editor); a command, -1 to close, or kKeepOpen.
    int Handle(xcb_generic_event_t* e) {
        const int type = e->response_type & 0x7f;
        int result = kKeepOpen;
        if (type == XCB_EXPOSE) {
            auto* x = reinterpret_cast<xcb_expose_event_t*>(e);
            for (auto& level : levels)
                if (level->window == x->window) {
                    Present(*level);
                    std::free(e);
                    return kKeepOpen;
                }
            others.push_back(e); // the editor's own
            return kKeepOpen;
        }
        if (type == XCB_MOTION_NOTIFY) {
            auto* m = reinterpret_cast<xcb_motion_notify_event_t*>(e);
            Hover(m->root_x, m->root_y);
        } else if (type == XCB_BUTTON_PRESS) {
            auto* b = reinterpret_cast<xcb_button_press_event_t*>(e);
            // A press outside every level dismisses the menu; inside, the release decides.
            if (LevelAt(b->root_x, b->root_y) < 0) result = -1;
            pressedInside = result != -1;
        } else if (type == XCB_BUTTON_RELEASE) {
            auto* b = reinterpret_cast<xcb_button_release_event_t*>(e);
            if (b->detail <= 3) result = Release(b->root_x, b->root_y);
        } else if (type == XCB_KEY_PRESS) {
            auto* k = reinterpret_cast<xcb_key_press_event_t*>(e);
            result = Key(display.Keysym(k->detail, 0));
        } else if (type != 0 && type != XCB_KEY_RELEASE && type != XCB_ENTER_NOTIFY &&
                   type != XCB_LEAVE_NOTIFY) {
            others.push_back(e);
            return kKeepOpen;
        }
        std::free(e);
        return result;
    }

    int LevelAt(int rootX, int rootY) const {
        for (int i = int(levels.size()) - 1; i >= 0; --i)
            if (levels[size_t(i)]->Contains(rootX, rootY)) return i;
        return -1;
    }

    void Hover(int rootX, int rootY) {
        int li = LevelAt(rootX, rootY);
        if (li < 0) return;
        Level& level = *levels[size_t(li)];
        int entry = level.EntryAt(rootX, rootY);
        if (entry >= 0 && !Selectable(*level.list->Entry(entry))) entry = -1;
        Highlight(size_t(li), entry);
    }

    // The pointer opens an entry's submenu at once; keys open it with Right or Return.
    void Highlight(size_t li, int entry, bool openSubmenu = true) {
        Level& level = *levels[li];
        // Deeper levels belong to the entry that was highlighted before.
        if (entry != level.highlighted) {
            while (levels.size() > li + 1)
                CloseLevel();
        }
        if (entry == level.highlighted) return;
        level.highlighted = entry;
        Paint(level);
        if (openSubmenu) OpenSubmenu(li);
        display.Flush();
    }

    // Opens the submenu of the level's highlighted entry; false when it has none.
    bool OpenSubmenu(size_t li) {
        if (levels.size() > li + 1) return true;
        Level& level = *levels[li];
        const IMenuEntry* e = level.highlighted >= 0 ? level.list->Entry(level.highlighted) : nullptr;
        if (!e || !e->submenu || e->submenu->NEntries() == 0) return false;
        int y = level.y + level.tops[size_t(level.highlighted)] - 1;
        return OpenLevel(e->submenu.get(), level.x + level.w - 2, y, y, level.x + 2);
    }

    int Release(int rootX, int rootY) {
        int li = LevelAt(rootX, rootY);
        if (li < 0) return kKeepOpen; // the release of the press that opened the menu
        const Level& level = *levels[size_t(li)];
        int entry = level.EntryAt(rootX, rootY);
        const IMenuEntry* e = entry >= 0 ? level.list->Entry(entry) : nullptr;
        if (!e || !Selectable(*e) || e->submenu) return kKeepOpen;
        return menu.CommandOf(level.list, entry);
    }

    int Key(uint32_t sym) {
        if (levels.empty()) return -1;
        size_t li = levels.size() - 1;
        Level& level = *levels[li];
        switch (sym) {
        case kSymEscape:
            if (li == 0) return -1;
            CloseLevel();
            display.Flush();
            return kKeepOpen;
        case kSymUp:
        case kSymDown: {
            const int n = level.list->NEntries();
            int at = level.highlighted;
            for (int step = 0; step < n; ++step) {
                at = sym == kSymDown ? (at + 1) % n : (at <= 0 ? n - 1 : at - 1);
                if (Selectable(*level.list->Entry(at))) {
                    Highlight(li, at, false);
                    break;
                }
            }
            return kKeepOpen;
        }
        case kSymRight:
            if (OpenSubmenu(li)) Highlight(li + 1, FirstSelectable(*levels[li + 1]->list), false);
            return kKeepOpen;
        case kSymLeft:
            if (li > 0) {
                CloseLevel();
                display.Flush();
            }
            return kKeepOpen;
        case kSymReturn:
        case kSymKpEnter: {
            const IMenuEntry* e = level.highlighted >= 0 ? level.list->Entry(level.highlighted) : nullptr;
            if (!e) return kKeepOpen;
            if (e->submenu) {
                if (OpenSubmenu(li)) Highlight(li + 1, FirstSelectable(*levels[li + 1]->list), false);
                return kKeepOpen;
            }
            return menu.CommandOf(level.list, level.highlighted);
        }
        default:
            return kKeepOpen;
        }
    }

    static int FirstSelectable(const IMenuList& list) {
        for (int i = 0; i < list.NEntries(); ++i)
            if (Selectable(*list.Entry(i))) return i;
        return -1;
    }

    int TextWidth(const std::string& s) {
        if (!font || s.empty()) return 0;
        RAST_Rect box{0, 0, 0, 0};
        RAST_MemBitmap probe(1, 1);
        font->RenderText(&probe, s.c_str(), int(s.size()), &box, TextLeft | TextSingleLine | TextMeasureOnly);
        return box.right - box.left;
    }

    // Opens a level at (x, y), or with its bottom at aboveY when it does not fit below; beside a
    // parent level it flips to the left (to leftX) when it does not fit on the right.
    bool OpenLevel(const IMenuList* list, int x, int y, int aboveY, int leftX = -1) {
        auto level = std::make_unique<Level>();
        level->list = list;
        int textWidth = 0;
        level->tops.push_back(1);
        for (int i = 0; i < list->NEntries(); ++i) {
            const IMenuEntry& e = *list->Entry(i);
            textWidth = std::max(textWidth, TextWidth(list->EntryCaption(i)));
            level->tops.push_back(level->tops.back() +
                                  ((e.flags & IMenuEntry::kSeparator) ? kSeparatorHeight : kItemHeight));
        }
        if (list->NEntries() == 0) return false;
        level->w = std::max(kMinWidth, textWidth + kTextLeft + kTextRight);
        level->h = level->tops.back() + 1;
        const int screenW = screen->width_in_pixels, screenH = screen->height_in_pixels;
        if (x + level->w > screenW) x = leftX >= 0 ? leftX - level->w : screenW - level->w;
        if (y + level->h > screenH) y = aboveY - level->h;
        level->x = std::max(0, x);
        level->y = std::max(0, y);
        level->image.ResizeTo(level->w, level->h);

        level->window = xcb_generate_id(conn);
        const uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT |
                              XCB_CW_SAVE_UNDER | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP;
        const uint32_t values[] = {XCB_BACK_PIXMAP_NONE,
                                   0,
                                   1,
                                   1,
                                   XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                       XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                       XCB_EVENT_MASK_KEY_PRESS,
                                   screen->default_colormap};
        xcb_create_window(conn, screen->root_depth, level->window, screen->root, int16_t(level->x),
                          int16_t(level->y), uint16_t(level->w), uint16_t(level->h), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, mask, values);
        const uint32_t noExposures[] = {0};
        gcs.push_back(xcb_generate_id(conn));
        xcb_create_gc(conn, gcs.back(), level->window, XCB_GC_GRAPHICS_EXPOSURES, noExposures);
        xcb_map_window(conn, level->window);
        levels.push_back(std::move(level));
        Paint(*levels.back());
        display.Flush();
        return true;
    }

    void CloseLevel() {
        if (display.Ok()) {
            xcb_free_gc(conn, gcs.back());
            xcb_destroy_window(conn, levels.back()->window);
        }
        gcs.pop_back();
        levels.pop_back();
    }

    void Paint(Level& level) {
        RAST_MemBitmap& img = level.image;
        FillRectangle(&img, 0, 0, level.w, level.h, kFrame, 1.0f, ModeCopy);
        FillRectangle(&img, 1, 1, level.w - 2, level.h - 2, kBack, 1.0f, ModeCopy);
        for (int i = 0; i < level.list->NEntries(); ++i) {
            const IMenuEntry& e = *level.list->Entry(i);
            const int top = level.tops[size_t(i)], bottom = level.tops[size_t(i) + 1];
            if (e.flags & IMenuEntry::kSeparator) {
                FillRectangle(&img, 4, (top + bottom) / 2, level.w - 8, 1, kFrame, 1.0f, ModeCopy);
                continue;
            }
            const bool lit = i == level.highlighted;
            if (lit) FillRectangle(&img, 1, top, level.w - 2, bottom - top, kHighlight, 1.0f, ModeCopy);
            const RAST_Pixel ink = lit ? kHighlightText : Selectable(e) ? kText : kGreyText;
            if (e.flags & IMenuEntry::kTicked) {
                const int cy = (top + bottom) / 2;
                DrawLine(&img, 7, cy, 10, cy + 3, ink, 1.0f, ModeCopy);
                DrawLine(&img, 10, cy + 3, 15, cy - 3, ink, 1.0f, ModeCopy);
            }
            if (e.submenu) {
                const int cy = (top + bottom) / 2, ax = level.w - 12;
                for (int k = 0; k < 4; ++k)
                    FillRectangle(&img, ax + k, cy - 3 + k, 1, 7 - 2 * k, ink, 1.0f, ModeCopy);
            }
            if (font) {
                std::string caption = level.list->EntryCaption(i);
                font->SetTextColour(ink);
                RAST_Rect box{kTextLeft, top, level.w - kTextRight, bottom};
                font->RenderText(&img, caption.c_str(), int(caption.size()), &box,
                                 TextLeft | TextVCentre | TextSingleLine);
            }
        }
        Present(level);
    }

    void Present(Level& level) {
        size_t index = 0;
        while (index < levels.size() && levels[index].get() != &level)
            ++index;
        if (index >= gcs.size()) return;
        display.PutPixels(level.window, gcs[index], screen->root_depth, level.image, 0, 0, level.w, level.h,
                          0, 0);
    }

    X11Display& display;
    xcb_connection_t* conn;
    xcb_screen_t* screen;
    const IMenuList& menu;
    RAST_CachedFont* font;
    std::vector<std::unique_ptr<Level>> levels;
    std::vector<xcb_gcontext_t> gcs;
    std::vector<xcb_generic_event_t*> others;
    bool pressedInside = false;
};

} // namespace

int RunPopupMenu(X11Display& display, xcb_screen_t* screen, const PopupPlacement& place,
                 const IMenuList& menu, RAST_CachedFont* font) {
    if (!display.Ok() || !screen || menu.NEntries() == 0) return -1;
    PopupSession session(display, screen, menu, font);
    return session.Run(place);
}

void SetPopupMenuTimeLimit(int milliseconds) {
    maxOpenMs.store(milliseconds, std::memory_order_relaxed);
}
