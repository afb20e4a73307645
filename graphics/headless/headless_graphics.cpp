#include "graphics/headless/headless_graphics.h"

#include "graphics/control.h"
#include "graphics/key_codes.h"
#include "graphics/message_dialog.h"
#include "graphics/value_entry.h"
#include "raster/blit.h"
#include "raster/mem_bitmap.h"
#include "raster/sys_bitmap.h"

#include <cstring>

IGraphicsHeadless::IGraphicsHeadless(IEffectBase* plug, int w, int h, int rate)
    : IGraphics(plug, w, h, rate) {}

IGraphicsHeadless::~IGraphicsHeadless() = default;

void IGraphicsHeadless::EnsurePresentedSize() {
    if (!presented) presented = std::make_unique<RAST_MemBitmap>(0, 0, 4);
    if (presented->Width() != width || presented->Height() != height) {
        presented->ResizeTo(width, height);
        FillRectangle(presented.get(), 0, 0, width, height, 0xff000000u, 1.0f, ModeCopy);
    }
}

bool IGraphicsHeadless::Tick() {
    if (!windowOpen) return false;
    if (entry) {
        // The entry was answered when it opened; its outcome is applied on this tick, as a
        // window system's timer would find it.
        if (entry->commit) CommitEnteredText(entry->control, entry->param, entry->text.c_str());
        entry.reset();
        return false;
    }
    IPixelRect dirty;
    if (!CollectDirtyArea(dirty)) return false;
    return DrawDirty(dirty);
}

int IGraphicsHeadless::TickUntilClean(int limit) {
    int drawn = 0;
    for (int i = 0; i < limit; ++i) {
        bool pendingEntry = entry.has_value();
        IPixelRect dirty;
        if (!pendingEntry && !CollectDirtyArea(dirty)) break;
        if (Tick()) ++drawn;
    }
    return drawn;
}

bool IGraphicsHeadless::PresentArea(const IPixelRect& r) {
    EnsurePresentedSize();
    RAST_Rect src{r.left, r.top, r.right, r.bottom};
    BlitBitmap(presented.get(), DrawSurface(), r.left, r.top, &src, 1.0f, ModeCopy);
    lastPresented = r;
    ++presentCount;
    return true;
}

bool IGraphicsHeadless::KeyDownVirtual(int x, int y, int virtualKey) {
    int code = ControlKeyForVirtualKey(virtualKey);
    return code >= 0 && KeyDown(x, y, code);
}

void IGraphicsHeadless::CancelValueEntry() {
    if (entry) entry->commit = false;
}

void IGraphicsHeadless::Resize(int w, int h) {
    if (w == width && h == height) return;
    IGraphics::Resize(w, h);
    entry.reset(); // its control is gone
    if (presented) EnsurePresentedSize();
}

int IGraphicsHeadless::MessageDialog(const char* text, const char* caption, int type) {
    return responder.Message(text ? text : "", caption ? caption : "", type);
}

IMenuList* IGraphicsHeadless::ShowPopupMenu(IMenuList& menu, const IPixelRect& r) {
    ReleaseCapture();
    int command = responder.Menu(menu, r);
    IMenuList* chosen = command >= 0 ? menu.ChooseByCommand(command) : nullptr;
    MarkAllControlsDirty();
    return chosen;
}

void IGraphicsHeadless::ShowTextEntry(IControl* control, const ITextStyle&, const IPixelRect& r,
                                      const char* text, IParamRecord* param) {
    if (!control || entry) return;
    std::optional<std::string> typed = responder.TextEntry(text ? text : "", r);
    PendingEntry pending;
    pending.control = control;
    pending.param = param;
    if (typed) {
        // Characters the entry field would refuse never arrive, and the field holds only so many.
        for (char ch : *typed)
            if (EntryAcceptsCharacter(param, (unsigned char)ch)) pending.text += ch;
        int limit = control->TextEntryLength();
        if (limit >= 0 && int(pending.text.size()) > limit) pending.text.resize(size_t(limit));
        pending.commit = true;
    }
    entry = std::move(pending);
}

bool IGraphicsHeadless::LaunchUrl(const char* url, const char* caption, const char* confirmText,
                                  const char* errorText) {
    if (confirmText && MessageDialog(confirmText, caption, kMessageYesNo) != kResultYes) return false;
    if (url && responder.Url(url)) return true;
    if (errorText) MessageDialog(errorText, caption, kMessageOk);
    return false;
}

void* IGraphicsHeadless::AttachToParent(void* parentWindow) {
    parent = parentWindow;
    windowOpen = true;
    EnsurePresentedSize();
    for (int i = 0; i < NControls(); ++i)
        GetControl(i)->MarkDirty(false);
    return this;
}

void IGraphicsHeadless::DetachWindow() {
    if (!windowOpen) return;
    windowOpen = false;
    entry.reset();
}
