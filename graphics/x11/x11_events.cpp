#include "graphics/control.h"
#include "graphics/key_codes.h"
#include "graphics/x11/x11_display.h"
#include "graphics/x11/x11_graphics.h"
#include "graphics/x11/x11_keys.h"
#include "graphics/x11/x11_text_field.h"

#include <cstdlib>

// Events of the editor window, turned into the editor core's pointer and key calls.

namespace {

constexpr uint32_t kDoubleClickMs = 500; // the usual desktop double-click time
constexpr int kDoubleClickSlop = 4;      // pixels either way

IMouseMods ModsFromState(uint16_t state) {
    IMouseMods m;
    m.left = state & XCB_BUTTON_MASK_1;
    m.right = state & XCB_BUTTON_MASK_3;
    m.shift = state & XCB_MOD_MASK_SHIFT;
    m.control = state & XCB_MOD_MASK_CONTROL;
    m.alt = state & XCB_MOD_MASK_1;
    return m;
}

} // namespace

void IGraphicsX11::Dispatch(xcb_generic_event_t* event) {
    switch (event->response_type & 0x7f) {
    case XCB_EXPOSE:
        OnExpose(*reinterpret_cast<xcb_expose_event_t*>(event));
        break;
    case XCB_BUTTON_PRESS:
        OnButtonPress(*reinterpret_cast<xcb_button_press_event_t*>(event));
        break;
    case XCB_BUTTON_RELEASE:
        OnButtonRelease(*reinterpret_cast<xcb_button_release_event_t*>(event));
        break;
    case XCB_MOTION_NOTIFY:
        OnMotion(*reinterpret_cast<xcb_motion_notify_event_t*>(event));
        break;
    case XCB_KEY_PRESS:
        OnKey(*reinterpret_cast<xcb_key_press_event_t*>(event), true);
        break;
    case XCB_KEY_RELEASE:
        OnKey(*reinterpret_cast<xcb_key_press_event_t*>(event), false);
        break;
    case XCB_LEAVE_NOTIFY: {
        auto& e = *reinterpret_cast<xcb_leave_notify_event_t*>(event);
        // Moving onto the text field is not leaving; neither is a grab taking the pointer.
        if (e.event == window && e.mode == XCB_NOTIFY_MODE_NORMAL && e.detail != XCB_NOTIFY_DETAIL_INFERIOR)
            MouseLeave();
        break;
    }
    case XCB_FOCUS_OUT: {
        auto& e = *reinterpret_cast<xcb_focus_out_event_t*>(event);
        // The field losing the focus commits it, as leaving an edit box does.
        if (field && e.event == field->Window() && e.mode == XCB_NOTIFY_MODE_NORMAL &&
            e.detail != XCB_NOTIFY_DETAIL_INFERIOR && entryState == EntryState::Editing)
            entryState = EntryState::Commit;
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        auto& e = *reinterpret_cast<xcb_destroy_notify_event_t*>(event);
        // The host destroyed its window (and ours with it) before closing the editor.
        if (e.window == window) windowGone = true;
        break;
    }
    default:
        break; // errors of requests on vanished windows included: nothing to do about them
    }
}

void IGraphicsX11::OnExpose(const xcb_expose_event_t& e) {
    if (field && e.window == field->Window()) {
        if (e.count == 0) field->Draw();
        return;
    }
    if (e.window != window || windowGone) return;
    exposed = exposed.Union(IPixelRect(e.x, e.y, e.x + e.width, e.y + e.height));
    if (e.count > 0) return;
    IPixelRect area = exposed;
    exposed = IPixelRect();
    DrawDirty(area);
}

