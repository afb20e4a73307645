#pragma once

#include <cstddef>
#include <cstdint>

namespace rast {

// Decodes the code point at text[pos] and advances pos. A byte that does not start a well-formed
// sequence (overlong forms, surrogates and values above 0x10FFFF included) stands for itself, as
// its 8-bit code, so text in a legacy code page still shows.
uint32_t NextCodePoint(const char* text, size_t length, size_t& pos);

// Length in bytes of a well-formed multi-byte sequence at text[pos], else 0.
size_t WellFormedSequenceLength(const char* text, size_t length, size_t pos);

// True when the text holds at least one well-formed multi-byte sequence.
bool HasMultiByteSequence(const char* text, size_t length);

} // namespace rast
