#include "graphics/headless/headless_graphics.h"

#include "platform/resources.h"
#include "raster/png_loader.h"

#include <cctype>
#include <cstring>

RAST_IBitmap* IGraphicsHeadless::LoadPlatformImage(int resourceId, const char* fileName) {
    // Only PNG resources exist; the name's extension says which kind is wanted.
    const char* dot = fileName ? std::strrchr(fileName, '.') : nullptr;
    if (!dot) return nullptr;
    const char* ext = dot + 1;
    if (std::strlen(ext) != 3 || std::tolower((unsigned char)ext[0]) != 'p' ||
        std::tolower((unsigned char)ext[1]) != 'n' || std::tolower((unsigned char)ext[2]) != 'g')
        return nullptr;
    ResourceBytes bytes = FindModuleResource("PNG", resourceId);
    if (!bytes.data || bytes.size <= 7) return nullptr;
    return LoadPngFromMemory(bytes.data, bytes.size);
}
