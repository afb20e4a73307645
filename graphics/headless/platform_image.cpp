#include "graphics/headless/headless_graphics.h"

#include "raster/mem_bitmap.h"
#include "raster/png_loader.h"

RAST_IBitmap* IGraphicsHeadless::LoadPlatformImage(int resourceId, const char* fileName) {
    // Only PNG resources exist; the name's extension says which kind is wanted.
    if (!fileName || !HasPngExtension(fileName)) return nullptr;
    return LoadPngResource(resourceId);
}
