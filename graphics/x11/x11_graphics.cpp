#include "graphics/x11/x11_graphics.h"

#include "graphics/control.h"
#include "graphics/message_dialog.h"
#include "graphics/modal_panel.h"
#include "graphics/value_entry.h"
#include "graphics/x11/x11_descriptor_watch.h"
#include "graphics/x11/x11_display.h"
#include "graphics/x11/x11_document_opener.h"
#include "graphics/x11/x11_file_dialog.h"
#include "graphics/x11/x11_popup_menu.h"
#include "graphics/x11/x11_text_field.h"
#include "platform/system_dialogs.h"
#include "raster/png_loader.h"
#include "raster/sys_bitmap.h"

#include <cstdlib>

namespace {

template <typename Reply> struct FreeReply {
    void operator()(Reply* r) const { std::free(r); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply<Reply>>;

} // namespace

IGraphicsX11::IGraphicsX11(IEffectBase* plug, int w, int h, int rate) : IGraphics(plug, w, h, rate) {}

IGraphicsX11::~IGraphicsX11() {
    DetachWindow();
}

void IGraphicsX11::UseHostRunLoop(std::unique_ptr<IHostRunLoop> loop) {
    // The window's handlers are registered with the loop it has now, which is about to go.
    CloseWindow();
    hostRunLoop = std::move(loop);
}

void* IGraphicsX11::NativeWindow() {
    return window && !windowGone ? reinterpret_cast<void*>(uintptr_t(window)) : nullptr;
}

void* IGraphicsX11::AttachToParent(void* parentPtr) {
    CloseWindow();
    const auto parent = xcb_window_t(reinterpret_cast<uintptr_t>(parentPtr));
    // Nothing but the host's run loop may drive the window, so without one there is no window.
    if (!parent || !hostRunLoop || reinterpret_cast<uintptr_t>(parentPtr) > 0xffffffffu) return nullptr;
    display = std::make_unique<X11Display>();
    if (!display->Ok() || !OpenWindow(parent)) {
        display.reset();
        window = 0;
        return nullptr;
    }
    const int rate = FrameRate() > 0 ? FrameRate() : 25;
    watchingConnection = hostRunLoop->WatchDescriptor(this, display->Fd());
    runLoopLinked = watchingConnection && hostRunLoop->StartTimer(this, uint64_t(1000 / rate));
    if (!runLoopLinked) {
        if (watchingConnection) hostRunLoop->StopWatching(this);
        watchingConnection = false;
        display.reset(); // the server destroys the window with the connection
        window = 0;
        return nullptr;
    }
    if (!DrawSurface()) PrepareSurfaces();
    for (int i = 0; i < NControls(); ++i)
        GetControl(i)->MarkDirty(false);
    display->Flush();
    return reinterpret_cast<void*>(uintptr_t(window));
}

bool IGraphicsX11::OpenWindow(xcb_window_t parent) {
    xcb_connection_t* c = display->Conn();
    ReplyPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, parent), nullptr));
    if (!geometry) return false; // not a window (any more)
    rootWindow = geometry->root;
    screen = display->ScreenOf(rootWindow);
    if (!screen || !display->VisualTakesPixels(screen)) return false;
    depth = screen->root_depth;
    parentWindow = parent;

    window = xcb_generate_id(c);
    // No background: every pixel comes from the draw surface, so the server never flashes a fill.
    const uint32_t mask =
        XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_BIT_GRAVITY | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP;
    const uint32_t events = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                            XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                            XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
                            XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                            XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_FOCUS_CHANGE;
    const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, XCB_GRAVITY_NORTH_WEST, events,
                               screen->default_colormap};
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_create_window_checked(c, depth, window, parent, 0, 0, uint16_t(Width()), uint16_t(Height()), 0,
                                     XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, mask, values));
    if (error) {
        std::free(error);
        window = 0;
        return false;
    }
    // Embedding hosts look for this: protocol version 0, mapped.
    const uint32_t xembedInfo[] = {0, 1};
    xcb_atom_t infoAtom = display->Atom("_XEMBED_INFO");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, infoAtom, infoAtom, 32, 2, xembedInfo);
    gc = xcb_generate_id(c);
    const uint32_t noExposures[] = {0};
    xcb_create_gc(c, gc, window, XCB_GC_GRAPHICS_EXPOSURES, noExposures);
    display->UseSharedImage(Width(), Height());
    xcb_map_window(c, window);
    windowGone = false;
    return true;
}

