#pragma once

#include "graphics/editor_window.h"
#include "graphics/graphics.h"
#include "graphics/host_run_loop.h"

#include <xcb/xcb.h>

#include <memory>
#include <string>

class X11Display;
struct X11DocumentOpener;
struct X11FileDialog;
class X11TextField;

// The editor back end for Linux hosts: the editor is a child window of the X11 window the host
// hands over, driven by the host's run loop (a handler on the X connection and a timer at the
// editor's frame rate). It presents the draw surface, turns pointer and key events into the core's
// input calls, draws its own popup menus and text field with the editor's raster and fonts, and
// leaves message boxes and file dialogs to zenity or kdialog and addresses to xdg-open.
// The plug-in's own messages and the wait for a file dialog are panels drawn in the editor.
// The X connection is made when the window opens, so the object can exist without a display.
class IGraphicsX11 : public IGraphics,
                     public IEditorWindow,
                     private IHostRunLoop::IDescriptorHandler,
                     private IHostRunLoop::ITimerHandler {
  public:
    IGraphicsX11(IEffectBase* plug, int width, int height, int frameRate);
    ~IGraphicsX11() override;

    // ---- Window-system operations ----
    bool PresentArea(const IPixelRect& r) override;
    void CancelValueEntry() override;
    void Resize(int width, int height) override;
    std::string DrawingApiName() override { return "X11"; }
    int MessageDialog(const char* text, const char* caption, int type) override;
    IMenuList* ShowPopupMenu(IMenuList& menu, const IPixelRect& r) override;
    void ShowTextEntry(IControl* control, const ITextStyle& style, const IPixelRect& r, const char* text,
                       IParamRecord* param) override;
    bool LaunchUrl(const char* url, const char* caption, const char* confirmText,
                   const char* errorText) override;
    // parent is the host's X11 window id. Needs a host run loop (UseHostRunLoop) and a display.
    void* AttachToParent(void* parent) override;
    void DetachWindow() override;
    void* NativeWindow() override;
    void HideCursor() override;
    void RestoreCursor() override;
    RAST_IBitmap* LoadPlatformImage(int resourceId, const char* fileName) override;
    // The dialog program runs beside the host: its answer arrives through the host's run loop
    // while the editor shows that it waits. Without a dialog program the editor's own chooser asks.
    void ChooseFileThen(const FileDialogRequest& request, FileChoiceDone done) override;
    bool ShowsMessagesInEditor() const override { return true; }
    bool FileDialogOpen() const { return fileDialog != nullptr; }
    // The opener (xdg-open) runs beside the host too; when it fails, a panel says where the page is.
    int OpenDocument(const std::string& path) override;
    bool OpenerRunning() const { return opener != nullptr; }

    // ---- The host side ----
    int EditorWidth() const override { return Width(); }
    int EditorHeight() const override { return Height(); }
    // A window open on another loop is closed first: that loop drives it.
    void UseHostRunLoop(std::unique_ptr<IHostRunLoop> loop) override;

    // The editor window's id (0 without one) and whether a text field is open.
    uint32_t WindowId() const { return window; }
    bool EntryOpen() const { return field != nullptr; }

  private:
    enum class EntryState { None, Editing, Commit, Cancel };

    // What the run loop calls: the X connection's descriptor became readable, and the timer at
    // the editor's frame rate.
    void OnDescriptorReadable(int fd) override;
    void OnTimer() override;

    bool OpenWindow(xcb_window_t parent);
    // Destroys the window and closes the connection; the host's run loop stays for a new attach.
    void CloseWindow();
    void Dispatch(xcb_generic_event_t* event);
    void DispatchPending();
    void OnButtonPress(const xcb_button_press_event_t& e);
    void OnButtonRelease(const xcb_button_release_event_t& e);
    void OnMotion(const xcb_motion_notify_event_t& e);
    void OnKey(const xcb_key_press_event_t& e, bool press);
    void OnExpose(const xcb_expose_event_t& e);
    // Hands a key the editor does not take to the host's window.
    void ForwardKeyToHost(const xcb_key_press_event_t& e);
    void FinishEntry();
    void CloseEntry();
    void TakeFocus(xcb_window_t target);
    void OnDialogReadable();
    // Collects the dialog program once it has ended and hands its answer on.
    void PollFileDialog();
    void FinishFileDialog();
    // Ends a running dialog program without an answer (the window closes, the user gives up).
    void CancelFileDialog();
    // Hands on the opener's end; one running past its time has opened its page and is let go.
    void PollOpener();
    // Stops watching a running opener without ending it (the window closes, another page opens).
    void LetOpenerGo();
    bool PanelKeyFromEvent(const xcb_key_press_event_t& e);

    std::unique_ptr<X11Display> display;
    std::unique_ptr<IHostRunLoop> hostRunLoop; // held between UseHostRunLoop and DetachWindow
    // Both handlers are registered while a window is open; the descriptor alone is dropped when
    // the server goes away.
    bool runLoopLinked = false;
    bool watchingConnection = false;
    xcb_window_t parentWindow = 0;
    xcb_window_t window = 0;
    xcb_window_t rootWindow = 0;
    xcb_screen_t* screen = nullptr;
    xcb_gcontext_t gc = 0;
    xcb_cursor_t blankCursor = 0;
    uint8_t depth = 0;
    bool windowGone = false;

    // Double-clicks come from timing: a second left press soon after the first, close to it.
    uint32_t lastPressTime = 0;
    int lastPressX = -1000;
    int lastPressY = -1000;
    bool lastPressWasDouble = false;
    int pointerX = 0;
    int pointerY = 0;

    IPixelRect exposed;
    std::unique_ptr<X11TextField> field;
    EntryState entryState = EntryState::None;
    IControl* entryControl = nullptr;
    IParamRecord* entryParam = nullptr;

    int hiddenRootX = 0;
    int hiddenRootY = 0;

    std::unique_ptr<X11FileDialog> fileDialog;
    std::unique_ptr<X11DocumentOpener> opener;
};
