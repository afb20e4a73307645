#include "raster/sys_bitmap.h"

#include <windows.h>

RAST_SysBitmap::RAST_SysBitmap(int w, int h) {
    context = CreateCompatibleDC(nullptr);
    ResizeTo(w, h);
}

RAST_SysBitmap::~RAST_SysBitmap() {
    ReleasePixels();
    if (context) DeleteDC(static_cast<HDC>(context));
}

bool RAST_SysBitmap::CanHoldPixels() const {
    return context != nullptr;
}

void RAST_SysBitmap::ReleasePixels() {
    if (platformBitmap) {
        SelectObject(static_cast<HDC>(context), static_cast<HGDIOBJ>(previousBitmap));
        DeleteObject(static_cast<HGDIOBJ>(platformBitmap));
        platformBitmap = nullptr;
        previousBitmap = nullptr;
    }
    pixels = nullptr;
}

bool RAST_SysBitmap::AllocatePixels() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = allocRowWidth;
    info.bmiHeader.biHeight = -allocHeight; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(static_cast<HDC>(context), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib) DeleteObject(dib);
        return false;
    }
    platformBitmap = dib;
    previousBitmap = SelectObject(static_cast<HDC>(context), dib);
    pixels = static_cast<RAST_Pixel*>(bits);
    return true;
}
