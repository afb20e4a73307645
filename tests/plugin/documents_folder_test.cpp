#include "plugin/documents_folder.h"

#include "platform/file_system.h"
#include "support/message_recorder.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

#ifndef _WIN32
// Sets an environment variable for one scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) saved = old, had = true;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (had)
            setenv(name, saved.c_str(), 1);
        else
            unsetenv(name);
    }

  private:
    const char* name;
    std::string saved;
    bool had = false;
};

TEST(DocumentsFolder, CreatedOnceThenReused) {
    TempFolder docs;
    ScopedEnv env("XDG_DOCUMENTS_DIR", docs.Str().c_str());
    MessageRecorder messages;
    const std::string folder = PrepareDocumentsFolder();
    EXPECT_EQ(folder, docs.Str() + "/Tessivane Vorelline/");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    docs.Write("Tessivane Vorelline/keep.frd", "1 1\n");
    EXPECT_EQ(PrepareDocumentsFolder(), folder);
    EXPECT_TRUE(std::filesystem::exists(folder + "keep.frd"));
    EXPECT_TRUE(messages.entries.empty());
}

TEST(DocumentsFolder, NoKnownFolderIsReported) {
    ScopedEnv xdg("XDG_DOCUMENTS_DIR", nullptr);
    ScopedEnv home("HOME", nullptr);
    MessageRecorder messages;
    EXPECT_EQ(PrepareDocumentsFolder(), "");
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].caption, "Error");
    EXPECT_EQ(messages.entries[0].text, "SHGetKnownFolderPath Error1.");
    EXPECT_EQ(messages.entries[0].icon, MessageIcon::Error);
}
#else
TEST(DocumentsFolder, UnderTheUsersDocuments) {
    MessageRecorder messages;
    const std::string folder = PrepareDocumentsFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder, DocumentsFolderPath() + "\\Tessivane Vorelline\\");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(PrepareDocumentsFolder(), folder);
    EXPECT_TRUE(messages.entries.empty());
}
#endif

TEST(FileSystem, ReadsWholeOrBoundedFiles) {
    TempFolder folder;
    std::string text(70000, 'x');
    text[69999] = 'y';
    const std::string path = folder.Write("data.bin", text);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);
    ASSERT_TRUE(ReadWholeFile(path, bytes, 10));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "xxxxxxxxxx");
    EXPECT_FALSE(ReadWholeFile(folder.File("none.bin"), bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(ReadWholeFile(folder.Str(), bytes)); // a folder is no file
}

TEST(FileSystem, WildcardMatching) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    };
    const std::string manyA(40, 'a');
    for (const Case& c :
         {Case{"*.frd", "mic.frd", true}, Case{"*.frd", "MIC.FRD", true}, Case{"*.frd", "mic.frdx", false},
          Case{"*.frd", "frd", false}, Case{"*.txt", ".txt", true}, Case{"a?c*", "abcdef", true},
          Case{"a?c", "ac", false}, Case{"*a*a*a*b", manyA.c_str(), false}})
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
}

} // namespace
