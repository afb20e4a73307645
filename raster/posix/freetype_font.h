#pragma once

// The platform font of non-Windows systems: a FreeType face sized like a GDI font of the same
// height.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

namespace rast {

struct FreeTypeFont {
    FT_Face face = nullptr;
    int ascent = 0; // baseline below the cell's top
    int height = 0; // cell height = line height
    bool monochrome = false;
    int emboldenStrength = 0; // synthetic bold when the family has no bold face
};

} // namespace rast
