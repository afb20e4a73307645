// A .alg file from anywhere: decoded, and when accepted encoded again (the same record must come
// back), applied to a plug-in instance, designed, and played.
#include "fuzz_plugin.h"
#include "plugin/alg_file.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AlgRecord record;
    const AlgDecodeResult result = DecodeAlgRecord(data, size, record);
    if (result != AlgDecodeResult::Ok) {
        FuzzCheck(!AlgDecodeMessage(result).empty(), "a refused file has a message");
        return 0;
    }
    const auto bytes = EncodeAlgRecord(record);
    AlgRecord again;
    FuzzCheck(DecodeAlgRecord(bytes.data(), bytes.size(), again) == AlgDecodeResult::Ok,
              "re-encoded file accepted");
    FuzzCheck(again.flags == record.flags && std::memcmp(&again.gainPosition, &record.gainPosition, 8) == 0 &&
                  std::memcmp(again.targetBands.data(), record.targetBands.data(),
                              sizeof record.targetBands) == 0 &&
                  std::memcmp(again.referenceBands.data(), record.referenceBands.data(),
                              sizeof record.referenceBands) == 0 &&
                  std::memcmp(again.userCurve.data(), record.userCurve.data(), sizeof record.userCurve) == 0,
              "encode and decode round trip");

    FuzzPlugin plugin;
    plugin.Prepare(48000.0);
    plugin.fx->ApplyCorrectionRecord(record);
    const EngineSnapshot e = plugin.fx->Engine().Snapshot();
    FuzzCheck(e.gainPosition >= 0.0 && e.gainPosition <= 1.0, "gain position clamped");
    for (int k = 0; k < kMaxSections; ++k)
        FuzzCheck(std::isfinite(e.sectionGain[k]), "section gains finite");
    plugin.CheckCleanBlock();
    return 0;
}
