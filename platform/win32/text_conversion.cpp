#include "platform/text_conversion.h"

#include <vector>
#include <windows.h>

std::string NarrowToAnsi(const char16_t* text, std::size_t maxUnits) {
    if (!text) return {};
    std::size_t n = 0;
    while (n < maxUnits && text[n] != 0)
        ++n;
    if (n == 0) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(n), out.data(), bytes, nullptr, nullptr);
    return out;
}
