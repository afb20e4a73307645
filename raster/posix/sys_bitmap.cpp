#include "raster/sys_bitmap.h"

#include <cstdlib>

// Without a windowing system the bitmap is plain memory; text is drawn into it by the font layer.

RAST_SysBitmap::RAST_SysBitmap(int w, int h) {
    ResizeTo(w, h);
}

RAST_SysBitmap::~RAST_SysBitmap() {
    ReleasePixels();
}

void RAST_SysBitmap::ReleasePixels() {
    std::free(pixels);
    pixels = nullptr;
}

bool RAST_SysBitmap::AllocatePixels() {
    const size_t bytes = static_cast<size_t>(allocRowWidth) * static_cast<size_t>(allocHeight) * 4;
    if (bytes > (size_t(1) << 30)) return false;
    pixels = static_cast<RAST_Pixel*>(std::aligned_alloc(64, (bytes + 63) & ~size_t(63)));
    return pixels != nullptr;
}

bool RAST_SysBitmap::CanHoldPixels() const {
    return true;
}
