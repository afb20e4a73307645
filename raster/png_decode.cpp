#include "raster/png_decode.h"
#include "raster/png_loader.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace {

// Everything the decoder must find again after libpng long-jumps out of a failure. It lives in
// the caller's frame and is only reached through a pointer, so its values survive the jump.
struct DecodeState {
    std::jmp_buf jump;
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngSource* source = nullptr;
    size_t cursor = 0;
    size_t inputSize = 0; // bytes of PNG data when known, else 0
    RAST_MemBitmap* target = nullptr;
    bool created = false;
    png_bytep* rows = nullptr;
};

[[noreturn]] void OnError(png_structp png, png_const_charp) {
    auto* state = static_cast<DecodeState*>(png_get_error_ptr(png));
    std::longjmp(state->jump, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// A read past the end fails at once. (Padding with zeros instead would let a chunk header that
// claims two gigabytes make libpng skip through two gigabytes of invented zeros.)
void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* state = static_cast<DecodeState*>(png_get_io_ptr(png));
    const PngSource& src = *state->source;
    const size_t remaining = src.size - state->cursor;
    if (count > remaining) png_error(png, "truncated");
    if (count) std::memcpy(out, src.data + state->cursor, count);
    state->cursor += count;
}

// The libpng part. Nothing in this frame has a destructor, so a long jump back here is safe.
bool RunLibpng(DecodeState* s) {
    if (setjmp(s->jump)) return false;
    if (s->source->file)
        png_init_io(s->png, s->source->file);
    else
        png_set_read_fn(s->png, s, ReadFromMemory);
    png_set_user_limits(s->png, kMaxPngDimension, kMaxPngDimension);
    png_read_info(s->png, s->info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(s->png, s->info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    if (width == 0 || height == 0 || static_cast<long long>(width) * height > kMaxPngPixels) return false;
    // Deflate packs at most 1032 bytes into one: a header promising far more rows than the input
    // could hold is truncated or hostile, and is refused before the pixels are allocated.
    const double rawBytes = (static_cast<double>(png_get_rowbytes(s->png, s->info)) + 1) * height;
    if (s->inputSize && rawBytes > static_cast<double>(s->inputSize) * 1032.0 + 4096.0) return false;

    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(s->png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(s->png);
    if (png_get_valid(s->png, s->info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(s->png);
        colourType |= PNG_COLOR_MASK_ALPHA;
    }
    if (depth == 16) png_set_strip_16(s->png);
    if (depth < 8) png_set_packing(s->png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(s->png);
    if (colourType & PNG_COLOR_MASK_ALPHA)
        png_set_swap_alpha(s->png);
    else
        png_set_filler(s->png, 0xFF, PNG_FILLER_BEFORE);
    png_set_interlace_handling(s->png);
    png_read_update_info(s->png, s->info);
    // Whatever the input, the transformations must have produced four bytes per pixel.
    if (png_get_rowbytes(s->png, s->info) != static_cast<size_t>(width) * 4) return false;

    const int w = static_cast<int>(width), h = static_cast<int>(height);
    if (s->target) {
        s->target->ResizeTo(w, h);
    } else {
        s->target = new RAST_MemBitmap(w, h);
        s->created = true;
    }
    if (s->target->Width() != w || s->target->Height() != h) return false;

    s->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!s->rows) return false;
    for (int y = 0; y < h; ++y)
        s->rows[y] = reinterpret_cast<png_bytep>(s->target->Row(y));
    png_read_image(s->png, s->rows);
    return true;
}

} // namespace

RAST_MemBitmap* DecodePng(PngSource& source, RAST_MemBitmap* target) {
    DecodeState state;
    state.source = &source;
    state.target = target;
    state.inputSize = source.file ? 0 : source.size;
    if (source.file && std::fseek(source.file, 0, SEEK_END) == 0) {
        const long end = std::ftell(source.file);
        if (end > 0) state.inputSize = static_cast<size_t>(end);
        std::rewind(source.file);
    }
    state.png = png_create_read_struct("1.6.19", &state, OnError, OnWarning);
    bool ok = false;
    if (state.png) {
        state.info = png_create_info_struct(state.png);
        if (state.info) ok = RunLibpng(&state);
        png_destroy_read_struct(&state.png, state.info ? &state.info : nullptr, nullptr);
    }
    std::free(state.rows);
    if (source.file) {
        std::fclose(source.file);
        source.file = nullptr;
    }
    if (!ok) {
        if (state.created) delete state.target;
        return nullptr;
    }

    // Delivered bytes are alpha, red, green, blue; the native word is the byte-reversed order.
    RAST_MemBitmap* bmp = state.target;
    for (int y = 0; y < bmp->Height(); ++y) {
        RAST_Pixel* row = bmp->Row(y);
        for (int x = 0; x < bmp->Width(); ++x) {
            const auto* b = reinterpret_cast<const unsigned char*>(row + x);
            row[x] = static_cast<RAST_Pixel>(b[3]) | static_cast<RAST_Pixel>(b[2]) << 8 |
                     static_cast<RAST_Pixel>(b[1]) << 16 | static_cast<RAST_Pixel>(b[0]) << 24;
        }
    }
    return bmp;
}