void IGraphicsX11::DetachWindow() {
    CloseWindow();
    // The host's loop comes again with the next attach; it is not ours to keep.
    hostRunLoop.reset();
}

void IGraphicsX11::CloseWindow() {
    if (!display) {
        window = 0;
        return;
    }
    CloseEntry();
    // No answer may reach anyone once the window is gone.
    CancelFileDialog();
    LetOpenerGo();
    DropTransientPanels();
    if (runLoopLinked) {
        if (watchingConnection) hostRunLoop->StopWatching(this);
        hostRunLoop->StopTimer(this);
    }
    runLoopLinked = watchingConnection = false;
    xcb_connection_t* c = display->Conn();
    if (display->Ok()) {
        if (cursorHidden) RestoreCursor();
        if (window && !windowGone) xcb_destroy_window(c, window);
        display->Flush();
    }
    display.reset();
    window = gc = blankCursor = 0;
    parentWindow = rootWindow = 0;
    screen = nullptr;
    windowGone = false;
    cursorHidden = false;
    exposed = IPixelRect();
}

bool IGraphicsX11::PresentArea(const IPixelRect& r) {
    if (!display || !window || windowGone || !DrawSurface()) return true;
    IPixelRect k = r.Intersection(IPixelRect(0, 0, Width(), Height()));
    if (k.W() <= 0 || k.H() <= 0) return true;
    display->PutPixels(window, gc, depth, *DrawSurface(), k.left, k.top, k.W(), k.H(), k.left, k.top);
    return true;
}

void IGraphicsX11::OnDescriptorReadable(int) {
    if (!display) return;
    // What the plug-in says while it works for this window is shown in this window.
    MessageRoute route(this);
    DispatchPending();
    if (display) display->Flush();
}

void IGraphicsX11::OnTimer() {
    if (!display) return;
    MessageRoute route(this);
    X11Display* d = display.get();
    DispatchPending();
    if (display.get() != d || !window) return;
    PollFileDialog();
    if (display.get() != d || !window) return;
    PollOpener();
    if (display.get() != d || !window) return;
    if (field && (entryState == EntryState::Commit || entryState == EntryState::Cancel)) {
        FinishEntry();
        display->Flush();
        return;
    }
    IPixelRect dirty;
    if (!windowGone && CollectDirtyArea(dirty)) DrawDirty(dirty);
    if (display.get() == d) display->Flush();
}

void IGraphicsX11::DispatchPending() {
    X11Display* d = display.get();
    while (xcb_generic_event_t* e = d->NextEvent()) {
        Dispatch(e);
        std::free(e);
        // A control's action may have closed the window (and the connection with it).
        if (display.get() != d) return;
    }
    if (!d->Ok() && runLoopLinked) {
        // The server went away: nothing more will come, and the descriptor would never rest.
        if (watchingConnection) hostRunLoop->StopWatching(this);
        watchingConnection = false;
        windowGone = true;
    }
}

void IGraphicsX11::CancelValueEntry() {
    if (field) entryState = EntryState::Cancel;
}

void IGraphicsX11::ShowTextEntry(IControl* control, const ITextStyle& style, const IPixelRect& r,
                                 const char* text, IParamRecord* param) {
    if (!control || field || !display || !window || windowGone) return;
    ITextStyle fieldStyle = style;
    fieldStyle.cachedFont = nullptr;
    RAST_CachedFont* font = FontFor(fieldStyle);
    field = std::make_unique<X11TextField>(*display, window, depth, screen->root_visual, r, fieldStyle, font,
                                           text ? text : "", control->TextEntryLength(), param);
    entryControl = control;
    entryParam = param;
    entryState = EntryState::Editing;
    TakeFocus(field->Window());
    display->Flush();
}

void IGraphicsX11::FinishEntry() {
    IControl* control = entryControl;
    IParamRecord* param = entryParam;
    std::string text = field ? field->Text() : std::string();
    bool commit = entryState == EntryState::Commit;
    CloseEntry();
    if (commit) CommitEnteredText(control, param, text.c_str());
    if (display && window && !windowGone) TakeFocus(window);
}

void IGraphicsX11::CloseEntry() {
    field.reset();
    entryControl = nullptr;
    entryParam = nullptr;
    entryState = EntryState::None;
}

