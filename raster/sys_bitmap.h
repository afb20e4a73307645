#pragma once

#include "raster/bitmap.h"

// Bitmap shared with the platform's drawing: on Windows a top-down 32-bit DIB section selected into
// a memory drawing context; elsewhere plain memory without a drawing context. Rows are a multiple
// of 4 pixels; the allocation is kept when the bitmap shrinks.
class RAST_SysBitmap : public RAST_IBitmap {
  public:
    explicit RAST_SysBitmap(int w = 0, int h = 0);
    ~RAST_SysBitmap() override;
    RAST_SysBitmap(const RAST_SysBitmap&) = delete;
    RAST_SysBitmap& operator=(const RAST_SysBitmap&) = delete;

    RAST_Pixel* Bits() const override { return pixels; }
    int Width() const override { return width; }
    int Height() const override { return height; }
    int RowSpan() const override { return allocRowWidth; }
    bool IsFlipped() const override { return false; }
    bool ResizeTo(int w, int h) override;
    void* DrawingContext() const override { return context; }
    intptr_t Extended(int, void*) override { return 0; }

  private:
    // False when the platform surface could not be set up (no drawing context on Windows).
    bool CanHoldPixels() const;
    // Releases the pixel storage (and the platform bitmap).
    void ReleasePixels();
    // Allocates allocRowWidth x allocHeight pixels; false on failure.
    bool AllocatePixels();

    int width = 0;
    int height = 0;
    void* context = nullptr; // memory drawing context (Windows only)
    RAST_Pixel* pixels = nullptr;
    int allocRowWidth = 0;
    int allocHeight = 0;
    void* platformBitmap = nullptr; // DIB section (Windows only)
    void* previousBitmap = nullptr; // bitmap the context held before ours
};
