#pragma once

// Internal: how one glyph coverage value puts the text colour on a pixel.

#include "raster/bitmap.h"

namespace rast {

// Coverage v (1..255) of text colour p on destination d at integer alpha a (0..256) in blit mode
// `mode` (low byte).
RAST_Pixel CombineCoverage(int mode, RAST_Pixel d, RAST_Pixel p, int v, int a);

} // namespace rast
