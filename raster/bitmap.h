#pragma once

#include <cstdint>

// A pixel is one 32-bit word: alpha in bits 24-31, red 16-23, green 8-15, blue 0-7 (in memory: blue,
// green, red, alpha). Alpha is straight, not premultiplied.
using RAST_Pixel = uint32_t;

// Rectangle of pixels; right and bottom are exclusive.
struct RAST_Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// A 32-bit image the raster primitives read and write.
class RAST_IBitmap {
  public:
    virtual ~RAST_IBitmap() = default;
    // First stored row (null when the bitmap has no pixels).
    virtual RAST_Pixel* Bits() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Pixels (not bytes) from one stored row to the next.
    virtual int RowSpan() const = 0;
    // True when stored rows run bottom-up.
    virtual bool IsFlipped() const = 0;
    // True when the storage changed.
    virtual bool ResizeTo(int w, int h) = 0;
    // Platform drawing context, or null.
    virtual void* DrawingContext() const = 0;
    // Extension query; nothing is defined, so every id answers 0.
    virtual intptr_t Extended(int id, void* data) = 0;

    // Start of logical row r (0 = top), whatever the storage order.
    RAST_Pixel* Row(int r) const {
        const int stored = IsFlipped() ? Height() - 1 - r : r;
        return Bits() + static_cast<intptr_t>(stored) * RowSpan();
    }
};
