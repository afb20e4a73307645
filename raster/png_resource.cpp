#include "platform/resources.h"
#include "raster/png_loader.h"

RAST_MemBitmap* LoadPngResource(int id) {
    const ResourceBytes bytes = FindModuleResource("PNG", id);
    if (!bytes.data || bytes.size <= 7) return nullptr;
    return LoadPngFromMemory(bytes.data, bytes.size);
}
