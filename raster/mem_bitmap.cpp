#include "raster/mem_bitmap.h"

#include <cstdint>
#include <cstdlib>

namespace {
constexpr size_t kAlignSlack = 63; // room to move the first row onto a 64-byte boundary
}

RAST_MemBitmap::RAST_MemBitmap(int w, int h, int rowAlignment) {
    // Only powers of two work as a mask; anything else falls back to 4 pixels.
    if (rowAlignment >= 1 && rowAlignment <= 1024 && (rowAlignment & (rowAlignment - 1)) == 0)
        alignMask = rowAlignment - 1;
    if (w != 0 || h != 0) ResizeTo(w, h);
}

RAST_MemBitmap::~RAST_MemBitmap() {
    std::free(buffer);
}

RAST_Pixel* RAST_MemBitmap::Bits() const {
    if (!buffer) return nullptr;
    const uintptr_t p = (reinterpret_cast<uintptr_t>(buffer) + kAlignSlack) & ~uintptr_t(kAlignSlack);
    return reinterpret_cast<RAST_Pixel*>(p);
}

bool RAST_MemBitmap::ResizeTo(int w, int h) {
    if (w == width && h == height) return false;
    width = w;
    height = h;
    // Computed wide: a hostile size must not wrap into a small allocation.
    const long long span = (static_cast<long long>(w) + alignMask) & ~static_cast<long long>(alignMask);
    const long long pixels = w > 0 && h > 0 ? static_cast<long long>(h) * span : 0; // below 2^63
    const long long needed = pixels <= static_cast<long long>(kMaxBytes / 4) ? pixels * 4 : 0;
    if (w > 0 && h > 0 && needed > 0) {
        const size_t need = static_cast<size_t>(needed);
        if (!buffer) {
            buffer = static_cast<unsigned char*>(std::malloc(need + kAlignSlack));
            allocated = buffer ? need : 0;
        } else if (allocated < need) {
            const size_t grown = need / 4 * 5;
            unsigned char* bigger = static_cast<unsigned char*>(std::malloc(grown + kAlignSlack));
            std::free(buffer);
            if (bigger) {
                buffer = bigger;
                allocated = grown;
            } else {
                buffer = static_cast<unsigned char*>(std::malloc(need + kAlignSlack));
                allocated = buffer ? need : 0;
            }
        }
    } else {
        std::free(buffer);
        buffer = nullptr;
        allocated = 0;
    }
    if (!buffer) width = height = 0;
    return true;
}
