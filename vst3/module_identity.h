#pragma once

#include "vst3/abi/types.h"

// Who we are to a host: the factory's maker texts and the one class the module publishes.
namespace module_identity {

inline constexpr const char* kVendor = "tessivane-vorelline.example";
inline constexpr const char* kUrl = "https://tessivane-vorelline.example";
inline constexpr const char* kEmail = "support@tessivane-vorelline.example";

inline constexpr const char* kClassName = "Tessivane Vorelline";
inline constexpr const char* kCategory = "Audio Module Class";
inline constexpr const char* kSubCategories = "Fx";
inline constexpr const char* kVersion = "2.0.3";
inline constexpr const char* kSdkVersion = "VST 3.6.10";

// Four-character codes of the maker and of the plug-in; they form the class ID's second half.
inline constexpr vst::uint32 kMakerCode = 0x5473766E;  // "Tsvn"
inline constexpr vst::uint32 kUniqueCode = 0x54737632; // "Tsv2"

// Class ID bytes (Windows order): 0D E7 AE F2 DE 00 4E 4F, the maker code, the unique code.
inline constexpr vst::Uid kClassId{0xF2AEE70D, 0x00DE4F4E, kMakerCode, kUniqueCode};

} // namespace module_identity
