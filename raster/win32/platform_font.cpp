#include "raster/platform_font.h"

#include <windows.h>

RAST_FontHandle CreatePlatformFont(const RAST_FontSpec& request) {
    static const DWORD kQuality[] = {DEFAULT_QUALITY, NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY,
                                     CLEARTYPE_QUALITY};
    const DWORD quality = request.quality >= 0 && request.quality <= 3 ? kQuality[request.quality] : DEFAULT_QUALITY;
    return CreateFontA(request.height, 0, request.escapement, request.escapement, request.weight,
                       request.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH, request.face ? request.face : "");
}

void DeletePlatformFont(RAST_FontHandle font) {
    if (font) DeleteObject(static_cast<HFONT>(font));
}
