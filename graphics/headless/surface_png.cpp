#include "graphics/headless/surface_png.h"

#include "platform/file_system.h"
#include "raster/bitmap.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace {

void OnPngError(png_structp png, png_const_charp) {
    longjmp(png_jmpbuf(png), 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

void AppendToVector(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}
void FlushNothing(png_structp) {}

} // namespace

bool WriteBitmapPng(const RAST_IBitmap* bitmap, const std::string& path, bool opaque) {
    std::vector<std::uint8_t> png;
    return EncodeBitmapPng(bitmap, png, opaque) &&
           WriteWholeFile(path, png.data(), png.size()) == WriteFileResult::Ok;
}

bool EncodeBitmapPng(const RAST_IBitmap* bitmap, std::vector<std::uint8_t>& encoded, bool opaque) {
    encoded.clear();
    if (!bitmap || bitmap->Width() < 1 || bitmap->Height() < 1 || !bitmap->Bits()) return false;
    const int w = bitmap->Width(), h = bitmap->Height();

    // Rows converted before libpng starts, so nothing needing a destructor lives across setjmp.
    std::vector<png_byte> pixels(size_t(w) * size_t(h) * 4);
    for (int y = 0; y < h; ++y) {
        const RAST_Pixel* row = bitmap->Row(y);
        png_byte* out = &pixels[size_t(y) * size_t(w) * 4];
        for (int x = 0; x < w; ++x) {
            RAST_Pixel p = row[x];
            out[4 * x + 0] = png_byte(p >> 16);
            out[4 * x + 1] = png_byte(p >> 8);
            out[4 * x + 2] = png_byte(p);
            out[4 * x + 3] = opaque ? 255 : png_byte(p >> 24);
        }
    }
    std::vector<png_bytep> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y)
        rows[size_t(y)] = &pixels[size_t(y) * size_t(w) * 4];

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &encoded, AppendToVector, FlushNothing);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