void IGraphicsX11::OnButtonPress(const xcb_button_press_event_t& e) {
    if (e.event != window) {
        if (field && e.event == field->Window()) TakeFocus(field->Window());
        return;
    }
    const int x = e.event_x, y = e.event_y;
    pointerX = x;
    pointerY = y;
    if (field) {
        // A press beside the open field (or the wheel) abandons the entry.
        entryState = EntryState::Cancel;
        return;
    }
    IMouseMods mods = ModsFromState(e.state);
    // A touchpad's smooth scrolling reaches a client that does not ask for the input extension's
    // events as these buttons, one press per whole scroll step the server has added up, so small
    // movements need no adding up here (unlike Windows' wheel deltas below one notch).
    if (e.detail == 4 || e.detail == 5) {
        MouseWheel(x, y, mods, e.detail == 4 ? 1 : -1);
        return;
    }
    if (e.detail != 1 && e.detail != 2 && e.detail != 3) return; // sideways scrolling and extra buttons
    mods.left = mods.left || e.detail == 1;
    mods.right = mods.right || e.detail == 3;
    TakeFocus(window);
    bool isDouble = false;
    if (e.detail == 1) {
        isDouble = !lastPressWasDouble && uint32_t(e.time - lastPressTime) <= kDoubleClickMs &&
                   std::abs(x - lastPressX) <= kDoubleClickSlop &&
                   std::abs(y - lastPressY) <= kDoubleClickSlop;
        lastPressTime = e.time;
        lastPressX = x;
        lastPressY = y;
        lastPressWasDouble = isDouble;
    }
    if (isDouble)
        MouseDoubleClick(x, y, mods);
    else
        MouseDown(x, y, mods);
}

void IGraphicsX11::OnButtonRelease(const xcb_button_release_event_t& e) {
    if (e.event != window || field) return;
    if (e.detail != 1 && e.detail != 3) return;
    IMouseMods mods = ModsFromState(e.state);
    // The state still holds the button being released; the release itself is not a held button.
    if (e.detail == 1) mods.left = false;
    if (e.detail == 3) mods.right = false;
    MouseUp(e.event_x, e.event_y, mods);
}

void IGraphicsX11::OnMotion(const xcb_motion_notify_event_t& e) {
    if (e.event != window || field) return;
    pointerX = e.event_x;
    pointerY = e.event_y;
    IMouseMods mods = ModsFromState(e.state);
    if (mods.left || mods.right) {
        // The press grabbed the pointer for us, so drags continue outside the window.
        if (CaptureIndex() >= 0) MouseDrag(e.event_x, e.event_y, mods);
        return;
    }
    MouseOver(e.event_x, e.event_y, mods);
}

void IGraphicsX11::OnKey(const xcb_key_press_event_t& e, bool press) {
    if (field) {
        if (!press) return;
        const bool shifted = e.state & XCB_MOD_MASK_SHIFT;
        const bool numLock = e.state & XCB_MOD_MASK_2;
        uint32_t sym = display->Keysym(e.detail, shifted ? 1 : 0);
        // Keypad keys type digits with Num Lock on: their second column.
        uint32_t keypad = display->Keysym(e.detail, 1);
        if (numLock && keypad >= 0xff80 && keypad <= 0xffbd)
            sym = shifted ? display->Keysym(e.detail, 0) : keypad;
        switch (field->Key(sym, CharacterForKeysym(sym))) {
        case X11TextField::Outcome::Commit:
            entryState = EntryState::Commit;
            break;
        case X11TextField::Outcome::Cancel:
            entryState = EntryState::Cancel;
            break;
        case X11TextField::Outcome::Editing:
            break;
        }
        return;
    }
    if (e.event != window) return;
    if (PanelOpen()) {
        // A panel is modal: the keys typed on the editor are its own.
        if (press) PanelKeyFromEvent(e);
        return;
    }
    if (press) {
        // Letters by their unshifted symbol, as a virtual-key number names the key, not the case.
        const int code = ControlKeyForVirtualKey(VirtualKeyForKeysym(display->Keysym(e.detail, 0)));
        if (code >= 0 && KeyDown(e.event_x, e.event_y, code)) return;
    }
    ForwardKeyToHost(e);
}

void IGraphicsX11::ForwardKeyToHost(const xcb_key_press_event_t& e) {
    if (!display || !parentWindow) return;
    xcb_key_press_event_t copy = e;
    copy.event = parentWindow;
    copy.child = XCB_NONE;
    const uint32_t mask =
        (e.response_type & 0x7f) == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE;
    xcb_send_event(display->Conn(), 0, parentWindow, mask, reinterpret_cast<const char*>(&copy));
}
