#include "raster/open_file.h"

// Paths are bytes here; UTF-8 names open as they are.
FILE* OpenFileForReading(const char* utf8Path) {
    return utf8Path ? std::fopen(utf8Path, "rb") : nullptr;
}
