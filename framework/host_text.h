#pragma once

#include <cstddef>

// Texts handed to the host are widened byte by byte: each 8-bit character becomes one UTF-16 unit
// of the same numeric value, no code-page conversion. The last of the 128 units is always 0.
constexpr std::size_t kHostTextUnits = 128;

inline void WidenForHost(const char* text, char16_t* out, std::size_t units = kHostTextUnits) {
    if (!out || units == 0) return;
    std::size_t i = 0;
    if (text)
        for (; i + 1 < units && text[i] != '\0'; ++i)
            out[i] = static_cast<unsigned char>(text[i]);
    for (; i < units; ++i)
        out[i] = 0;
}
