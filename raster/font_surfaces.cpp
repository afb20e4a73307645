#include "raster/font_surfaces.h"
#include "raster/platform_text.h"

namespace rast {

namespace {
int liveFonts = 0; // fonts live on the editor thread only
RAST_SysBitmap* glyphSurface = nullptr;
RAST_SysBitmap* scratchSurface = nullptr;
} // namespace

RAST_SysBitmap* GlyphSurface(int size) {
    if (!glyphSurface) glyphSurface = new RAST_SysBitmap();
    if (glyphSurface->Width() < size || glyphSurface->Height() < size) {
        const int w = glyphSurface->Width() > size ? glyphSurface->Width() : size;
        const int h = glyphSurface->Height() > size ? glyphSurface->Height() : size;
        if (glyphSurface->ResizeTo(w, h)) PrepareGlyphSurface(*glyphSurface);
    }
    if (glyphSurface->Width() < size || glyphSurface->Height() < size) return nullptr;
    return glyphSurface;
}

RAST_SysBitmap*& TextScratchSurface() {
    return scratchSurface;
}

void FontCreated() {
    ++liveFonts;
}

void FontDestroyed() {
    if (--liveFonts > 0) return;
    liveFonts = 0;
    delete glyphSurface;
    glyphSurface = nullptr;
    delete scratchSurface;
    scratchSurface = nullptr;
}

int LiveFontCount() {
    return liveFonts;
}

} // namespace rast
