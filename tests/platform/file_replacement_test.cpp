// A file's new contents take its place whole, or not at all, and never at the cost of another file.
#include "platform/file_system.h"

#include "../plugin/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string Contents(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return "(unreadable)";
    return {bytes.begin(), bytes.end()};
}

std::size_t FilesIn(const TempFolder& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path))
        ++n;
    return n;
}

} // namespace

TEST(FileReplacement, TakesThePlaceOnlyWhenCommitted) {
    TempFolder folder;
    const std::string target = folder.Write("take.txt", "old");
    {
        FileReplacement dropped(target);
        ASSERT_EQ(dropped.Write("new", 3), WriteFileResult::Ok);
        EXPECT_EQ(Contents(target), "old");
        EXPECT_EQ(FilesIn(folder), 2u); // the new contents wait beside it
    }
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(FilesIn(folder), 1u) << "contents never committed are removed";

    FileReplacement kept(target);
    ASSERT_EQ(kept.Write("new", 3), WriteFileResult::Ok);
    ASSERT_TRUE(kept.Commit());
    EXPECT_EQ(Contents(target), "new");
    EXPECT_EQ(FilesIn(folder), 1u);
}

// A file that already has the temporary name (a user's own, or a leftover) is left as it is.
TEST(FileReplacement, NeverWritesOverAFileBesideTheTarget) {
    TempFolder folder;
    const std::string target = folder.File("take.wav");
    const std::string users = folder.Write("take.wav.part", "a download in progress");
    ASSERT_EQ(ReplaceWholeFile(target, "new", 3), WriteFileResult::Ok);
    EXPECT_EQ(Contents(target), "new");
    EXPECT_EQ(Contents(users), "a download in progress");
    EXPECT_EQ(FilesIn(folder), 2u);
}

TEST(FileReplacement, SaysWhyInWords) {
    TempFolder folder;
    std::string why;
    EXPECT_NE(ReplaceWholeFile(folder.File("no-such-folder/x.txt"), "x", 1, &why), WriteFileResult::Ok);
    EXPECT_EQ(why, "the folder does not exist");
    EXPECT_EQ(FilesIn(folder), 0u);
}