void IGraphicsX11::TakeFocus(xcb_window_t target) {
    if (!display || !target) return;
    // Refused (an error event, nothing else) while the host's window is not shown.
    xcb_set_input_focus(display->Conn(), XCB_INPUT_FOCUS_PARENT, target, XCB_CURRENT_TIME);
}

void IGraphicsX11::Resize(int w, int h) {
    if (w == Width() && h == Height()) return;
    CloseEntry(); // its control is about to go
    IGraphics::Resize(w, h);
    if (display && window && !windowGone) {
        const uint32_t size[] = {uint32_t(w), uint32_t(h)};
        xcb_configure_window(display->Conn(), window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                             size);
        display->UseSharedImage(w, h);
        display->Flush();
    }
}

IMenuList* IGraphicsX11::ShowPopupMenu(IMenuList& menu, const IPixelRect& r) {
    ReleaseCapture();
    if (!display || !window || windowGone) return nullptr;
    xcb_connection_t* c = display->Conn();
    ReplyPtr<xcb_translate_coordinates_reply_t> below(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, rootWindow, int16_t(r.left), int16_t(r.bottom)), nullptr));
    if (!below) return nullptr;
    ITextStyle menuStyle;
    menuStyle.alignment = ITextStyle::kNear;
    RAST_CachedFont* font = FontFor(menuStyle);
    PopupPlacement place{below->dst_x, below->dst_y, below->dst_y - (r.bottom - r.top)};
    int command = RunPopupMenu(*display, screen, place, menu, font);
    IMenuList* chosen = command >= 0 ? menu.ChooseByCommand(command) : nullptr;
    MarkAllControlsDirty();
    return chosen;
}

void IGraphicsX11::HideCursor() {
    if (cursorHidden || !display || !window || windowGone) return;
    xcb_connection_t* c = display->Conn();
    ReplyPtr<xcb_query_pointer_reply_t> at(xcb_query_pointer_reply(c, xcb_query_pointer(c, window), nullptr));
    if (!at) return;
    hiddenRootX = at->root_x;
    hiddenRootY = at->root_y;
    if (!blankCursor) {
        xcb_pixmap_t empty = xcb_generate_id(c);
        xcb_create_pixmap(c, 1, empty, window, 1, 1);
        blankCursor = xcb_generate_id(c);
        xcb_create_cursor(c, blankCursor, empty, empty, 0, 0, 0, 0, 0, 0, 0, 0);
        xcb_free_pixmap(c, empty);
    }
    xcb_change_window_attributes(c, window, XCB_CW_CURSOR, &blankCursor);
    display->Flush();
    cursorHidden = true;
}

void IGraphicsX11::RestoreCursor() {
    if (!cursorHidden) return;
    cursorHidden = false;
    if (!display || !window || windowGone) return;
    xcb_connection_t* c = display->Conn();
    xcb_warp_pointer(c, XCB_NONE, rootWindow, 0, 0, 0, 0, int16_t(hiddenRootX), int16_t(hiddenRootY));
    const uint32_t none[] = {XCB_CURSOR_NONE};
    xcb_change_window_attributes(c, window, XCB_CW_CURSOR, none);
    display->Flush();
}

RAST_IBitmap* IGraphicsX11::LoadPlatformImage(int resourceId, const char* fileName) {
    // Only PNG resources exist; the name's extension says which kind is wanted.
    if (!fileName || !HasPngExtension(fileName)) return nullptr;
    return LoadPngResource(resourceId);
}

int IGraphicsX11::MessageDialog(const char* text, const char* caption, int type) {
    // A message with only OK has no answer to wait for: with the window open it is a panel, as the
    // plug-in's own messages are, and the host runs on. A question is answered before this
    // returns, so the desktop's box is shown and waited for.
    if ((type & 0xf) == kMessageOk && NativeWindow()) {
        OpenPanel(std::make_unique<MessagePanel>(caption ? caption : "", text ? text : ""));
        return kResultOk;
    }
    return ShowSystemMessageBox(text ? text : "", caption ? caption : "", type, nullptr);
}

bool IGraphicsX11::LaunchUrl(const char* url, const char* caption, const char* confirmText,
                             const char* errorText) {
    if (confirmText && MessageDialog(confirmText, caption, kMessageYesNo) != kResultYes) return false;
    if (url && OpenWithSystem(url, nullptr) == kShellOpened) return true;
    if (errorText) MessageDialog(errorText, caption, kMessageOk);
    return false;
}
