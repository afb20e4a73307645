#pragma once

#include "graphics/pixel_rect.h"
#include "graphics/text_style.h"
#include "raster/mem_bitmap.h"

#include <xcb/xcb.h>

#include <string>

class IParamRecord;
class RAST_CachedFont;
class X11Display;

// The one-line text field of a value entry, drawn by the editor itself: a child window over the
// control, in the style's entry colours and font, starting with all of its text selected so that
// typing replaces it. It filters what the parameter accepts and holds at most `limit` characters.
class X11TextField {
  public:
    enum class Outcome { Editing, Commit, Cancel };

    X11TextField(X11Display& display, xcb_window_t parent, uint8_t depth, xcb_visualid_t visual,
                 const IPixelRect& r, const ITextStyle& style, RAST_CachedFont* font, const std::string& text,
                 int limit, const IParamRecord* param);
    ~X11TextField();
    X11TextField(const X11TextField&) = delete;
    X11TextField& operator=(const X11TextField&) = delete;

    xcb_window_t Window() const { return window; }
    // Text as typed, in UTF-8.
    std::string Text() const;

    // One key: editing keys change the text, Return commits, Escape cancels. `character` is the
    // Latin-1 character the key types, or -1.
    Outcome Key(uint32_t keysym, int character);
    void Draw();

  private:
    X11Display& display;
    xcb_window_t window = 0;
    xcb_gcontext_t gc = 0;
    uint8_t depth;
    int width;
    int height;
    ITextStyle style;
    RAST_CachedFont* font;
    std::string text; // Latin-1, one byte per character
    size_t caret;
    bool allSelected = true;
    int limit;
    const IParamRecord* param;
    RAST_MemBitmap image;
};
