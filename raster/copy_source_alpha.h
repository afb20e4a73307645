#pragma once

// Internal: one row of ModeCopy + UseSourceAlpha, the editor's most common blit.

#include "platform/vector_paths.h"
#include "raster/bitmap.h"

namespace rast {

// dst[i] = copy-with-source-alpha of src[i] over dst[i] at integer alpha a (1..256).
void CopyRowWithSourceAlpha(RAST_Pixel* dst, const RAST_Pixel* src, int count, int a);

// The inner loop CopyRowWithSourceAlpha took on its latest call (any thread).
VectorPath LastSourceAlphaPath();

#if defined(TV_RASTER_WIDE_VECTORS)
// The same for AVX2 processors, eight pixels at a time; returns how many pixels it did (a multiple
// of eight).
int BlendEights(RAST_Pixel* dst, const RAST_Pixel* src, int count, int a);
#endif

} // namespace rast
