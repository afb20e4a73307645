#include "platform/text_conversion.h"

std::string NarrowToAnsi(const char16_t* text, std::size_t maxUnits) {
    std::string out;
    if (!text) return out;
    for (std::size_t i = 0; i < maxUnits && text[i] != 0; ++i)
        out.push_back(text[i] < 256 ? static_cast<char>(text[i]) : '?');
    return out;
}
