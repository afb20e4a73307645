#include "graphics/win32/graphics_win.h"

#include "graphics/control.h"
#include "platform/module_instance.h"
#include "raster/sys_bitmap.h"

#include <algorithm>

namespace {

// Shared by every editor of the module: the class is registered while any editor window exists.
int windowCount = 0;
int timerRate = 25;
bool classRegistered = false;

HINSTANCE OwnInstance() {
    // The plug-in module in a host; the program itself when the editor is built into one.
    void* module = ModuleInstance();
    return module ? static_cast<HINSTANCE>(module) : GetModuleHandleA(nullptr);
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC proc) {
    if (classRegistered) return true;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = IGraphicsWin::kWindowClassName;
    classRegistered = RegisterClassA(&wc) != 0;
    return classRegistered;
}

// Unregistering fails while a window of the class still exists, so it is retried whenever the
// count is back at zero.
void UnregisterWindowClassWhenUnused(HINSTANCE instance) {
    if (windowCount > 0 || !classRegistered) return;
    if (UnregisterClassA(IGraphicsWin::kWindowClassName, instance)) classRegistered = false;
}

} // namespace

int IGraphicsWin::OpenWindowCount() {
    return windowCount;
}

int IGraphicsWin::TimerRate() {
    return timerRate;
}

IGraphicsWin::IGraphicsWin(IEffectBase* plug, int w, int h, int rate)
    : IGraphics(plug, w, h, rate), moduleInstance(OwnInstance()) {}

IGraphicsWin::~IGraphicsWin() {
    DetachWindow();
    customColours.reset();
    mainWindowClass.clear();
}

void* IGraphicsWin::AttachToParent(void* parent) {
    HWND p = static_cast<HWND>(parent);
    parentWindow = p;
    int x = 0, y = 0, w = width, h = height;
    if (editorWindow) {
        // Moving to another parent keeps the place the window had in its old one.
        RECT r;
        if (GetWindowRect(editorWindow, &r) && p) {
            MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&r), 2);
            x = r.left;
            y = r.top;
            w = r.right - r.left;
            h = r.bottom - r.top;
        }
        DetachWindow();
        parentWindow = p;
    }
    // Drawing needs the surfaces; the plug-in base prepares them, but not every caller does.
    if (!DrawSurface()) PrepareSurfaces();

    if (!RegisterWindowClass(moduleInstance, WindowProc)) return nullptr;
    timerRate = frameRate;
    ++windowCount;
    destroyingWindow = false;
    HWND created = CreateWindowExA(0, kWindowClassName, "IEffect", WS_CHILD | WS_VISIBLE, x, y, w, h, p,
                                   nullptr, moduleInstance, this);
    if (!created) {
        editorWindow = nullptr;
        --windowCount;
        UnregisterWindowClassWhenUnused(moduleInstance);
        return nullptr;
    }
    editorWindow = created;
    for (int i = 0; i < NControls(); ++i)
        GetControl(i)->MarkDirty(false);
    if (TooltipsEnabled()) CreateTooltip();
    return editorWindow;
}

void IGraphicsWin::DetachWindow() {
    if (editorWindow) {
        DestroyEntry();
        if (tooltipWindow) DestroyWindow(tooltipWindow);
        tooltipWindow = nullptr;
        tooltipShown = false;
        tooltipControl = -1;
        HWND window = editorWindow;
        destroyingWindow = true;
        DestroyWindow(window);
        destroyingWindow = false;
        editorWindow = nullptr;
        --windowCount;
    }
    UnregisterWindowClassWhenUnused(moduleInstance);
}

void IGraphicsWin::ForgetLostWindow() {
    // Child and owned windows went with it: of the entry field only our side is left to let go.
    editorWindow = nullptr;
    entryWindow = nullptr;
    DestroyEntry();
    tooltipWindow = nullptr;
    tooltipShown = false;
    tooltipControl = -1;
    IGraphics::ReleaseCapture();
    --windowCount;
}

bool IGraphicsWin::PresentArea(const IPixelRect& r) {
    if (!editorWindow) return false;
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(editorWindow, &ps);
    RAST_SysBitmap* surface = DrawSurface();
    HDC source = surface ? static_cast<HDC>(surface->DrawingContext()) : nullptr;
    if (screen && source)
        BitBlt(screen, r.left, r.top, r.right - r.left, r.bottom - r.top, source, r.left, r.top, SRCCOPY);
    EndPaint(editorWindow, &ps);
    return true;
}

void IGraphicsWin::Resize(int w, int h) {
    if (w == width && h == height) return;
    const int dw = w - width, dh = h - height;
    // The entry's control is about to be deleted with the others.
    DestroyEntry();
    IGraphics::Resize(w, h);
    if (!editorWindow) return;
    RECT r;
    GetWindowRect(editorWindow, &r);
    SetWindowPos(editorWindow, nullptr, 0, 0, std::max(0, int(r.right - r.left) + dw),
                 std::max(0, int(r.bottom - r.top) + dh), SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    RECT all{0, 0, w, h};
    InvalidateRect(editorWindow, &all, FALSE);
}

void IGraphicsWin::HideCursor() {
    if (cursorHidden) return;
    POINT p;
    if (GetCursorPos(&p)) {
        hiddenCursorX = p.x;
        hiddenCursorY = p.y;
    }
    ShowCursor(FALSE);
    cursorHidden = true;
}

void IGraphicsWin::RestoreCursor() {
    if (!cursorHidden) return;
    SetCursorPos(hiddenCursorX, hiddenCursorY);
    ShowCursor(TRUE);
    cursorHidden = false;
}
