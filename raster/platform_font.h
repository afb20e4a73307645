#pragma once

#include "raster/font.h"

// Creating platform fonts: GDI fonts on Windows; on other systems a FreeType face found through
// fontconfig ("Verdana" resolves to a metric-alike such as DejaVu Sans where it is missing).
struct RAST_FontSpec {
    const char* face = "Verdana";
    int height = 12;    // cell height in pixels (negative: character height)
    int escapement = 0; // tenths of a degree (Windows only)
    int weight = 400;   // 700 = bold
    bool italic = false;
    int quality = 0; // 0 default, 1 non-antialiased, 2 antialiased, 3 ClearType
};

// Null when no font can be made.
RAST_FontHandle CreatePlatformFont(const RAST_FontSpec& request);
void DeletePlatformFont(RAST_FontHandle font);
