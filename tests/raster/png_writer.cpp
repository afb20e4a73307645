#include "png_writer.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>

int PngImage::Channels() const {
    switch (colourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

namespace {
void Append(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}
// A fixture the test itself describes wrongly is a bug in the test: stop loudly.
[[noreturn]] void EncodeFailed(png_structp, png_const_charp message) {
    std::fprintf(stderr, "png encoding failed: %s\n", message);
    std::abort();
}

// Packs one row of samples into PNG bytes (big-endian 16-bit, sub-byte samples high bits first).
std::vector<png_byte> PackRow(const PngImage& img, int y) {
    const int perRow = img.width * img.Channels();
    std::vector<png_byte> row((static_cast<size_t>(perRow) * img.depth + 7) / 8, 0);
    for (int i = 0; i < perRow; ++i) {
        const uint16_t v = img.samples[static_cast<size_t>(y) * perRow + i];
        if (img.depth == 16) {
            row[2 * i] = v >> 8;
            row[2 * i + 1] = v & 255;
        } else if (img.depth == 8) {
            row[i] = static_cast<png_byte>(v);
        } else {
            const int bit = i * img.depth;
            row[bit / 8] |= static_cast<png_byte>(v << (8 - img.depth - bit % 8));
        }
    }
    return row;
}
} // namespace

std::vector<unsigned char> EncodePng(const PngImage& img) {
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, EncodeFailed, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::vector<png_byte>> rows;
    for (int y = 0; y < img.height; ++y)
        rows.push_back(PackRow(img, y));
    std::vector<png_bytep> rowPointers;
    for (auto& r : rows)
        rowPointers.push_back(r.data());
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < img.palette.size(); i += 3)
        palette.push_back({img.palette[i], img.palette[i + 1], img.palette[i + 2]});
    png_set_write_fn(png, &out, Append, NoFlush);
    png_set_check_for_invalid_index(png, 0); // tests write out-of-range palette indices on purpose
    png_set_IHDR(png, info, img.width, img.height, img.depth, img.colourType,
                 img.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!img.paletteAlpha.empty())
        png_set_tRNS(png, info, const_cast<png_bytep>(img.paletteAlpha.data()),
                     static_cast<int>(img.paletteAlpha.size()), nullptr);
    if (img.hasTransparentColour) {
        png_color_16 c{};
        c.gray = img.transparent[0];
        c.red = img.transparent[0];
        c.green = img.transparent[1];
        c.blue = img.transparent[2];
        png_set_tRNS(png, info, nullptr, 0, &c);
    }
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

void FixChunkCrcs(std::vector<unsigned char>& png) {
    size_t pos = 8;
    while (pos + 12 <= png.size()) {
        const uint32_t length = uint32_t(png[pos]) << 24 | uint32_t(png[pos + 1]) << 16 |
                                uint32_t(png[pos + 2]) << 8 | png[pos + 3];
        if (length > png.size() - pos - 12) break;
        const uint32_t crc = static_cast<uint32_t>(crc32(0, &png[pos + 4], length + 4));
        const size_t at = pos + 8 + length;
        png[at] = crc >> 24;
        png[at + 1] = (crc >> 16) & 255;
        png[at + 2] = (crc >> 8) & 255;
        png[at + 3] = crc & 255;
        pos = at + 4;
    }
}
