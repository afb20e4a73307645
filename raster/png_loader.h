#pragma once

#include "raster/mem_bitmap.h"

#include <cstddef>

// PNG decoding into native pixels (straight alpha; images without alpha get 255). Every failure -
// corrupt, truncated or hostile data, an unreadable file - yields null, never a partial image.

// Images larger than this in either dimension, or with more pixels in total, are refused before
// any pixel storage is taken: no image of this system comes near, and a hostile header must not
// make the loader reserve gigabytes.
constexpr int kMaxPngDimension = 16384;
constexpr long long kMaxPngPixels = 16LL * 1024 * 1024;

// Decodes PNG bytes into a new bitmap (the caller owns it).
RAST_MemBitmap* LoadPngFromMemory(const void* data, size_t length);

// Decodes a PNG file (path in UTF-8). With a bitmap, that bitmap is resized and filled and returned;
// otherwise a new one is returned. On failure a given bitmap stays the caller's and null comes back.
RAST_MemBitmap* LoadPngFromFile(const char* path, RAST_MemBitmap* bitmap = nullptr);

// LoadPngFromFile, optionally refusing names whose last component does not end in ".png" (any case).
RAST_MemBitmap* LoadImageByName(const char* path, bool checkExtension, RAST_MemBitmap* bitmap = nullptr);

// True when the name's part after its last '.', '/' or '\\' is a '.' followed by "png" in any case.
bool HasPngExtension(const char* path);

// File-type description and pattern for file dialogs.
inline constexpr const char* kPngFileDescription = "PNG files (*.PNG)";
inline constexpr const char* kPngFilePattern = "*.PNG";

// Decodes the module's PNG resource with this id (null when it is missing, 7 bytes or shorter, or
// not a valid PNG).
RAST_MemBitmap* LoadPngResource(int id);
