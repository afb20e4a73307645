#pragma once

// Internal: the surfaces all fonts of the process share (created on demand, deleted with the last
// font).

#include "raster/sys_bitmap.h"

namespace rast {

// The glyph surface, grown to at least size x size pixels (prepared for white-on-black drawing
// whenever it was resized). Null when it cannot be made.
RAST_SysBitmap* GlyphSurface(int size);

// The scratch surface for platform drawing on bitmaps without a drawing context.
RAST_SysBitmap*& TextScratchSurface();

void FontCreated();
void FontDestroyed();
int LiveFontCount();

} // namespace rast
