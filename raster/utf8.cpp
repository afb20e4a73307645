#include "raster/utf8.h"

namespace rast {

size_t WellFormedSequenceLength(const char* text, size_t length, size_t pos) {
    const auto* s = reinterpret_cast<const unsigned char*>(text) + pos;
    const size_t left = length - pos;
    const unsigned c = s[0];
    auto cont = [&](size_t i) { return i < left && (s[i] & 0xC0) == 0x80; };
    if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!cont(1) || !cont(2)) return 0;
        if (c == 0xE0 && s[1] < 0xA0) return 0;  // overlong
        if (c == 0xED && s[1] >= 0xA0) return 0; // surrogate
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) return 0;
        if (c == 0xF0 && s[1] < 0x90) return 0;  // overlong
        if (c == 0xF4 && s[1] >= 0x90) return 0; // above 0x10FFFF
        return 4;
    }
    return 0;
}

uint32_t NextCodePoint(const char* text, size_t length, size_t& pos) {
    const auto* s = reinterpret_cast<const unsigned char*>(text) + pos;
    const size_t n = WellFormedSequenceLength(text, length, pos);
    uint32_t code;
    switch (n) {
    case 2:
        code = (s[0] & 0x1Fu) << 6 | (s[1] & 0x3Fu);
        break;
    case 3:
        code = (s[0] & 0x0Fu) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu);
        break;
    case 4:
        code = (s[0] & 0x07u) << 18 | (s[1] & 0x3Fu) << 12 | (s[2] & 0x3Fu) << 6 | (s[3] & 0x3Fu);
        break;
    default:
        code = s[0];
        break;
    }
    pos += n ? n : 1;
    return code;
}

bool HasMultiByteSequence(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0xC2 && WellFormedSequenceLength(text, length, i))
            return true;
    return false;
}

} // namespace rast
