// The editor window's messages: painting, the redraw timer, pointer and key input.
#include "graphics/control.h"
#include "graphics/key_codes.h"
#include "graphics/mouse_mods.h"
#include "graphics/win32/graphics_win.h"

#include <windowsx.h>

namespace {

IMouseMods ModsFromKeyState(WPARAM keyState) {
    IMouseMods m;
    m.left = (keyState & MK_LBUTTON) != 0;
    m.right = (keyState & MK_RBUTTON) != 0;
    m.shift = (keyState & MK_SHIFT) != 0;
    m.control = (keyState & MK_CONTROL) != 0;
    m.alt = GetKeyState(VK_MENU) < 0;
    return m;
}

} // namespace

LRESULT CALLBACK IGraphicsWin::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        auto* self = static_cast<IGraphicsWin*>(cs->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->editorWindow = hwnd;
        const int rate = TimerRate() > 0 ? TimerRate() : 1;
        SetTimer(hwnd, kTimerId, UINT(1000 / rate), nullptr);
        SetFocus(hwnd);
        return 0;
    }
    auto* self = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || hwnd != self->editorWindow) return DefWindowProcA(hwnd, msg, wp, lp);
    return self->HandleMessage(hwnd, msg, wp, lp);
}

LRESULT IGraphicsWin::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        if (!destroyingWindow) ForgetLostWindow();
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    if (msg == WM_CTLCOLOREDIT && entryControl && reinterpret_cast<HWND>(lp) == entryWindow)
        return EntryFieldBrush(reinterpret_cast<HDC>(wp));
    if (entryWindow && entryState == kEntryEditing) {
        // While a value is typed the editor stands still; a click in it abandons the entry.
        if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
            entryState = kEntryCancel;
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return 0;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_CLOSE:
        DetachWindow();
        return 0;
    case WM_TIMER:
        if (wp != kTimerId) break;
        OnTimerTick();
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        return HandleKey(hwnd, msg, wp, lp);
    case WM_MOUSEHOVER:
        ShowTooltip();
        return 0;
    default:
        return HandlePointer(hwnd, msg, wp, lp);
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// The field takes its colours from the control's style whatever state it is in.
LRESULT IGraphicsWin::EntryFieldBrush(HDC dc) {
    const ITextStyle& style = entryControl->TextStyle();
    const COLORREF back = RGB(style.entryBackColour.r, style.entryBackColour.g, style.entryBackColour.b);
    SetBkColor(dc, back);
    SetTextColor(dc, RGB(style.entryTextColour.r, style.entryTextColour.g, style.entryTextColour.b));
    SetBkMode(dc, OPAQUE);
    SetDCBrushColor(dc, back);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}

LRESULT IGraphicsWin::HandlePointer(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
    case WM_MOUSEMOVE:
        HandleMouseMove(x, y, ModsFromKeyState(wp), wp);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        HideTooltip();
        if (entryWindow) {
            entryState = kEntryCommit;
            return 0;
        }
        SetFocus(hwnd);
        SetCapture(hwnd);
        MouseDown(x, y, ModsFromKeyState(wp));
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        ::ReleaseCapture();
        MouseUp(x, y, ModsFromKeyState(wp));
        return 0;
    case WM_LBUTTONDBLCLK:
        MouseDoubleClick(x, y, ModsFromKeyState(wp));
        // The core captures a control that takes double-clicks as presses; the window follows.
        if (CaptureIndex() >= 0 && editorWindow) SetCapture(hwnd);
        return 0;
    case WM_MOUSEWHEEL:
        HandleMouseWheel(hwnd, wp, x, y);
        return 0;
    case WM_MOUSELEAVE:
        HideTooltip();
        MouseLeave();
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

void IGraphicsWin::HandleMouseWheel(HWND hwnd, WPARAM wp, int screenX, int screenY) {
    if (entryWindow) {
        entryState = kEntryCancel;
        return;
    }
    // Wheel positions are screen coordinates.
    RECT wr{};
    GetWindowRect(hwnd, &wr);
    // Touchpads send fractions of a notch; they scroll once they add up to one.
    const int steps = wheel.Add(GET_WHEEL_DELTA_WPARAM(wp));
    if (steps != 0) MouseWheel(screenX - wr.left, screenY - wr.top, ModsFromKeyState(LOWORD(wp)), steps);
}

LRESULT IGraphicsWin::HandleKey(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    bool taken = false;
    if (msg == WM_KEYDOWN) {
        const int code = ControlKeyForVirtualKey(int(wp));
        if (code >= 0) {
            POINT p{};
            GetCursorPos(&p);
            ScreenToClient(hwnd, &p);
            taken = KeyDown(p.x, p.y, code);
        }
    }
    if (taken) return 0;
    // Keys the editor does not use belong to the host (its shortcuts and transport keys).
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (root && root != hwnd && !forwardingKey) {
        forwardingKey = true;
        SendMessageA(root, msg, wp, lp);
        forwardingKey = false;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void IGraphicsWin::HandleMouseMove(int x, int y, const IMouseMods& mods, WPARAM wp) {
    if (wp & (MK_LBUTTON | MK_RBUTTON)) {
        if (GetCapture() == editorWindow && !entryWindow) MouseDrag(x, y, mods);
        return;
    }
    if (!MouseOver(x, y, mods)) return;
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = editorWindow;
    tme.dwHoverTime = HOVER_DEFAULT;
    if (TooltipsEnabled() && MouseOverIndex() != tooltipControl) {
        tooltipControl = MouseOverIndex();
        if (tooltipControl >= 0) tme.dwFlags |= TME_HOVER;
        HideTooltip();
    }
    TrackMouseEvent(&tme);
}

void IGraphicsWin::OnPaint(HWND hwnd) {
    if (inPaint) {
        // Asked again from inside a control's drawing: painted in full once the outer paint ends.
        repaintAfterPaint = true;
        ValidateRect(hwnd, nullptr);
        return;
    }
    RECT r;
    if (GetUpdateRect(hwnd, &r, FALSE)) {
        inPaint = true;
        DrawDirty(IPixelRect(r.left, r.top, r.right, r.bottom));
        inPaint = false;
    }
    if (editorWindow != hwnd) return;
    // Nothing may stay invalid (an editor without controls presents nothing), or the window
    // system would ask again at once, for ever.
    if (GetUpdateRect(hwnd, nullptr, FALSE)) ValidateRect(hwnd, nullptr);
    if (repaintAfterPaint) {
        repaintAfterPaint = false;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

void IGraphicsWin::OnTimerTick() {
    if (inTimerTick) return;
    inTimerTick = true;
    TimerTick();
    inTimerTick = false;
}

void IGraphicsWin::TimerTick() {
    if (entryWindow && entryState != kEntryNone) {
        if (entryState == kEntryUpdate) {
            entryState = kEntryNone;
            return;
        }
        if (entryState == kEntryCommit || entryState == kEntryCancel) {
            FinishEntry(entryState == kEntryCommit);
            return;
        }
    }
    IPixelRect dirty;
    if (!CollectDirtyArea(dirty) || !editorWindow) return;
    RECT r{dirty.left, dirty.top, dirty.right, dirty.bottom};
    InvalidateRect(editorWindow, &r, FALSE);
    if (entryWindow && entryControl) {
        // The open field lies over its control: the control is not painted over it.
        const IPixelRect& c = entryControl->DrawRect();
        RECT keep{c.left, c.top, c.right, c.bottom};
        ValidateRect(editorWindow, &keep);
        UpdateWindow(editorWindow);
        entryState = kEntryUpdate;
    } else {
        UpdateWindow(editorWindow);
    }
}
