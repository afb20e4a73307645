#pragma once

#include "raster/bitmap.h"

// Blit modes: the low byte selects how source and destination combine; UseSourceAlpha makes the
// source pixel's own alpha weight the operation as well.
enum RAST_BlitMode : int {
    ModeCopy = 0,
    ModeAdd = 1,
    ModeDodge = 2,
    ModeMultiply = 3,
    ModeOverlay = 4,
    ModeHsvAdjust = 5,
    // 0xF0-0xFF in the low byte: destination byte (mode >> 2) & 3 receives source byte mode & 3.
    ModeChannelCopy = 0xF0,
    UseSourceAlpha = 0x10000,
};

// Channel-copy mode value moving source byte srcByte into destination byte dstByte (0 = blue).
constexpr int ChannelCopyMode(int dstByte, int srcByte) {
    return ModeChannelCopy | (dstByte << 2) | srcByte;
}

// Copies the source rectangle (whole source when null) to (dx, dy) with constant alpha 0..1.
// Clipped to both bitmaps; null bitmaps draw nothing.
void BlitBitmap(RAST_IBitmap* dest, const RAST_IBitmap* src, int dx, int dy, const RAST_Rect* srcRect,
                float alpha, int mode);

// Fills w x h pixels at (x, y) with a colour.
void FillRectangle(RAST_IBitmap* dest, int x, int y, int w, int h, RAST_Pixel colour, float alpha, int mode);

// Anti-aliased line, both end points included; clipped to the bitmap.
void DrawLine(RAST_IBitmap* dest, int x1, int y1, int x2, int y2, RAST_Pixel colour, float alpha, int mode);
