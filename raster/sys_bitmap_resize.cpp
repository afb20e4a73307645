#include "raster/sys_bitmap.h"

// The resize rule is the same on every platform; only allocation differs.
bool RAST_SysBitmap::ResizeTo(int w, int h) {
    if (!CanHoldPixels()) {
        width = height = 0;
        return false;
    }
    if (w == width && h == height) return false;
    width = w;
    height = h;
    // A larger allocation is reused, but only when it covers both dimensions: rows keep their span.
    if (w > 0 && h > 0 && pixels && allocRowWidth >= w && allocHeight >= h) return true;
    ReleasePixels();
    allocRowWidth = 0;
    allocHeight = 0;
    if (w < 1 || h < 1 || w > 65536 || h > 65536) {
        width = height = 0;
        return false;
    }
    allocHeight = h;
    allocRowWidth = (w + 3) & ~3;
    if (!AllocatePixels()) {
        allocRowWidth = allocHeight = 0;
        width = height = 0;
    }
    return true;
}
