#pragma once

// Primitive types, result codes and interface identifiers of the plug-in binary interface.
// Windows uses COM result codes and GUID byte order; other platforms use small result codes and
// big-endian identifier bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vst {

using int8 = char;
using uint8 = std::uint8_t;
using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using int64 = std::int64_t;
using uint64 = std::uint64_t;

using tresult = int32;
using TBool = uint8; // one byte; any non-zero value is true
using char8 = char;
using char16 = char16_t;
using TChar = char16_t;
using String128 = TChar[128];
using FIDString = const char8*;
using CString = const char8*;
using TUID = char[16];

using ParamID = uint32;
using ParamValue = double;
using Sample32 = float;
using Sample64 = double;
using SampleRate = double;
using SpeakerArrangement = uint64;
using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using UnitID = int32;
using ProgramListID = int32;
using KnobMode = int32;
using UCoord = int32;
using TSamples = int64;
using TQuarterNotes = double;

#if defined(_WIN32)
inline constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = 0;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
inline constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);
inline constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);
inline constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
inline constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);
#else
inline constexpr tresult kNoInterface = -1;
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = 0;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = 2;
inline constexpr tresult kNotImplemented = 3;
inline constexpr tresult kInternalError = 4;
inline constexpr tresult kNotInitialized = 5;
inline constexpr tresult kOutOfMemory = 6;
#endif

// The 16 raw bytes of an identifier, built from its four 32-bit words in the platform's order.
struct Uid {
    char bytes[16];

    constexpr Uid(uint32 l1, uint32 l2, uint32 l3, uint32 l4) : bytes{} {
#if defined(_WIN32)
        // GUID layout: Data1 and the two halves of l2 little-endian, the rest big-endian.
        Put(0, l1, false);
        bytes[4] = static_cast<char>((l2 >> 16) & 0xFF);
        bytes[5] = static_cast<char>((l2 >> 24) & 0xFF);
        bytes[6] = static_cast<char>(l2 & 0xFF);
        bytes[7] = static_cast<char>((l2 >> 8) & 0xFF);
#else
        Put(0, l1, true);
        Put(4, l2, true);
#endif
        Put(8, l3, true);
        Put(12, l4, true);
    }

    bool Matches(const void* other) const {
        return other && std::memcmp(bytes, other, 16) == 0;
    }
    const char* Data() const {
        return bytes;
    }

  private:
    constexpr void Put(int at, uint32 v, bool bigEndian) {
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 24 - 8 * i : 8 * i;
            bytes[at + i] = static_cast<char>((v >> shift) & 0xFF);
        }
    }
};

} // namespace vst
