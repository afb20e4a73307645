#include "raster/platform_font.h"

#include <windows.h>

RAST_FontHandle CreatePlatformFont(const RAST_FontSpec& spec) {
    static const DWORD kQuality[] = {DEFAULT_QUALITY, NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY,
                                     CLEARTYPE_QUALITY};
    const DWORD quality = spec.quality >= 0 && spec.quality <= 3 ? kQuality[spec.quality] : DEFAULT_QUALITY;
    return CreateFontA(spec.height, 0, spec.escapement, spec.escapement, spec.weight,
                       spec.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH, spec.face ? spec.face : "");
}

void DeletePlatformFont(RAST_FontHandle font) {
    if (font) DeleteObject(static_cast<HFONT>(font));
}
