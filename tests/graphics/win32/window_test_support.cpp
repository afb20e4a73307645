#include "window_test_support.h"

#include <cstring>

namespace {

const char* const kHostClass = "TvTestHostWindow";

struct ModalState {
    std::string className;
    std::function<void(HWND)> action;
    UINT_PTR timer = 0;
    bool answered = false;
    int afterMs = 0;
    DWORD firstSeen = 0;
    bool seen = false;
};
ModalState* modal = nullptr;

BOOL CALLBACK FindModal(HWND hwnd, LPARAM lp) {
    char name[64] = {};
    GetClassNameA(hwnd, name, int(sizeof name));
    if (modal && modal->className == name && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ModalTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!modal || modal->answered) return;
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindModal, reinterpret_cast<LPARAM>(&found));
    if (!found) return;
    if (!modal->seen) {
        modal->seen = true;
        modal->firstSeen = GetTickCount();
    }
    if (GetTickCount() - modal->firstSeen < DWORD(modal->afterMs)) return;
    modal->answered = true;
    KillTimer(nullptr, modal->timer);
    modal->timer = 0;
    modal->action(found);
}

struct ClassCount {
    const char* className;
    int count;
};

BOOL CALLBACK CountChild(HWND hwnd, LPARAM lp) {
    auto* c = reinterpret_cast<ClassCount*>(lp);
    char name[64] = {};
    GetClassNameA(hwnd, name, int(sizeof name));
    if (std::strcmp(name, c->className) == 0) ++c->count;
    return TRUE;
}

BOOL CALLBACK CountTop(HWND hwnd, LPARAM lp) {
    CountChild(hwnd, lp);
    EnumChildWindows(hwnd, CountChild, lp);
    return TRUE;
}

} // namespace

namespace {

HostWindow* keyRecipient = nullptr;

LRESULT CALLBACK RootProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (keyRecipient && (msg == WM_KEYDOWN || msg == WM_KEYUP)) keyRecipient->keysReceived.push_back(wp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// The host's main window, made once and kept: without a window manager, hiding an activated
// top-level window waits two seconds for the display server.
HWND RootWindow() {
    static HWND root = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RootProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kHostClass;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        RegisterClassA(&wc);
        return CreateWindowExA(0, kHostClass, "Test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 10, 10,
                               900, 500, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }();
    return root;
}

} // namespace

HostWindow::HostWindow(int w, int h) {
    hwnd = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, w, h, RootWindow(),
                           nullptr, GetModuleHandleA(nullptr), nullptr);
    keyRecipient = this;
    Pump(20);
}

HostWindow::~HostWindow() {
    Destroy();
    if (keyRecipient == this) keyRecipient = nullptr;
}

HWND HostWindow::Root() const {
    return RootWindow();
}

void HostWindow::Destroy() {
    if (!hwnd) return;
    DestroyWindow(hwnd);
    hwnd = nullptr;
    Pump(10);
}

void Pump(int ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
    const DWORD end = GetTickCount() + DWORD(ms);
    while (true) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (done()) return true;
        if (LONG(GetTickCount() - end) >= 0) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

std::unique_ptr<RAST_SysBitmap> CaptureWindow(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    auto shot = std::make_unique<RAST_SysBitmap>(r.right, r.bottom);
    HDC screen = GetDC(hwnd);
    BitBlt(static_cast<HDC>(shot->DrawingContext()), 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, screen);
    GdiFlush();
    return shot;
}

int CountWindowsOfClass(const char* className) {
    ClassCount c{className, 0};
    EnumThreadWindows(GetCurrentThreadId(), CountTop, reinterpret_cast<LPARAM>(&c));
    return c.count;
}

bool ClassRegistered(HINSTANCE instance, const char* className) {
    WNDCLASSA wc{};
    return GetClassInfoA(instance, className, &wc) != 0;
}

ModalAnswer::ModalAnswer(const char* className, std::function<void(HWND)> action, int afterMs) {
    modal = new ModalState{className, std::move(action)};
    modal->afterMs = afterMs;
    modal->timer = SetTimer(nullptr, 0, 30, ModalTick);
}

ModalAnswer::~ModalAnswer() {
    if (modal->timer) KillTimer(nullptr, modal->timer);
    delete modal;
    modal = nullptr;
}

bool ModalAnswer::Answered() const {
    return modal && modal->answered;
}

void Click(HWND hwnd, int x, int y, bool right) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(hwnd, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, at);
    PostMessageA(hwnd, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
}

DWORD GdiObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

DWORD UserObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
}
