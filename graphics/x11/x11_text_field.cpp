#include "graphics/x11/x11_text_field.h"

#include "graphics/value_entry.h"
#include "graphics/x11/x11_display.h"
#include "graphics/x11/x11_keys.h"
#include "raster/blit.h"
#include "raster/cached_font.h"

#include <algorithm>

namespace {

constexpr RAST_Pixel kSelection = 0xff99c9ffu;
constexpr int kPadding = 2;

std::string Latin1ToUtf8(const std::string& latin1) {
    std::string out;
    for (unsigned char ch : latin1) {
        if (ch < 0x80) {
            out += char(ch);
        } else {
            out += char(0xc0 | (ch >> 6));
            out += char(0x80 | (ch & 0x3f));
        }
    }
    return out;
}

// The field holds Latin-1; characters beyond it (from a UTF-8 start text) become '?'.
std::string Utf8ToLatin1(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char ch = utf8[i];
        if (ch < 0x80) {
            out += char(ch);
        } else if ((ch & 0xe0) == 0xc0 && i + 1 < utf8.size() && ch <= 0xc3) {
            out += char(((ch & 0x1f) << 6) | (utf8[i + 1] & 0x3f));
            ++i;
        } else if ((ch & 0xc0) != 0x80) {
            out += '?';
        }
    }
    return out;
}

int TextWidth(RAST_CachedFont* font, RAST_IBitmap* surface, const std::string& utf8) {
    if (!font || utf8.empty()) return 0;
    RAST_Rect box{0, 0, 0, 0};
    font->RenderText(surface, utf8.c_str(), int(utf8.size()), &box,
                     TextLeft | TextSingleLine | TextMeasureOnly);
    return box.right - box.left;
}

} // namespace

X11TextField::X11TextField(X11Display& d, xcb_window_t parent, uint8_t dep, xcb_visualid_t visual,
                           const IPixelRect& r, const ITextStyle& s, RAST_CachedFont* f,
                           const std::string& start, int max, const IParamRecord* p)
    : display(d), depth(dep), width(std::max(1, r.W() + 1)), height(std::max(1, r.H() + 1)), style(s),
      font(f), text(Utf8ToLatin1(start)), limit(max), param(p), image(width, height) {
    if (limit >= 0 && int(text.size()) > limit) text.resize(size_t(limit));
    caret = text.size();
    xcb_connection_t* c = display.Conn();
    window = xcb_generate_id(c);
    const uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK;
    const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0,
                               XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_KEY_PRESS |
                                   XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE};
    xcb_create_window(c, depth, window, parent, int16_t(r.left), int16_t(r.top), uint16_t(width),
                      uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual, mask, values);
    gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, window, 0, nullptr);
    xcb_map_window(c, window);
    Draw();
}

X11TextField::~X11TextField() {
    if (!display.Ok()) return;
    xcb_free_gc(display.Conn(), gc);
    xcb_destroy_window(display.Conn(), window);
}

std::string X11TextField::Text() const {
    return Latin1ToUtf8(text);
}

X11TextField::Outcome X11TextField::Key(uint32_t sym, int character) {
    switch (sym) {
    case kSymReturn:
    case kSymKpEnter:
        return Outcome::Commit;
    case kSymEscape:
        return Outcome::Cancel;
    case kSymBackSpace:
        if (allSelected) {
            text.clear();
            caret = 0;
        } else if (caret > 0) {
            text.erase(--caret, 1);
        }
        break;
    case kSymDelete:
        if (allSelected) {
            text.clear();
            caret = 0;
        } else if (caret < text.size()) {
            text.erase(caret, 1);
        }
        break;
    case kSymLeft:
        caret = allSelected ? 0 : caret - (caret > 0);
        break;
    case kSymRight:
        caret = allSelected ? text.size() : caret + (caret < text.size());
        break;
    case kSymHome:
        caret = 0;
        break;
    case kSymEnd:
        caret = text.size();
        break;
    default:
        if (character < 0x20 || character > 0xff || !EntryAcceptsCharacter(param, character))
            return Outcome::Editing;
        if (allSelected) {
            text.clear();
            caret = 0;
        }
        if (limit >= 0 && int(text.size()) >= limit) break;
        text.insert(caret++, 1, char(character));
        break;
    }
    allSelected = false;
    Draw();
    return Outcome::Editing;
}

void X11TextField::Draw() {
    if (!display.Ok()) return;
    FillRectangle(&image, 0, 0, width, height, style.entryBackColour.ToPixel() | 0xff000000u, 1.0f, ModeCopy);
    const std::string all = Text();
    const int textWidth = TextWidth(font, &image, all);
    int x = kPadding;
    if (style.alignment == ITextStyle::kFar)
        x = width - kPadding - textWidth;
    else if (style.alignment != ITextStyle::kNear)
        x = (width - textWidth) / 2;
    const int lineHeight = font ? std::min(font->LineHeight(), height) : height;
    const int top = (height - lineHeight) / 2;
    if (allSelected && textWidth > 0)
        FillRectangle(&image, x, top, textWidth, lineHeight, kSelection, 1.0f, ModeCopy);
    if (font && !all.empty()) {
        font->SetTextColour(style.entryTextColour.ToPixel());
        RAST_Rect box{x, top, x + textWidth + 1, top + lineHeight};
        font->RenderText(&image, all.c_str(), int(all.size()), &box, TextLeft | TextSingleLine | TextNoClip);
    }
    if (!allSelected) {
        int caretX = x + TextWidth(font, &image, Latin1ToUtf8(text.substr(0, caret)));
        caretX = std::clamp(caretX, 0, width - 1);
        FillRectangle(&image, caretX, top, 1, lineHeight, style.entryTextColour.ToPixel() | 0xff000000u, 1.0f,
                      ModeCopy);
    }
    display.PutPixels(window, gc, depth, image, 0, 0, width, height, 0, 0);
}
