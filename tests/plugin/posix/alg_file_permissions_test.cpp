// Saving over a file the user may not write and loading one they may not read, as an ordinary
// user (root ignores the modes): the old file stays byte for byte and the message says so.
#include "plugin/alg_file.h"
#include "platform/file_system.h"

#include "support/posix/unprivileged_child.h"
#include "plugin/temp_folder.h"
#include "support/message_recorder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

AlgRecord Record(double gain) {
    AlgRecord r;
    r.flags = 13;
    r.gainPosition = gain;
    for (int i = 0; i < 33; ++i)
        r.userCurve[i] = 1.0 + gain * i / 33.0;
    return r;
}

std::vector<std::uint8_t> Bytes(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

// The messages shown while the body ran, one a line, after "1" or "0" for its result.
std::string Said(bool result, const MessageRecorder& messages) {
    std::string report = result ? "1" : "0";
    for (const auto& m : messages.entries)
        report += m.text + "\n";
    return report;
}

} // namespace

TEST(AlgFilePermissions, SaveOverAFileThatMayNotBeWrittenKeepsIt) {
    const struct {
        const char* what;
        mode_t fileMode;
        uid_t fileOwner;
        mode_t folderMode;
    } cases[] = {
        // The rename that replaces a file needs only the folder: it must not go around the file's mode.
        {"a read-only file of the user's", 0444, kNobody, 0755},
        {"another user's file", 0644, 0, 0755},
        {"a file in a read-only folder", 0644, kNobody, 0555},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string path = folder.File("preset.alg");
        {
            MessageRecorder quiet;
            ASSERT_TRUE(SaveAlgFile(path, Record(0.5)));
        }
        const std::vector<std::uint8_t> good = Bytes(path);
        ASSERT_EQ(chown(folder.Str().c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(chown(path.c_str(), c.fileOwner, c.fileOwner), 0);
        ASSERT_EQ(chmod(path.c_str(), c.fileMode), 0);
        ASSERT_EQ(chmod(folder.Str().c_str(), c.folderMode), 0);

        const UnprivilegedRun run = RunUnprivileged([&] {
            MessageRecorder messages;
            const bool saved = SaveAlgFile(path, Record(0.25));
            return Said(saved, messages);
        });
        SKIP_UNLESS_UNPRIVILEGED(run);
        ASSERT_EQ(run.outcome, UnprivilegedRun::Ran);
        EXPECT_EQ(run.report, "0Save File Error_003\n");
        EXPECT_EQ(Bytes(path), good) << "the old preset is intact";
        EXPECT_FALSE(fs::exists(path + ".part")) << "nothing is left beside it";
        chmod(folder.Str().c_str(), 0755);
    }

    // The same user saves a new file beside them: the check is not what refuses.
    TempFolder folder;
    ASSERT_EQ(chown(folder.Str().c_str(), kNobody, kNobody), 0);
    const std::string path = folder.File("new.alg");
    const UnprivilegedRun run = RunUnprivileged([&] {
        MessageRecorder messages;
        const bool saved = SaveAlgFile(path, Record(0.25));
        return Said(saved, messages);
    });
    SKIP_UNLESS_UNPRIVILEGED(run);
    EXPECT_EQ(run.report, "1");
    EXPECT_EQ(Bytes(path).size(), kAlgFileSize);
}

TEST(AlgFilePermissions, LoadOfAFileThatMayNotBeReadChangesNothing) {
    TempFolder folder;
    const std::string path = folder.File("secret.alg");
    {
        MessageRecorder quiet;
        ASSERT_TRUE(SaveAlgFile(path, Record(0.5)));
    }
    ASSERT_EQ(chmod(path.c_str(), 0600), 0); // root's own, not the user's
    const UnprivilegedRun run = RunUnprivileged([&] {
        MessageRecorder messages;
        AlgRecord record = Record(0.75);
        const bool loaded = LoadAlgFile(path, record);
        // The record the caller had is still the same.
        const bool untouched = record.gainPosition == 0.75 && record.userCurve[32] == Record(0.75).userCurve[32];
        return Said(loaded, messages) + (untouched ? "untouched" : "changed");
    });
    SKIP_UNLESS_UNPRIVILEGED(run);
    EXPECT_EQ(run.report, "0File Open Error 001.\nuntouched");
}
