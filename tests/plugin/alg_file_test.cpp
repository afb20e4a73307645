#include "plugin/alg_file.h"

#include "support/message_recorder.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

AlgRecord SampleRecord() {
    AlgRecord r;
    r.flags = 13;
    r.gainPosition = 0.6125;
    for (int i = 0; i < 153; ++i) {
        r.targetBands[i] = 1000.0 + i * 0.37;
        r.referenceBands[i] = 2000.0 / (i + 1);
    }
    for (int i = 0; i < 33; ++i)
        r.userCurve[i] = std::pow(10.0, (i - 16) / 40.0);
    return r;
}

std::int32_t Int32At(const std::uint8_t* p) {
    return static_cast<std::int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

TEST(AlgFlags, Table) {
    struct Case {
        double output, inputs, resolution;
        std::int32_t flags;
    };
    for (const Case& c : {Case{0.0, 0, 0, 0}, Case{0.5, 1, 1, 13}, Case{1.0, 0, 0, 2}, Case{1.0, 1, 0, 6},
                          Case{0.0, 0, 1, 8}, Case{0.7, 0, 0, 2}}) {
        EXPECT_EQ(AlgFlags(c.output, c.inputs, c.resolution), c.flags) << c.output << " " << c.inputs;
    }
    struct Back {
        std::int32_t flags;
        double output, inputs, resolution;
    };
    for (const Back& b : {Back{0, 0.0, 0, 0}, Back{1, 0.5, 0, 0}, Back{2, 1.0, 0, 0}, Back{3, 1.0, 0, 0},
                          Back{13, 0.5, 1, 1}, Back{-1, 1.0, 1, 1}}) {
        const AlgSelections s = AlgSelectionsFromFlags(b.flags);
        EXPECT_EQ(s.outputSelection, b.output) << b.flags;
        EXPECT_EQ(s.inputSelection, b.inputs) << b.flags;
        EXPECT_EQ(s.resolution, b.resolution) << b.flags;
    }
}

TEST(AlgRecordBytes, LayoutAndScrambling) {
    const AlgRecord r = SampleRecord();
    const auto file = EncodeAlgRecord(r);
    EXPECT_EQ(Int32At(file.data()), 2019);
    EXPECT_EQ(Int32At(file.data() + 4), 13);
    for (std::size_t i = 8; i < 56; ++i)
        EXPECT_EQ(file[i], 0) << i;
    double gain;
    std::memcpy(&gain, file.data() + 56, 8); // stored plain
    EXPECT_EQ(gain, 0.6125);

    // Every group from 64 on: bytes 0-3 plain, bytes 4-7 = plain 4-7 xor plain 0-3.
    auto checkGroup = [&](std::size_t offset, double plainValue) {
        std::uint8_t plain[8];
        std::memcpy(plain, &plainValue, 8);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(file[offset + i], plain[i]) << offset;
            EXPECT_EQ(file[offset + 4 + i], plain[4 + i] ^ plain[i]) << offset;
        }
    };
    for (int i = 0; i < 33; ++i) {
        checkGroup(64 + 8 * i, r.targetBands[i]);
        checkGroup(328 + 8 * i, r.referenceBands[i]);
        checkGroup(2512 + 8 * i, r.userCurve[i]);
    }
    for (int i = 0; i < 120; ++i) {
        checkGroup(592 + 8 * i, r.targetBands[33 + i]);
        checkGroup(1552 + 8 * i, r.referenceBands[33 + i]);
    }

    auto twice = file;
    ScrambleAlgBytes(twice.data(), twice.size());
    ScrambleAlgBytes(twice.data(), twice.size());
    EXPECT_EQ(twice, file);
}

