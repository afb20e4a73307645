#pragma once

#include <cstddef>
#include <string>

// Host texts arrive as UTF-16. Converts at most maxUnits units (stopping at a 0 unit) to the
// process's 8-bit code page: the ANSI code page on Windows; elsewhere units below 256 are taken as
// bytes and any other unit becomes '?'.
std::string NarrowToAnsi(const char16_t* text, std::size_t maxUnits);
