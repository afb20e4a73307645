#include "raster/platform_text.h"

#include <windows.h>

namespace rast {

namespace {
HDC Dc(RAST_SysBitmap& surface) {
    return static_cast<HDC>(surface.DrawingContext());
}

// One code point as UTF-16 (two units above 0xFFFF).
int ToUtf16(uint32_t code, wchar_t out[2]) {
    if (code >= 0x10000 && code <= 0x10FFFF) {
        code -= 0x10000;
        out[0] = static_cast<wchar_t>(0xD800 + (code >> 10));
        out[1] = static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        return 2;
    }
    out[0] = static_cast<wchar_t>(code);
    return 1;
}

int wineOverride = -1;
} // namespace

void PrepareGlyphSurface(RAST_SysBitmap& surface) {
    HDC dc = Dc(surface);
    if (!dc) return;
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 0, 0));
}

int PlatformLineHeight(RAST_FontHandle font, RAST_SysBitmap& surface) {
    HDC dc = Dc(surface);
    if (!dc || !font) return 0;
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(font));
    TEXTMETRICA metrics{};
    const int height = GetTextMetricsA(dc, &metrics) ? metrics.tmHeight : 0;
    SelectObject(dc, previous);
    return height;
}

bool MeasureCodePoint(RAST_FontHandle font, RAST_SysBitmap& surface, uint32_t code, int& w, int& h) {
    w = h = 0;
    HDC dc = Dc(surface);
    if (!dc || !font) return false;
    wchar_t units[2];
    const int n = ToUtf16(code, units);
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(font));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, units, n, &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(dc, previous);
    w = r.right - r.left;
    h = r.bottom - r.top;
    return true;
}

void DrawCodePoint(RAST_FontHandle font, RAST_SysBitmap& surface, uint32_t code, int x) {
    HDC dc = Dc(surface);
    if (!dc || !font) return;
    wchar_t units[2];
    const int n = ToUtf16(code, units);
    HGDIOBJ previous = SelectObject(dc, static_cast<HFONT>(font));
    RECT r{x, 0, surface.Width(), surface.Height()};
    DrawTextW(dc, units, n, &r, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
    SelectObject(dc, previous);
    GdiFlush(); // the pixels are read directly next
}

bool HasPlatformTextDrawing() {
    return true;
}

bool RunningUnderWine() {
    if (wineOverride >= 0) return wineOverride == 1;
    static const bool underWine = [] {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }();
    return underWine;
}

void OverrideWineDetection(int state) {
    wineOverride = state;
}

} // namespace rast
