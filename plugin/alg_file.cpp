#include "plugin/alg_file.h"

#include "engine/record_values.h"
#include "platform/file_system.h"
#include "platform/message_service.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

namespace {

void PutInt32(std::uint8_t* p, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t GetInt32(const std::uint8_t* p) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

void PutDouble(std::uint8_t* p, double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

double GetDouble(const std::uint8_t* p) {
    std::uint64_t u = 0;
    for (int i = 0; i < 8; ++i)
        u |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return std::bit_cast<double>(u);
}

void PutDoubles(std::uint8_t* file, std::size_t offset, const double* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        PutDouble(file + offset + 8 * i, values[i]);
}

void GetDoubles(const std::uint8_t* file, std::size_t offset, double* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        values[i] = GetDouble(file + offset + 8 * i);
}

} // namespace

std::int32_t AlgFlags(double outputSelection, double inputSelection, double resolution) {
    std::int32_t flags = outputSelection == 0.0 ? 0 : outputSelection == 0.5 ? 1 : 2;
    // The selections are 0 or 1; whole-number truncation of that range is "at least 1".
    if (inputSelection >= 1.0) flags |= kAlgFlagInputsSwapped;
    if (resolution >= 1.0) flags |= kAlgFlagHighResolution;
    return flags;
}

AlgSelections AlgSelectionsFromFlags(std::int32_t flags) {
    AlgSelections s;
    const int code = flags & 3;
    s.outputSelection = code == 0 ? 0.0 : code == 1 ? 0.5 : 1.0;
    s.inputSelection = (flags & kAlgFlagInputsSwapped) ? 1.0 : 0.0;
    s.resolution = (flags & kAlgFlagHighResolution) ? 1.0 : 0.0;
    return s;
}

void ScrambleAlgBytes(std::uint8_t* bytes, std::size_t size) {
    if (!bytes) return;
    for (std::size_t g = kAlgPlainHeaderSize; g + 8 <= size; g += 8)
        for (int i = 0; i < 4; ++i)
            bytes[g + 4 + i] ^= bytes[g + i];
}

std::array<std::uint8_t, kAlgFileSize> EncodeAlgRecord(const AlgRecord& record) {
    std::array<std::uint8_t, kAlgFileSize> file{};
    std::uint8_t* p = file.data();
    PutInt32(p + alg_offset::kVersion, record.version);
    PutInt32(p + alg_offset::kFlags, record.flags);
    PutDouble(p + alg_offset::kGainPosition, record.gainPosition);
    PutDoubles(p, alg_offset::kTargetNormal, record.targetBands.data(), 33);
    PutDoubles(p, alg_offset::kReferenceNormal, record.referenceBands.data(), 33);
    PutDoubles(p, alg_offset::kTargetHigh, record.targetBands.data() + 33, 120);
    PutDoubles(p, alg_offset::kReferenceHigh, record.referenceBands.data() + 33, 120);
    PutDoubles(p, alg_offset::kUserCurve, record.userCurve.data(), 33);
    ScrambleAlgBytes(p, file.size());
    return file;
}

AlgDecodeResult DecodeAlgRecord(const std::uint8_t* bytes, std::size_t size, AlgRecord& record) {
    if (!bytes || size < 4) return AlgDecodeResult::Damaged;
    const std::int32_t version = GetInt32(bytes + alg_offset::kVersion);
    if (version < kAlgVersion) return AlgDecodeResult::OldVersion;
    if (version > kAlgVersion) return AlgDecodeResult::Damaged;
    if (size < kAlgFileSize) return AlgDecodeResult::Damaged;

    std::array<std::uint8_t, kAlgFileSize> plain;
    std::copy(bytes, bytes + kAlgFileSize, plain.begin());
    ScrambleAlgBytes(plain.data(), plain.size());

    AlgRecord r;
    const std::uint8_t* p = plain.data();
    r.version = version;
    r.flags = GetInt32(p + alg_offset::kFlags);
    r.gainPosition = GetDouble(p + alg_offset::kGainPosition);
    GetDoubles(p, alg_offset::kTargetNormal, r.targetBands.data(), 33);
    GetDoubles(p, alg_offset::kReferenceNormal, r.referenceBands.data(), 33);
    GetDoubles(p, alg_offset::kTargetHigh, r.targetBands.data() + 33, 120);
    GetDoubles(p, alg_offset::kReferenceHigh, r.referenceBands.data() + 33, 120);
    GetDoubles(p, alg_offset::kUserCurve, r.userCurve.data(), 33);

    if (!std::isfinite(r.gainPosition) ||
        !BandLevelsCanBeMeasured(r.targetBands.data(), r.targetBands.size()) ||
        !BandLevelsCanBeMeasured(r.referenceBands.data(), r.referenceBands.size()) ||
        !CurveRatiosCanBeDrawn(r.userCurve.data(), r.userCurve.size()))
        return AlgDecodeResult::Damaged;
    record = r;
    return AlgDecodeResult::Ok;
}

std::string AlgDecodeMessage(AlgDecodeResult result) {
    switch (result) {
    case AlgDecodeResult::Ok:
        return {};
    case AlgDecodeResult::OldVersion:
        return "Old version of the ALG file is not supported.";
    case AlgDecodeResult::Damaged:
        return "ALG file is damaged (or created by a newer version of the program).";
    }
    return {};
}

bool SaveAlgFile(const std::string& path, const AlgRecord& record) {
    const auto file = EncodeAlgRecord(record);
    switch (ReplaceWholeFile(path, file.data(), file.size())) {
    case WriteFileResult::Ok:
        return true;
    case WriteFileResult::OpenFailed:
        ShowInfo("Save File Error_003");
        return false;
    case WriteFileResult::WriteFailed:
        ShowInfo("Error_004");
        return false;
    }
    return false;
}

bool LoadAlgFile(const std::string& path, AlgRecord& record) {
    std::vector<std::uint8_t> bytes;
    // Bytes past the record are ignored, so they are not read either.
    if (!ReadWholeFile(path, bytes, kAlgFileSize)) {
        ShowInfo("File Open Error 001.");
        return false;
    }
    const AlgDecodeResult result = DecodeAlgRecord(bytes.data(), bytes.size(), record);
    if (result != AlgDecodeResult::Ok) {
        ShowInfo(AlgDecodeMessage(result));
        return false;
    }
    return true;
}
