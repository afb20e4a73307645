#pragma once

#include "framework/editor_link.h"
#include "graphics/blend_spec.h"
#include "graphics/image_strip.h"
#include "graphics/menu_list.h"
#include "graphics/mouse_mods.h"
#include "graphics/pixel_rect.h"
#include "graphics/text_style.h"
#include "platform/message_service.h"
#include "platform/user_dialogs.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class IControl;
class IEffectBase;
class IModalPanel;
enum class PanelKey;

// What a file dialog answers: the chosen path, or nothing when it was cancelled or failed.
using FileChoiceDone = std::function<void(const std::optional<std::string>& path)>;

// Told at the start of every draw cycle (each timer tick, on the editor's thread) before the dirty
// area is collected: the place where work that other threads have signalled reaches the controls.
// Threads. The editor core runs on the editor's thread: the host's GUI thread that created the
// window (its timer or run loop drives the draw cycle, input and panels). Two entries are called
// from elsewhere: ApplyHostValueToControls, which the binding also calls from `process` (audio
// thread) and from host calls, always under the plug-in lock; and QueueMessage/QueuedMessages,
// which any thread may call (a mutex guards the queue; the panels open on the editor's thread).
class IDrawCycleListener {
  public:
    virtual ~IDrawCycleListener() = default;
    virtual void OnDrawCycle() = 0;
};
class IParamRecord;
class RAST_CachedFont;
class RAST_IBitmap;
class RAST_MemBitmap;
class RAST_SysBitmap;

// The editor core: owns the ordered control list (index 0 is the background, later controls lie on
// top) and an editor-sized draw surface, decides what to redraw, dispatches pointer and key input,
// carries parameter values between the plug-in and the controls, and loads images and fonts
// through two process-wide caches. A back end supplies the window-system operations.
class IGraphics : public IEditorLink, public IMessageSink {
  public:
    IGraphics(IEffectBase* plug, int width, int height, int frameRate);
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // ---- Virtual operations, in slot order ----
    virtual bool PresentArea(const IPixelRect& r) = 0;
    virtual bool MeasureStyledText(ITextStyle& style, const char* text, IPixelRect& r);
    virtual void CancelValueEntry() = 0;
    virtual void Resize(int width, int height);
    virtual bool HasWindow() { return NativeWindow() != nullptr; }
    virtual std::string DrawingApiName() { return {}; }
    virtual int MessageDialog(const char* text, const char* caption, int type) = 0;
    virtual IMenuList* ShowPopupMenu(IMenuList& menu, const IPixelRect& r) = 0;
    virtual void ShowTextEntry(IControl* control, const ITextStyle& style, const IPixelRect& r,
                               const char* text, IParamRecord* param) = 0;
    // Services for the host side: the usual folders, a file and a colour chooser, and (in its
    // slot below) the clipboard's text. The editor's own actions never use them - its file dialogs
    // go through ChooseFileThen - so only the Windows back end answers them, with the system's.
    // Here they answer nothing: the folders are empty, ChooseFile empties the file and leaves the
    // folder, ChooseColour leaves the colour and GetClipboardText empties the text, both saying false.
    virtual void GetHostFolder(std::string& path) { path.clear(); }
    virtual void GetModuleFolder(std::string& path) { path.clear(); }
    virtual void GetDesktopFolder(std::string& path) { path.clear(); }
    virtual void GetAppDataFolder(std::string& path, bool /*common*/) { path.clear(); }
    virtual void GetUserAppDataFolder(std::string& path) { GetAppDataFolder(path, false); }
    virtual void ChooseFile(std::string& file, int /*action*/, std::string& /*folder*/,
                            const char* /*extensions*/) {
        file.clear();
    }
    virtual bool ChooseColour(IArgbColor& /*colour*/, const char* /*prompt*/) { return false; }
    virtual bool LaunchUrl(const char* url, const char* caption, const char* confirmText,
                           const char* errorText) = 0;
    virtual void* AttachToParent(void* parentWindow) = 0;
    virtual void DetachWindow() = 0;
    virtual void* NativeWindow() = 0;
    virtual bool GetClipboardText(std::string& text) {
        text.clear();
        return false;
    }
    ~IGraphics() override;
    virtual void HideCursor() {}
    virtual void RestoreCursor() {}
    virtual RAST_IBitmap* LoadPlatformImage(int resourceId, const char* fileName) = 0;
    // Asks the user for a file and hands the answer to `done`, on the editor's thread. Here the
    // dialog service answers at once; a back end whose host must keep running answers later, and
    // never when the window closes first.
    virtual void ChooseFileThen(const FileDialogRequest& request, FileChoiceDone done);
    // Opens a document with the user's program for it; the result as IUserDialogs::OpenWithShell
    // gives it. Here the dialog service does it; a back end whose host must keep running does not
    // wait for the program, and says what went wrong when it ends.
    virtual int OpenDocument(const std::string& path);
    // Whether the plug-in's messages are shown in the editor (as panels) rather than by the system.
    virtual bool ShowsMessagesInEditor() const { return false; }

    // ---- What the plug-in base calls ----
    void ApplyHostValueToControls(int paramIdx, double normalized) override;
    void PrepareSurfaces() override;
    void PushParamToControls(int paramIdx, double plainValue) override {
        PushParamToControls(paramIdx, plainValue, false);
    }
    void MarkAllControlsDirty() override;
    void PushParamToControls(int paramIdx, double value, bool normalized);

