#include "text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

std::vector<uint32_t> DecodeUtf8(const std::string& text) {
    std::vector<uint32_t> codes;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + size_t(extra) >= text.size() + (extra == 0 ? 1 : 0)) {
            codes.push_back('?');
            ++i;
            continue;
        }
        uint32_t code = extra == 0 ? c : c & (0x3f >> extra);
        for (int k = 1; k <= extra; ++k)
            code = code << 6 | (static_cast<unsigned char>(text[i + size_t(k)]) & 0x3f);
        codes.push_back(code);
        i += size_t(extra) + 1;
    }
    return codes;
}

std::string FindFontFile(const char* pattern) {
    FcPattern* request = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    if (!request) return {};
    FcConfigSubstitute(nullptr, request, FcMatchPattern);
    FcDefaultSubstitute(request);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, request, &result);
    std::string path;
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<const char*>(file);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(request);
    return path;
}

constexpr FT_Int32 kLoadFlags = FT_LOAD_TARGET_LIGHT;

} // namespace

TextFace::TextFace(const char* pattern, int pixelSize) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return;
    library = lib;
    const std::string path = FindFontFile(pattern);
    FT_Face f = nullptr;
    if (path.empty() || FT_New_Face(lib, path.c_str(), 0, &f) != 0) return;
    FT_Set_Pixel_Sizes(f, 0, FT_UInt(pixelSize));
    face = f;
}

TextFace::~TextFace() {
    if (face) FT_Done_Face(static_cast<FT_Face>(face));
    if (library) FT_Done_FreeType(static_cast<FT_Library>(library));
}

float TextFace::Measure(const std::string& text) const {
    if (!face) return 0;
    FT_Face f = static_cast<FT_Face>(face);
    long pen = 0;
    FT_UInt previous = 0;
    for (uint32_t code : DecodeUtf8(text)) {
        const FT_UInt glyph = FT_Get_Char_Index(f, code);
        if (previous && glyph && FT_HAS_KERNING(f)) {
            FT_Vector kern;
            if (FT_Get_Kerning(f, previous, glyph, FT_KERNING_DEFAULT, &kern) == 0) pen += kern.x;
        }
        if (FT_Load_Glyph(f, glyph, kLoadFlags) == 0) pen += f->glyph->advance.x;
        previous = glyph;
    }
    return float(pen) / 64.0f;
}

float TextFace::CapHeight() const {
    if (!face) return 0;
    FT_Face f = static_cast<FT_Face>(face);
    if (FT_Load_Char(f, 'H', kLoadFlags) != 0) return 0;
    return float(f->glyph->metrics.horiBearingY) / 64.0f;
}

float TextFace::Draw(Canvas& canvas, const std::string& text, float x, float baseline, Colour colour,
                     Align align) const {
    if (!face) return x;
    FT_Face f = static_cast<FT_Face>(face);
    float left = x;
    if (align == Centre) left = x - Measure(text) / 2;
    if (align == Right) left = x - Measure(text);
    left = std::round(left);
    const int base = int(std::lround(baseline));
    long pen = long(left) * 64;
    FT_UInt previous = 0;
    for (uint32_t code : DecodeUtf8(text)) {
        const FT_UInt glyph = FT_Get_Char_Index(f, code);
        if (previous && glyph && FT_HAS_KERNING(f)) {
            FT_Vector kern;
            if (FT_Get_Kerning(f, previous, glyph, FT_KERNING_DEFAULT, &kern) == 0) pen += kern.x;
        }
        previous = glyph;
        if (FT_Load_Glyph(f, glyph, kLoadFlags | FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot slot = f->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        const int gx = int((pen + 32) >> 6) + slot->bitmap_left;
        const int gy = base - slot->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                const unsigned char v = bm.buffer[long(row) * bm.pitch + long(col)];
                if (v) canvas.Blend(gx + int(col), gy + int(row), colour, float(v) / 255.0f);
            }
        pen += slot->advance.x;
    }
    return left;
}

float TextFace::DrawCentredOn(Canvas& canvas, const std::string& text, float x, float middle, Colour colour,
                              Align align) const {
    return Draw(canvas, text, x, middle + CapHeight() / 2, colour, align);
}
