#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// The .alg correction file: a fixed 2776-byte little-endian record holding the selections, the gain,
// both microphones' band levels and the user's curve at normal resolution.

inline constexpr std::size_t kAlgFileSize = 2776;
inline constexpr std::int32_t kAlgVersion = 2019;
inline constexpr std::size_t kAlgPlainHeaderSize = 64; // stored unscrambled

namespace alg_offset {
inline constexpr std::size_t kVersion = 0;
inline constexpr std::size_t kFlags = 4;
inline constexpr std::size_t kGainPosition = 56;
inline constexpr std::size_t kTargetNormal = 64;
inline constexpr std::size_t kReferenceNormal = 328;
inline constexpr std::size_t kTargetHigh = 592;
inline constexpr std::size_t kReferenceHigh = 1552;
inline constexpr std::size_t kUserCurve = 2512;
} // namespace alg_offset

// Flags word: bits 0-1 output code (0 reference, 1 target, 2 corrected target), bit 2 inputs swapped,
// bit 3 high resolution.
inline constexpr std::int32_t kAlgFlagInputsSwapped = 4;
inline constexpr std::int32_t kAlgFlagHighResolution = 8;

struct AlgRecord {
    std::int32_t version = kAlgVersion;
    std::int32_t flags = 0;
    double gainPosition = 0.5;
    std::array<double, 153> targetBands{};    // 33 normal bands, then 120 semitone bands
    std::array<double, 153> referenceBands{}; // same order, calibration already removed
    std::array<double, 33> userCurve{};       // normal-resolution entries only
};

struct AlgSelections {
    double outputSelection = 0.0; // 0, 0.5 or 1
    double inputSelection = 0.0;  // 0 or 1
    double resolution = 0.0;      // 0 or 1
};

// Output code 0 for outputSelection 0, 1 for 0.5, 2 for anything else; swapped inputs and high
// resolution each set their bit when the selection is 1.
std::int32_t AlgFlags(double outputSelection, double inputSelection, double resolution);

// Output code 0 gives 0, 1 gives 0.5, 2 and 3 give 1.
AlgSelections AlgSelectionsFromFlags(std::int32_t flags);

// From offset 64 on, in every whole 8-byte group bytes 4-7 become their exclusive-or with bytes 0-3.
// Its own inverse.
void ScrambleAlgBytes(std::uint8_t* bytes, std::size_t size);

// The finished (scrambled) file contents.
std::array<std::uint8_t, kAlgFileSize> EncodeAlgRecord(const AlgRecord& record);

enum class AlgDecodeResult {
    Ok,
    OldVersion, // version below 2019
    Damaged,    // version above 2019, shorter than the record, or values no analysis can produce
};

// Checks and decodes file contents; `record` is written only when the result is Ok. Besides the
// version, a file is refused as damaged when it is shorter than the record, when its gain is not a
// finite number, or when a band level or a curve ratio is one no measurement or drawing can produce
// (engine/record_values.h): such values would poison the design. Bytes past the record are ignored.
AlgDecodeResult DecodeAlgRecord(const std::uint8_t* bytes, std::size_t size, AlgRecord& record);

// The user's message for a refused file; empty for Ok.
std::string AlgDecodeMessage(AlgDecodeResult result);

// Writes a record; shows "Save File Error_003" when the file cannot be opened for writing and
// "Error_004" when the write does not complete. True on success. An existing file is replaced only
// by a completely written record.
bool SaveAlgFile(const std::string& path, const AlgRecord& record);

// Reads and decodes a file; shows "File Open Error 001." when it cannot be opened and the version or
// damage message when it is refused. `record` is written only on success.
bool LoadAlgFile(const std::string& path, AlgRecord& record);
