#pragma once

#include "raster/bitmap.h"

#include <cstddef>

// Heap bitmap: rows padded to a multiple of the row alignment, first row on a 64-byte boundary. The
// buffer grows by a quarter more than needed and never shrinks, so resizing back and forth is cheap.
class RAST_MemBitmap : public RAST_IBitmap {
  public:
    // rowAlignment is in pixels and must be a power of two (4 unless a caller needs otherwise).
    explicit RAST_MemBitmap(int w = 0, int h = 0, int rowAlignment = 4);
    ~RAST_MemBitmap() override;
    RAST_MemBitmap(const RAST_MemBitmap&) = delete;
    RAST_MemBitmap& operator=(const RAST_MemBitmap&) = delete;

    RAST_Pixel* Bits() const override;
    int Width() const override { return width; }
    int Height() const override { return height; }
    int RowSpan() const override { return (width + alignMask) & ~alignMask; }
    bool IsFlipped() const override { return false; }
    bool ResizeTo(int w, int h) override;
    void* DrawingContext() const override { return nullptr; }
    intptr_t Extended(int, void*) override { return 0; }

    // Bytes of pixel storage held (without the alignment slack).
    size_t AllocatedBytes() const { return allocated; }

    // Largest pixel storage a bitmap will take; larger requests leave the bitmap empty.
    static constexpr size_t kMaxBytes = size_t(1) << 30;

  private:
    unsigned char* buffer = nullptr;
    int width = 0;
    int height = 0;
    size_t allocated = 0;
    int alignMask = 3;
};
