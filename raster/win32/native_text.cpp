#include "raster/blit.h"
#include "raster/platform_text.h"
#include "raster/utf8.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace rast {

namespace {

// Text with well-formed UTF-8 goes through UTF-16; plain 8-bit text, and text the conversion
// refuses, is drawn as it is in the process's code page.
int DrawUtf8(HDC dc, const char* text, int length, RECT* r, UINT format) {
    if (length > 0 && HasMultiByteSequence(text, static_cast<size_t>(length))) {
        wchar_t local[1024];
        std::vector<wchar_t> heap;
        wchar_t* wide = local;
        int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
        if (units > 999) {
            heap.resize(static_cast<size_t>(units) + 1);
            wide = heap.data();
        }
        if (units > 0) units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, wide, units);
        if (units > 0) return DrawTextW(dc, wide, units, r, format);
    }
    return DrawTextA(dc, text, length, r, format);
}

int DrawOnContext(const NativeTextState& st, HDC dc, const char* text, int length, RECT* r, UINT format) {
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(st.font));
    SetTextColor(dc, RGB((st.textColour >> 16) & 255, (st.textColour >> 8) & 255, st.textColour & 255));
    SetBkMode(dc, st.backMode);
    if (st.backMode == OPAQUE)
        SetBkColor(dc, RGB((st.backColour >> 16) & 255, (st.backColour >> 8) & 255, st.backColour & 255));
    const int result = DrawUtf8(dc, text, length, r, format | DT_NOPREFIX);
    SelectObject(dc, previous);
    GdiFlush(); // callers read the pixels directly
    return result;
}

RAST_SysBitmap* Scratch(RAST_SysBitmap*& scratch, int w, int h) {
    if (!scratch) scratch = new RAST_SysBitmap();
    if (scratch->Width() < w || scratch->Height() < h)
        scratch->ResizeTo(std::max(scratch->Width(), w), std::max(scratch->Height(), h));
    return scratch->DrawingContext() && scratch->Width() >= w && scratch->Height() >= h ? scratch : nullptr;
}

} // namespace

int DrawPlatformText(const NativeTextState& st, RAST_IBitmap* bitmap, const char* text, int length,
                     RAST_Rect* rect, unsigned format, RAST_SysBitmap*& scratch) {
    const bool measureOnly = (format & DT_CALCRECT) != 0;
    if (HDC dc = bitmap ? static_cast<HDC>(bitmap->DrawingContext()) : nullptr) {
        RECT r{rect->left, rect->top, rect->right, rect->bottom};
        const int result = DrawOnContext(st, dc, text, length, &r, format);
        if (measureOnly) *rect = RAST_Rect{r.left, r.top, r.right, r.bottom};
        return result;
    }

    // No drawing context: draw into the scratch surface over a copy of the destination and copy
    // the box back.
    RAST_SysBitmap* surface = Scratch(scratch, 1, 1);
    if (!surface) return 0;
    RECT measured{0, 0, 0, 0};
    DrawOnContext(st, static_cast<HDC>(surface->DrawingContext()), text, length, &measured,
                  (format | DT_CALCRECT) & ~static_cast<unsigned>(DT_NOCLIP));
    const int w = measured.right - measured.left, h = measured.bottom - measured.top;
    if (measureOnly) {
        rect->right = static_cast<int>(std::min<long long>(static_cast<long long>(rect->left) + w, INT_MAX));
        rect->bottom = static_cast<int>(std::min<long long>(static_cast<long long>(rect->top) + h, INT_MAX));
        return h;
    }
    if (!bitmap || !bitmap->Bits()) return 0;

    // Placement and clipping in 64 bits: extreme rectangles must not wrap.
    const long long left = rect->left, top = rect->top, right = rect->right, bottom = rect->bottom;
    long long x = left, y = top;
    if (format & DT_RIGHT)
        x = right - w;
    else if (format & DT_CENTER)
        x = (left + right - w) / 2;
    if (format & DT_BOTTOM)
        y = bottom - h;
    else if (format & DT_VCENTER)
        y = (top + bottom - h) / 2;

    long long boxLeft = std::max(x, 0LL), boxTop = std::max(y, 0LL);
    long long boxRight = std::min<long long>(x + w, bitmap->Width());
    long long boxBottom = std::min<long long>(y + h, bitmap->Height());
    if (!(format & DT_NOCLIP)) {
        boxLeft = std::max(boxLeft, left);
        boxTop = std::max(boxTop, top);
        boxRight = std::min(boxRight, right);
        boxBottom = std::min(boxBottom, bottom);
    }
    const int margin = st.lineHeight < 16 ? 2 : st.lineHeight / 16 + 2;
    boxLeft = std::max(boxLeft - margin, 0LL);
    if (boxRight <= boxLeft || boxBottom <= boxTop) return h;
    // A visible box lies inside the bitmap, so from here on everything fits an int.
    const RAST_Rect box{static_cast<int>(boxLeft), static_cast<int>(boxTop), static_cast<int>(boxRight),
                        static_cast<int>(boxBottom)};
    const int bw = box.right - box.left, bh = box.bottom - box.top;
    surface = Scratch(scratch, bw, bh);
    if (!surface) return 0;

    BlitBitmap(surface, bitmap, 0, 0, &box, 1.0f, ModeCopy);
    const int ox = static_cast<int>(x - box.left), oy = static_cast<int>(y - box.top);
    RECT r{ox, oy, ox + w, oy + h};
    const int result =
        DrawOnContext(st, static_cast<HDC>(surface->DrawingContext()), text, length, &r, format);
    const RAST_Rect back{0, 0, bw, bh};
    BlitBitmap(bitmap, surface, box.left, box.top, &back, st.alpha, ModeCopy);
    return result;
}

} // namespace rast