TEST(AlgRecordBytes, RoundTripAndRefusals) {
    const AlgRecord r = SampleRecord();
    const auto file = EncodeAlgRecord(r);
    std::vector<std::uint8_t> bytes(file.begin(), file.end());

    AlgRecord back;
    ASSERT_EQ(DecodeAlgRecord(bytes.data(), bytes.size(), back), AlgDecodeResult::Ok);
    EXPECT_EQ(back.flags, r.flags);
    EXPECT_EQ(back.gainPosition, r.gainPosition);
    EXPECT_EQ(back.targetBands, r.targetBands);
    EXPECT_EQ(back.referenceBands, r.referenceBands);
    EXPECT_EQ(back.userCurve, r.userCurve);

    std::vector<std::uint8_t> longer = bytes; // bytes past the record are ignored
    longer.resize(3000, 0xAB);
    EXPECT_EQ(DecodeAlgRecord(longer.data(), longer.size(), back), AlgDecodeResult::Ok);
    EXPECT_EQ(back.userCurve, r.userCurve);

    // What a measurement, a calibration or a drawing can give passes: a band of 0 (no bins or no
    // power), a faint band under a strong calibration, a loud one, a deep or high curve ratio.
    for (auto change :
         {+[](AlgRecord& a) { a.targetBands[40] = 0.0; }, +[](AlgRecord& a) { a.referenceBands[2] = 1e-172; },
          +[](AlgRecord& a) { a.targetBands[152] = 1e60; }, +[](AlgRecord& a) { a.userCurve[0] = 1e-5; },
          +[](AlgRecord& a) { a.userCurve[32] = 1e5; }}) {
        AlgRecord real = r;
        change(real);
        const auto realFile = EncodeAlgRecord(real);
        ASSERT_EQ(DecodeAlgRecord(realFile.data(), realFile.size(), back), AlgDecodeResult::Ok);
        EXPECT_EQ(back.targetBands, real.targetBands);
        EXPECT_EQ(back.referenceBands, real.referenceBands);
        EXPECT_EQ(back.userCurve, real.userCurve);
    }

    struct Refusal {
        const char* what;
        std::vector<std::uint8_t> bytes;
        AlgDecodeResult result;
    };
    auto withVersion = [&](std::int32_t v) {
        std::vector<std::uint8_t> b = bytes;
        std::memcpy(b.data(), &v, 4);
        return b;
    };
    auto withBytes = [&](std::size_t from, std::size_t to, std::uint8_t value) {
        std::vector<std::uint8_t> b = bytes;
        std::fill(b.begin() + long(from), b.begin() + long(to), value);
        return b;
    };
    auto withValue = [&](void (*change)(AlgRecord&)) {
        AlgRecord bad = r;
        change(bad);
        auto f = EncodeAlgRecord(bad);
        return std::vector<std::uint8_t>(f.begin(), f.end());
    };
    const std::vector<Refusal> refusals = {
        {"version 2018", withVersion(2018), AlgDecodeResult::OldVersion},
        {"version 2020", withVersion(2020), AlgDecodeResult::Damaged},
        {"one byte short", std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1),
         AlgDecodeResult::Damaged},
        {"header only", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 72),
         AlgDecodeResult::Damaged},
        {"three bytes", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 3),
         AlgDecodeResult::Damaged},
        {"empty", {}, AlgDecodeResult::Damaged},
        {"NaN band", withValue([](AlgRecord& a) { a.referenceBands[100] = std::nan(""); }),
         AlgDecodeResult::Damaged},
        {"infinite gain", withValue([](AlgRecord& a) { a.gainPosition = HUGE_VAL; }),
         AlgDecodeResult::Damaged},
        {"negative band", withValue([](AlgRecord& a) { a.targetBands[3] = -1.0; }), AlgDecodeResult::Damaged},
        {"zero in the curve", withValue([](AlgRecord& a) { a.userCurve[7] = 0.0; }),
         AlgDecodeResult::Damaged},
        {"negative curve ratio", withValue([](AlgRecord& a) { a.userCurve[32] = -2.0; }),
         AlgDecodeResult::Damaged},
        {"infinite curve ratio", withValue([](AlgRecord& a) { a.userCurve[0] = HUGE_VAL; }),
         AlgDecodeResult::Damaged},
        {"subnormal band", withValue([](AlgRecord& a) { a.referenceBands[60] = 4e-320; }),
         AlgDecodeResult::Damaged},
        {"subnormal curve ratio", withValue([](AlgRecord& a) { a.userCurve[12] = 1e-310; }),
         AlgDecodeResult::Damaged},
        // A disk or transfer fault: bytes 600-899 of a saved file overwritten with 0xFF unscramble
        // to tiny (subnormal) levels of the target's high bands.
        {"bytes 600-899 set to 0xFF", withBytes(600, 900, 0xFF), AlgDecodeResult::Damaged},
    };
    for (const Refusal& c : refusals) {
        AlgRecord untouched = SampleRecord();
        untouched.flags = 99;
        EXPECT_EQ(DecodeAlgRecord(c.bytes.data(), c.bytes.size(), untouched), c.result) << c.what;
        EXPECT_EQ(untouched.flags, 99) << c.what;
    }
    EXPECT_EQ(AlgDecodeMessage(AlgDecodeResult::OldVersion), "Old version of the ALG file is not supported.");
    EXPECT_EQ(AlgDecodeMessage(AlgDecodeResult::Damaged),
              "ALG file is damaged (or created by a newer version of the program).");
}

TEST(AlgFiles, SaveLoadAndMessages) {
    MessageRecorder messages;
    TempFolder folder;
    const AlgRecord r = SampleRecord();
    ASSERT_TRUE(SaveAlgFile(folder.File("a.alg"), r));
    AlgRecord back;
    ASSERT_TRUE(LoadAlgFile(folder.File("a.alg"), back));
    EXPECT_EQ(back.targetBands, r.targetBands);
    EXPECT_TRUE(messages.entries.empty());

    const auto bytes = EncodeAlgRecord(r);
    folder.Write("long.alg", std::string(bytes.begin(), bytes.end()) + std::string(5000, '\x7f'));
    ASSERT_TRUE(LoadAlgFile(folder.File("long.alg"), back));
    EXPECT_EQ(back.userCurve, r.userCurve);

    EXPECT_FALSE(SaveAlgFile(folder.File("missing/a.alg"), r));
    EXPECT_FALSE(LoadAlgFile(folder.File("missing.alg"), back));
    folder.Write("short.alg", std::string("\xe3\x07\0\0", 4) + std::string(100, '\0'));
    EXPECT_FALSE(LoadAlgFile(folder.File("short.alg"), back));
    EXPECT_EQ(back.targetBands, r.targetBands);

    ASSERT_EQ(messages.entries.size(), 3u);
    EXPECT_EQ(messages.entries[0].text, "Save File Error_003");
    EXPECT_EQ(messages.entries[1].text, "File Open Error 001.");
    EXPECT_EQ(messages.entries[2].text,
              "ALG file is damaged (or created by a newer version of the program).");
    for (const auto& e : messages.entries) {
        EXPECT_EQ(e.caption, "Info");
        EXPECT_EQ(e.icon, MessageIcon::Information);
    }
}

} // namespace
