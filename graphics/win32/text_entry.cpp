// The text-entry field: an edit control over the control whose value is typed, driven by the entry
// state and finished on the editor's next timer tick.
#include "graphics/control.h"
#include "graphics/value_entry.h"
#include "graphics/win32/graphics_win.h"

void IGraphicsWin::ShowTextEntry(IControl* control, const ITextStyle& style, const IPixelRect& r,
                                 const char* text, IParamRecord* param) {
    if (!control || entryWindow || !editorWindow) return;
    DWORD align = style.alignment == ITextStyle::kNear  ? ES_LEFT
                  : style.alignment == ITextStyle::kFar ? ES_RIGHT
                                                        : ES_CENTER;
    HWND field = CreateWindowExA(0, "EDIT", text ? text : "",
                                 WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_MULTILINE | align, r.left, r.top,
                                 r.right - r.left + 1, r.bottom - r.top + 1, editorWindow,
                                 reinterpret_cast<HMENU>(INT_PTR(kEntryControlId)), moduleInstance, nullptr);
    if (!field) return;
    entryFont =
        CreateFontA(style.size, 0, 0, 0, style.style == ITextStyle::kBold ? FW_BOLD : 0,
                    style.style == ITextStyle::kItalic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, style.faceName);
    if (entryFont) SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont), 0);
    SendMessageA(field, EM_LIMITTEXT, WPARAM(control->TextEntryLength() > 0 ? control->TextEntryLength() : 0),
                 0);
    SendMessageA(field, EM_SETSEL, 0, -1);
    entryWindow = field;
    entryControl = control;
    entryParam = param;
    entryState = kEntryNone;
    // Subclassed before it takes the focus, so the focus puts the entry into its editing state.
    previousEntryProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IGraphicsWin::EntryProc)));
    SetWindowLongPtrA(field, GWLP_USERDATA, kEntryMarker);
    SetFocus(field);
}

void IGraphicsWin::CancelValueEntry() {
    entryState = kEntryCancel;
}

LRESULT CALLBACK IGraphicsWin::EntryProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    IGraphicsWin* self = nullptr;
    if (GetWindowLongPtrA(hwnd, GWLP_USERDATA) == kEntryMarker)
        self = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrA(GetParent(hwnd), GWLP_USERDATA));
    if (!self || hwnd != self->entryWindow || !self->previousEntryProc) {
        // Not (or no longer) our field: the edit class's own handling.
        auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
        return own ? CallWindowProcA(own, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
    }
    return self->HandleEntryMessage(hwnd, msg, wp, lp);
}

LRESULT IGraphicsWin::HandleEntryMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    HideTooltip();
    switch (msg) {
    case WM_SETFOCUS:
        entryState = kEntryEditing;
        break;
    case WM_KILLFOCUS:
        entryState = kEntryCommit;
        break;
    case WM_GETDLGCODE:
        if (!entryParam) {
            LRESULT code = CallWindowProcA(previousEntryProc, hwnd, msg, wp, lp);
            const MSG* m = reinterpret_cast<const MSG*>(lp);
            if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
            return code;
        }
        break;
    case WM_KEYDOWN:
        if (wp == VK_RETURN) {
            entryState = kEntryCommit;
            return 0;
        }
        if (wp == VK_ESCAPE) {
            entryState = kEntryCancel;
            return 0;
        }
        break;
    case WM_CHAR:
        // Return and Escape finish the entry; they are never part of the text.
        if (wp == '\r' || wp == '\n' || wp == 0x1b) return 0;
        if (entryParam && !EntryAcceptsCharacter(entryParam, int(wp))) return 0;
        break;
    case WM_COMMAND:
        if (HIWORD(wp) == 1) {
            entryState = kEntryCommit;
            return 0;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(previousEntryProc, hwnd, msg, wp, lp);
}

void IGraphicsWin::FinishEntry(bool commit) {
    char text[32] = {};
    if (commit && entryWindow) GetWindowTextA(entryWindow, text, int(sizeof text));
    IControl* control = entryControl;
    IParamRecord* param = entryParam;
    // The field goes first: what the control does with the value may redraw or even close the editor.
    DestroyEntry();
    if (commit) CommitEnteredText(control, param, text);
}

void IGraphicsWin::DestroyEntry() {
    if (entryWindow) {
        HWND field = entryWindow;
        if (previousEntryProc)
            SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousEntryProc));
        // Keys go back to the editor rather than to nowhere.
        if (GetFocus() == field && editorWindow) SetFocus(editorWindow);
        DestroyWindow(field);
    }
    if (entryFont) DeleteObject(entryFont);
    entryFont = nullptr;
    entryWindow = nullptr;
    entryControl = nullptr;
    entryParam = nullptr;
    previousEntryProc = nullptr;
    entryState = kEntryNone;
}
