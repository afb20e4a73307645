#include "raster/png_loader.h"
#include "raster/open_file.h"
#include "raster/png_decode.h"

#include <cctype>
#include <cstring>

namespace {
const unsigned char kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
}

RAST_MemBitmap* LoadPngFromMemory(const void* data, size_t length) {
    if (!data || length <= 7 || std::memcmp(data, kSignature, 8) != 0) return nullptr;
    PngSource source;
    source.data = static_cast<const unsigned char*>(data);
    source.size = length;
    return DecodePng(source, nullptr);
}

RAST_MemBitmap* LoadPngFromFile(const char* path, RAST_MemBitmap* bitmap) {
    if (!path) return nullptr;
    PngSource source;
    source.file = OpenFileForReading(path);
    if (!source.file) return nullptr;
    return DecodePng(source, bitmap);
}

bool HasPngExtension(const char* path) {
    if (!path) return false;
    const char* last = nullptr;
    for (const char* p = path; *p; ++p)
        if (*p == '.' || *p == '/' || *p == '\\') last = p;
    if (!last || *last != '.') return false;
    const char* ext = last + 1;
    return std::strlen(ext) == 3 && std::tolower(static_cast<unsigned char>(ext[0])) == 'p' &&
           std::tolower(static_cast<unsigned char>(ext[1])) == 'n' &&
           std::tolower(static_cast<unsigned char>(ext[2])) == 'g';
}

RAST_MemBitmap* LoadImageByName(const char* path, bool checkExtension, RAST_MemBitmap* bitmap) {
    if (checkExtension && !HasPngExtension(path)) return nullptr;
    return LoadPngFromFile(path, bitmap);
}
