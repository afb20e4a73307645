#pragma once

#include "graphics/editor_window.h"
#include "graphics/graphics.h"

#include <windows.h>

#include <memory>
#include <string>

// The Win32 back end of the editor: a child window of class "IEffectWndClass" inside a window the
// host provides, redrawn from a 40 ms window timer, with the native services the editor offers
// (message boxes owned by the host's main window, popup menus, a text-entry field, folders, file
// and colour dialogs, opening addresses, the clipboard). Everything runs on the window's thread.
class IGraphicsWin : public IGraphics, public IEditorWindow {
  public:
    // Text-entry states: the field is driven by its messages and finished on a timer tick.
    enum EntryState {
        kEntryNone = 0,
        kEntryEditing = 1,
        kEntryUpdate = 2,
        kEntryCancel = 3,
        kEntryCommit = 4
    };
    static constexpr const char* kWindowClassName = "IEffectWndClass";
    static constexpr UINT_PTR kTimerId = 2;
    static constexpr int kEntryControlId = 99;
    static constexpr LONG_PTR kEntryMarker = 0xdeadf00b;

    IGraphicsWin(IEffectBase* plug, int width, int height, int frameRate);
    ~IGraphicsWin() override;

    // ---- Window-system operations of the core ----
    bool PresentArea(const IPixelRect& r) override;
    void CancelValueEntry() override;
    void Resize(int width, int height) override;
    bool HasWindow() override { return editorWindow != nullptr; }
    std::string DrawingApiName() override { return "Windows GDI"; }
    int MessageDialog(const char* text, const char* caption, int type) override;
    IMenuList* ShowPopupMenu(IMenuList& menu, const IPixelRect& r) override;
    void ShowTextEntry(IControl* control, const ITextStyle& style, const IPixelRect& r, const char* text,
                       IParamRecord* param) override;
    void GetHostFolder(std::string& path) override;
    void GetModuleFolder(std::string& path) override;
    void GetDesktopFolder(std::string& path) override;
    void GetAppDataFolder(std::string& path, bool common) override;
    void ChooseFile(std::string& file, int action, std::string& folder, const char* extensions) override;
    bool ChooseColour(IArgbColor& colour, const char* prompt) override;
    bool LaunchUrl(const char* url, const char* caption, const char* confirmText,
                   const char* errorText) override;
    // Serves the core and the host's editor view alike.
    void* AttachToParent(void* parentWindow) override;
    void DetachWindow() override;
    void* NativeWindow() override { return editorWindow; }
    bool GetClipboardText(std::string& text) override;
    void HideCursor() override;
    void RestoreCursor() override;
    RAST_IBitmap* LoadPlatformImage(int resourceId, const char* fileName) override;

    // ---- The host's editor view ----
    int EditorWidth() const override { return Width(); }
    int EditorHeight() const override { return Height(); }

    // ---- State, for the view and for checks ----
    HWND EditorWindow() const { return editorWindow; }
    HWND EntryWindow() const { return entryWindow; }
    HWND TooltipWindow() const { return tooltipWindow; }
    HWND ParentWindow() const { return parentWindow; }
    HWND MainWindow() const { return mainWindow; }
    int EntryStateNow() const { return entryState; }
    bool CursorHidden() const { return cursorHidden; }
    // Editor windows open in this module, and the frame rate the last one was opened with.
    static int OpenWindowCount();
    static int TimerRate();

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK EntryProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // The brush and colours of the open text field.
    LRESULT EntryFieldBrush(HDC dc);
    // Mouse moves, buttons, the wheel and leaving the window; anything else goes to the default.
    LRESULT HandlePointer(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void HandleMouseWheel(HWND hwnd, WPARAM wp, int screenX, int screenY);
    LRESULT HandleEntryMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT HandleKey(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void HandleMouseMove(int x, int y, const IMouseMods& mods, WPARAM wp);
    void OnTimerTick();
    void TimerTick();
    void OnPaint(HWND hwnd);
    // The window went away without DetachWindow (its parent was destroyed).
    void ForgetLostWindow();

    // Finishes the open text entry: commits its text first when asked, then removes the field.
    void FinishEntry(bool commit);
    // Removes the field without applying anything.
    void DestroyEntry();

    void CreateTooltip();
    void HideTooltip();
    void ShowTooltip();

    // The host's top-level window that owns message boxes, or null.
    HWND FindMainWindow();

    HINSTANCE moduleInstance;
    HWND editorWindow = nullptr;
    HWND entryWindow = nullptr;
    HWND tooltipWindow = nullptr;
    IControl* entryControl = nullptr;
    IParamRecord* entryParam = nullptr;
    WNDPROC previousEntryProc = nullptr;
    int entryState = kEntryNone;
    WheelAccumulator wheel;
    bool tooltipShown = false;
    int tooltipControl = -1;
    std::unique_ptr<COLORREF[]> customColours;
    DWORD processId = 0;
    HWND parentWindow = nullptr;
    HWND mainWindow = nullptr;
    std::string mainWindowClass;

    HFONT entryFont = nullptr;
    // Set while this object destroys its own window, so the destruction is not taken for a loss.
    bool destroyingWindow = false;
    // Set while a key is handed to the host, so a host that hands it back cannot loop.
    bool forwardingKey = false;
    // A modal dialog opened from a control's drawing or from the draw cycle runs its own message
    // loop, which delivers timer ticks and paint requests to this window again; those wait until
    // the outer tick or paint is done instead of re-entering the controls.
    bool inTimerTick = false;
    bool inPaint = false;
    bool repaintAfterPaint = false;
};

// The folder part of a file path: everything up to and including the last backslash; empty when
// there is no backslash or nothing follows it.
std::string FolderOfPath(const std::string& path);

// The open/save dialog's filter for a space-separated extension list ("alg txt" gives
// "*.alg;*.txt" as both description and pattern) and its default extension (the first one).
struct FileDialogFilter {
    std::string filter; // description, NUL, pattern, NUL, NUL
    std::string defaultExtension;
};
FileDialogFilter MakeFileDialogFilter(const char* extensions);
