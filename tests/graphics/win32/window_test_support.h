#pragma once

// What the window tests need around an editor window: a top-level host window, a message pump,
// a screen capture of a window, window counts, and answering modal menus and dialogs from a
// thread timer while they run.

#include "raster/sys_bitmap.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// The window a host gives the editor: a child of the host's main window, which records the keys
// the editor hands on to it.
class HostWindow {
  public:
    explicit HostWindow(int w = 800, int h = 420);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return hwnd; }
    // The host's main window.
    HWND Root() const;
    // Destroys the window now (as a host closing its window before the editor is removed).
    void Destroy();

    std::vector<WPARAM> keysReceived; // WM_KEYDOWN and WM_KEYUP codes, in order

  private:
    HWND hwnd = nullptr;
};

// Dispatches this thread's messages for `ms` milliseconds.
void Pump(int ms);
// Pumps until `done` holds or `ms` milliseconds have passed; returns done().
bool PumpUntil(const std::function<bool()>& done, int ms);

// Copies what the window shows into a bitmap of its client size.
std::unique_ptr<RAST_SysBitmap> CaptureWindow(HWND hwnd);

// Windows of the editor's class that belong to this thread, children included.
int CountWindowsOfClass(const char* className);
bool ClassRegistered(HINSTANCE instance, const char* className);

// Runs `action` on the first window of class `className` ("#32768" menus, "#32770" dialogs) that
// this thread shows while the returned guard lives, once it has been up for `afterMs`; the action
// gets that window.
class ModalAnswer {
  public:
    ModalAnswer(const char* className, std::function<void(HWND)> action, int afterMs = 0);
    ~ModalAnswer();
    bool Answered() const;
};

// Posts a left-button press and release at (x, y) in client coordinates.
void Click(HWND hwnd, int x, int y, bool right = false);

// GDI and USER objects of this process, where the system counts them (0 otherwise).
DWORD GdiObjects();
DWORD UserObjects();
