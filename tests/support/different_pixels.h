#pragma once

#include "raster/bitmap.h"

// Pixels that differ in red, green or blue between two images of the same size; -1 when the sizes
// differ.
inline int DifferentPixels(const RAST_IBitmap& a, const RAST_IBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            n += (a.Row(y)[x] & 0xffffffu) != (b.Row(y)[x] & 0xffffffu);
    return n;
}