    // ---- Controls ----
    // Appends a control and takes ownership; returns its index. A control already in this editor
    // keeps its place; null or a control of another editor is refused with -1 (and not taken).
    int AddControl(IControl* control);
    int NControls() const { return int(controls.size()); }
    // Null for an index outside the list.
    IControl* GetControl(int idx) const;
    void SetKeyCatcher(IControl* control) { keyCatcher = control; }
    IControl* KeyCatcher() const { return keyCatcher; }

    // ---- Draw cycle ----
    // Tells the listener (if any), then collects the union of the dirty controls' rectangles.
    bool CollectDirtyArea(IPixelRect& r);
    void SetDrawCycleListener(IDrawCycleListener* listener) { drawCycleListener = listener; }
    bool DrawDirty(const IPixelRect& r);
    void SetStrictDrawing(bool strict) { strictDrawing = strict; }
    bool StrictDrawing() const { return strictDrawing; }
    const IPixelRect& DrawArea() const { return drawArea; }

    bool DrawImage(const IImageStrip& strip, const IPixelRect& dest, int srcX, int srcY,
                   const IBlendSpec* blend);
    // Draws text into the draw surface inside r: false (nothing drawn) when no font can be made.
    bool DrawStyledText(ITextStyle& style, const char* text, const IPixelRect& r);

    // ---- Images and fonts ----
    RAST_CachedFont* FontFor(ITextStyle& style);
    // A strip of `frames` vertical frames. When the image cannot be loaded the strip has no bitmap
    // and a size of 0 x 0: it occupies nothing and draws nothing.
    IImageStrip LoadImageStrip(int resourceId, const char* fileName, int frames);

    // ---- Modal panels ----
    // Puts a panel on top (editor thread); the face below is dimmed and takes no input until the
    // panel finishes.
    void OpenPanel(std::unique_ptr<IModalPanel> panel);
    // Removes a panel without telling it (its window went away); false when it is not open.
    bool DropPanel(IModalPanel* panel);
    // Removes, without telling them, the panels that go with the window (see KeepsWithoutWindow).
    void DropTransientPanels();
    bool PanelOpen() const { return !panels.empty(); }
    IModalPanel* TopPanel() const { return panels.empty() ? nullptr : panels.back().get(); }
    // A key for the top panel; false when no panel is open or it did not take the key.
    bool PanelKeyDown(PanelKey key, int character);
    // A message for the user from any thread: shown as a panel in the next draw cycle that has a
    // window, one after the other.
    void QueueMessage(const std::string& caption, const std::string& text);
    size_t QueuedMessages() const;
    // A message routed here (MessageRoute): queued when this editor shows messages itself.
    void TakeMessage(const std::string& caption, const std::string& text, MessageIcon icon) override;

    // ---- Value entry ----
    void ShowValueEntry(IControl* control, IParamRecord* param, const IPixelRect* r);

    // ---- Input ----
    void MouseDown(int x, int y, const IMouseMods& mods);
    void MouseUp(int x, int y, const IMouseMods& mods);
    void MouseDrag(int x, int y, const IMouseMods& mods);
    bool MouseOver(int x, int y, const IMouseMods& mods);
    void MouseLeave();
    void MouseDoubleClick(int x, int y, const IMouseMods& mods);
    void MouseWheel(int x, int y, const IMouseMods& mods, int steps);
    bool KeyDown(int x, int y, int keyCode);
    void ReleaseCapture();
    int FindControlAt(int x, int y);

    // ---- State ----
    IEffectBase* Plug() const { return plug; }
    int Width() const { return width; }
    int Height() const { return height; }
    int FrameRate() const { return frameRate; }
    int CaptureIndex() const { return captureIdx; }
    int MouseOverIndex() const { return mouseOverIdx; }
    int LastPointerX() const { return lastX; }
    int LastPointerY() const { return lastY; }
    void SetHandleMouseOver(bool on) { handleMouseOver = on; }
    bool TooltipsEnabled() const { return tooltipsEnabled; }
    void EnableTooltips(bool on) { tooltipsEnabled = on; }
    RAST_SysBitmap* DrawSurface() const { return drawSurface.get(); }
    RAST_MemBitmap* ScratchBitmap() const { return scratch.get(); }

  protected:
    std::vector<std::unique_ptr<IControl>> controls;
    IEffectBase* plug;
    IPixelRect drawArea;
    bool cursorHidden = false;
    int hiddenCursorX = -1;
    int hiddenCursorY = -1;
    std::unique_ptr<RAST_SysBitmap> drawSurface;
    std::unique_ptr<RAST_MemBitmap> scratch;
    int width;
    int height;
    int frameRate;
    int captureIdx = -1;
    int mouseOverIdx = -1;
    int lastX = 0;
    int lastY = 0;
    bool handleMouseOver = false;
    bool strictDrawing = true;
    bool tooltipsEnabled = false;
    IControl* keyCatcher = nullptr;
    IDrawCycleListener* drawCycleListener = nullptr;

  private:
    // Removes finished panels and tells them, after the input call that finished them.
    void SweepPanels();
    void ShowQueuedMessages();
    void PaintPanels();
    std::vector<std::unique_ptr<IModalPanel>> panels;
    struct QueuedMessage {
        std::string caption;
        std::string text;
    };
    mutable std::mutex queueMutex;
    std::vector<QueuedMessage> messageQueue;

    // Drawing, or in measuring mode placing r around the text as the style's alignment says.
    bool RenderStyledText(ITextStyle& style, const char* text, IPixelRect& r, bool measuring);
    void DeleteControls();
    // Whether a right press on a control bound to this parameter opens the host's menu instead.
    bool HostOffersMenuFor(int paramIdx) const;
    // The control that receives a pointer event: the captured one, else the one at (x, y).
    IControl* PointerTarget(int x, int y);
};
