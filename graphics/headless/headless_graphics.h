#pragma once

#include "graphics/graphics.h"
#include "graphics/headless/scripted_responder.h"

#include <memory>
#include <optional>
#include <string>

class RAST_MemBitmap;

// An editor back end without a window system. Its caller plays the window: it opens the "window",
// drives the timer with Tick (collect the dirty area, draw, present) and feeds pointer and key
// input to the core. What a person would answer (dialogs, menus, text entry, opening a link)
// comes from a ScriptedResponder. Presented pixels are kept in an editor-sized image, the way a
// screen would show them.
class IGraphicsHeadless : public IGraphics {
  public:
    IGraphicsHeadless(IEffectBase* plug, int width, int height, int frameRate);
    ~IGraphicsHeadless() override;

    // ---- The timer ----
    // One timer tick: first a pending text entry is committed or cancelled (and nothing else
    // happens in that tick), otherwise every dirty control is drawn and presented. Returns true
    // when something was presented. Nothing happens without a window.
    bool Tick();
    // Ticks until nothing is dirty any more (at most `limit` ticks); returns the number drawn.
    int TickUntilClean(int limit = 8);

    // ---- Window-system operations ----
    bool PresentArea(const IPixelRect& r) override;
    void CancelValueEntry() override;
    void Resize(int width, int height) override;
    std::string DrawingApiName() override { return "Headless"; }
    int MessageDialog(const char* text, const char* caption, int type) override;
    IMenuList* ShowPopupMenu(IMenuList& menu, const IPixelRect& r) override;
    void ShowTextEntry(IControl* control, const ITextStyle& style, const IPixelRect& r, const char* text,
                       IParamRecord* param) override;
    bool LaunchUrl(const char* url, const char* caption, const char* confirmText,
                   const char* errorText) override;
    void* AttachToParent(void* parentWindow) override;
    void DetachWindow() override;
    void* NativeWindow() override { return windowOpen ? this : nullptr; }
    RAST_IBitmap* LoadPlatformImage(int resourceId, const char* fileName) override;

    // ---- For the caller ----
    // A key given by its virtual-key number: control keys go to the core, any other key is the
    // host's and is not taken (false).
    bool KeyDownVirtual(int x, int y, int virtualKey);
    ScriptedResponder& Responder() { return responder; }
    // What the "screen" shows: every area presented so far, copied from the draw surface.
    const RAST_MemBitmap* Presented() const { return presented.get(); }
    const IPixelRect& LastPresentedArea() const { return lastPresented; }
    int PresentCount() const { return presentCount; }
    bool EntryOpen() const { return entry.has_value(); }
    void* ParentWindow() const { return parent; }

  private:
    struct PendingEntry {
        IControl* control = nullptr;
        IParamRecord* param = nullptr;
        std::string text;
        bool commit = false; // false: cancelled
    };

    void EnsurePresentedSize();

    ScriptedResponder responder;
    std::unique_ptr<RAST_MemBitmap> presented;
    IPixelRect lastPresented;
    int presentCount = 0;
    bool windowOpen = false;
    void* parent = nullptr;
    std::optional<PendingEntry> entry;
};
