#include "raster/open_file.h"

#include <windows.h>

// The UTF-8 name is tried as UTF-16 first (names outside the code page), then as given.
FILE* OpenFileForReading(const char* utf8Path) {
    if (!utf8Path) return nullptr;
    wchar_t wide[2048];
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path, -1, wide, 2048);
    if (units > 0) {
        if (FILE* f = _wfopen(wide, L"rb")) return f;
    }
    return std::fopen(utf8Path, "rb");
}
