// Saving over a good preset on a disk that fills up part-way. The file size limit of a child
// process stands in for a full disk or a used-up quota: its writes stop short with EFBIG.
#include "plugin/alg_file.h"
#include "platform/file_system.h"

#include "support/message_recorder.h"
#include "plugin/temp_folder.h"
#include "support/posix/child_report.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

AlgRecord Record(double gain) {
    AlgRecord r;
    r.flags = 13;
    r.gainPosition = gain;
    for (int i = 0; i < 153; ++i) {
        r.targetBands[i] = gain * 1000.0 + i;
        r.referenceBands[i] = 2000.0 / (i + 1);
    }
    for (int i = 0; i < 33; ++i)
        r.userCurve[i] = 1.0 + gain * i / 33.0;
    return r;
}

struct SaveOutcome {
    bool exited = false; // the child ran to its end (no signal, no crash)
    bool saved = false;
    std::vector<std::string> messages;
};

// SaveAlgFile in a child whose files may grow to at most `limit` bytes (SIGXFSZ ignored, so the
// write fails instead of killing the process); the result and the messages come back by a pipe.
SaveOutcome SaveWithSizeLimit(const std::string& path, const AlgRecord& record, rlim_t limit) {
    const std::optional<std::string> report = RunInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &r) != 0) return std::string("x");
        MessageRecorder messages;
        std::string said = SaveAlgFile(path, record) ? "1" : "0";
        for (const auto& m : messages.entries)
            said += m.text + "\n";
        return said;
    });
    SaveOutcome out;
    out.exited = report && !report->empty() && (*report)[0] != 'x';
    if (!out.exited) return out;
    out.saved = (*report)[0] == '1';
    for (size_t at = 1, end; (end = report->find('\n', at)) != std::string::npos; at = end + 1)
        out.messages.push_back(report->substr(at, end - at));
    return out;
}

std::vector<std::uint8_t> Bytes(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

} // namespace

TEST(AlgFileOnAFullDisk, SaveThatStopsShortKeepsTheOldFileAndSaysSo) {
    TempFolder folder;
    const std::string path = folder.File("preset.alg");
    {
        MessageRecorder quiet;
        ASSERT_TRUE(SaveAlgFile(path, Record(0.5)));
    }
    const std::vector<std::uint8_t> good = Bytes(path);
    ASSERT_EQ(good.size(), kAlgFileSize);

    // Room for nothing, for one byte, for half, for all but the last byte.
    for (rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{kAlgFileSize / 2}, rlim_t{kAlgFileSize - 1}}) {
        SCOPED_TRACE(testing::Message() << "room for " << limit << " bytes");
        const SaveOutcome save = SaveWithSizeLimit(path, Record(0.25), limit);
        ASSERT_TRUE(save.exited);
        EXPECT_FALSE(save.saved);
        EXPECT_EQ(save.messages, std::vector<std::string>{"Error_004"});
        EXPECT_EQ(Bytes(path), good) << "the old preset is intact";
        EXPECT_FALSE(std::filesystem::exists(path + ".part")) << "nothing is left beside it";
    }

    // With room for the whole file the same save replaces it: the limit alone is not what fails.
    const SaveOutcome save = SaveWithSizeLimit(path, Record(0.25), kAlgFileSize);
    ASSERT_TRUE(save.exited);
    EXPECT_TRUE(save.saved);
    EXPECT_TRUE(save.messages.empty());
    const auto fresh = EncodeAlgRecord(Record(0.25));
    EXPECT_EQ(Bytes(path), std::vector<std::uint8_t>(fresh.begin(), fresh.end()));
}
