#pragma once

// Internal: the decoding steps both PNG entry points share.

#include "raster/mem_bitmap.h"

#include <cstddef>
#include <cstdio>

struct PngSource {
    const unsigned char* data = nullptr; // memory source, or
    size_t size = 0;
    FILE* file = nullptr; // file source (closed by the decoder before the pixel rewrite)
};

// Decodes into target (resized) or, without one, into a new bitmap. Null on any failure.
RAST_MemBitmap* DecodePng(PngSource& source, RAST_MemBitmap* target);
