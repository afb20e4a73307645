// Help written out and opened; corrections saved and loaded through the file dialogs.
#include "app_fixture.h"
#include "support/engine_operations.h"

#include "platform/file_system.h"
#include "platform/resources.h"
#include "plugin/alg_file.h"
#include "plugin/editor_controls.h"
#include "plugin/help_files.h"
#include "plugin/parameter_table.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string HelpFolder() {
    return (fs::path(LocalAppDataFolderPath()) / "Tessivane" / "Vorelline VST").string();
}

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int CountMessages(const MessageRecorder& m, const std::string& text) {
    int n = 0;
    for (const auto& e : m.entries)
        n += e.text == text;
    return n;
}

} // namespace

TEST_F(EditorApp, HelpWritesTheEightFilesAndOpensTheFirstPage) {
    fs::remove_all(HelpFolder());
    for (int round = 0; round < 2; ++round) { // the second run overwrites
        ClickCentre(editor_rect::kHelp);
        for (int i = 0; i < kHelpResourceCount; ++i) {
            const ResourceBytes r = FindModuleResource("BIN", 200 + i);
            ASSERT_NE(r.data, nullptr) << "help resource " << 200 + i;
            EXPECT_EQ(ReadAll(fs::path(HelpFolder()) / kHelpFileNames[i]),
                      std::string(reinterpret_cast<const char*>(r.data), r.size))
                << kHelpFileNames[i];
        }
    }
    EXPECT_TRUE(messages.entries.empty());
    ASSERT_EQ(dialogs.opened.size(), 2u);
    EXPECT_EQ(fs::path(dialogs.opened[0]), fs::path(HelpFolder()) / "1.htm");
    const std::string page = ReadAll(fs::path(HelpFolder()) / "2.htm");
    for (const char* picture : {"m1.png", "m2.png", "m3.png", "m4.png", "style.css"})
        EXPECT_NE(page.find(picture), std::string::npos) << picture;
}

TEST_F(EditorApp, HelpReportsEachFileItCannotWriteAndAMissingPage) {
    fs::remove_all(HelpFolder());
    fs::create_directories(HelpFolder());
    // A folder where a file should go cannot be replaced by the file.
    for (const char* name : {"1.htm", "style.css", "m4.png"})
        fs::create_directories(fs::path(HelpFolder()) / name / "x");
    dialogs.shellResult = kShellFileNotFound;
    ClickCentre(editor_rect::kHelp);
    EXPECT_EQ(CountMessages(messages, "AppData Error!"), 3);
    EXPECT_EQ(messages.entries[0].caption, "Error");
    EXPECT_EQ(messages.entries[0].icon, MessageIcon::Error);
    EXPECT_TRUE(fs::is_regular_file(fs::path(HelpFolder()) / "2.htm"));
    EXPECT_EQ(CountMessages(messages, "Help file not found"), 1);
    fs::remove_all(HelpFolder());
}

#ifndef _WIN32
// A fresh account has no ~/.local/share yet: Help must still write its pages rather than report
// every file as unwritable.
TEST_F(EditorApp, HelpCreatesAMissingDataFolder) {
    const fs::path account = fs::path(TV_TEST_DOCUMENTS) / "fresh account";
    fs::remove_all(account);
    const std::string dataHome = (account / ".local" / "share").string();
    const std::string previous = std::getenv("XDG_DATA_HOME");
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    ClickCentre(editor_rect::kHelp);
    for (int i = 0; i < kHelpResourceCount; ++i)
        EXPECT_TRUE(fs::is_regular_file(fs::path(HelpFolder()) / kHelpFileNames[i])) << kHelpFileNames[i];
    EXPECT_TRUE(messages.entries.empty()) << messages.entries[0].text;
    EXPECT_EQ(fs::status(dataHome).permissions() & fs::perms::all, fs::perms::owner_all);
    ASSERT_EQ(dialogs.opened.size(), 1u);
    EXPECT_EQ(fs::path(dialogs.opened[0]),
              account / ".local" / "share" / "Tessivane" / "Vorelline VST" / "1.htm");
    setenv("XDG_DATA_HOME", previous.c_str(), 1);
    fs::remove_all(account);
}
#endif

TEST_F(EditorApp, SaveAndLoadAskWithTheirDialogsAndRoundTrip) {
    const fs::path file = fs::path(fx->DocumentsFolder()) / "take one.alg";
    fs::remove(file);
    CorrectionEngine& e = Engine();
    CorrectionSettings measured = CorrectionInForce(e);
    for (int i = 0; i < kBandCount; ++i) {
        measured.targetBands[i] = 1.0 + 0.01 * i;
        measured.referenceBands[i] = 2.0 - 0.005 * i;
    }
    measured.userCurve[3] = 3.0;
    e.ApplyCorrection(measured);
    Click(530, 197); // outputs: target
    ClickCentre(editor_rect::kInputs);
    Click(530, 267); // high resolution
    editor->MouseWheel(650, 197, IMouseMods{}, 7);

    dialogs.files = {file.string()};
    ClickCentre(editor_rect::kSave);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const FileDialogRequest& save = dialogs.requests[0];
    EXPECT_EQ(save.kind, FileDialogRequest::Save);
    EXPECT_EQ(save.title, "Save Preset");
    EXPECT_EQ(save.filterName, "ALG file");
    EXPECT_EQ(save.filterPattern, "*.alg");
    EXPECT_EQ(save.defaultExtension, "alg");
    EXPECT_EQ(save.initialFolder, fx->DocumentsFolder());
    ASSERT_EQ(fs::file_size(file), kAlgFileSize);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(file.string(), bytes));
    EXPECT_EQ(bytes[4], 13); // target (1) + swapped (4) + high (8)

    // A fresh instance loads it: selections, gain, spectra and curve, through the controls.
    IMicCorrector* other = new IMicCorrector(CreateHeadlessEditor);
    dialogs.files = {std::nullopt, file.string()};
    other->DoParameterAction(kParamLoad); // cancelled: nothing changes
    EXPECT_EQ(other->Engine().Snapshot().inputSelection, 0.0);
    other->DoParameterAction(kParamLoad);
    EXPECT_EQ(dialogs.requests[2].kind, FileDialogRequest::Open);
    EXPECT_EQ(dialogs.requests[2].title, "Load Preset");
    const CorrectionEngine& o = other->Engine();
    EXPECT_EQ(o.Snapshot().outputSelection, 0.5);
    EXPECT_EQ(o.Snapshot().inputSelection, 1.0);
    EXPECT_EQ(o.Snapshot().resolution, 1.0);
    EXPECT_DOUBLE_EQ(o.Snapshot().gainPosition, e.Snapshot().gainPosition);
    EXPECT_DOUBLE_EQ(o.Snapshot().gainFactor, e.Snapshot().gainFactor);
    EXPECT_EQ(o.Snapshot().targetBands, e.Snapshot().targetBands);
    EXPECT_EQ(o.Snapshot().referenceBands, e.Snapshot().referenceBands);
    EXPECT_EQ(o.Snapshot().userCurve[3], 3.0);
    EXPECT_EQ(o.Snapshot().cascadeSections, 120);
    const MicCorrectorControls& c = other->Controls();
    EXPECT_EQ(c.outputsSelector->Value(), 0.5);
    EXPECT_EQ(c.inputsSelector->Value(), 1.0);
    EXPECT_EQ(c.resolutionSelector->Value(), 1.0);
    EXPECT_DOUBLE_EQ(c.gainFader->Value(), e.Snapshot().gainPosition);
    EXPECT_DOUBLE_EQ(other->GetParam(kParamGain)->value, e.Snapshot().gainPosition);
    EXPECT_TRUE(messages.entries.empty());
    other->release();
    fs::remove(file);
}

TEST_F(EditorApp, RefusedOrUnwritableFilesChangeNothing) {
    const fs::path folder = fs::path(fx->DocumentsFolder());
    // An old version is refused with its message and leaves the instance as it was.
    AlgRecord old;
    old.version = 2018;
    auto bytes = EncodeAlgRecord(old);
    const fs::path oldFile = folder / "old.alg";
    std::ofstream(oldFile, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    dialogs.files = {oldFile.string(), (folder / "missing.alg").string()};
    ClickCentre(editor_rect::kLoad);
    ClickCentre(editor_rect::kLoad);
    ASSERT_EQ(messages.entries.size(), 2u);
    EXPECT_EQ(messages.entries[0].text, "Old version of the ALG file is not supported.");
    EXPECT_EQ(messages.entries[1].text, "File Open Error 001.");
    EXPECT_EQ(Engine().Snapshot().outputSelection, 0.0);
    EXPECT_EQ(Controls().outputsSelector->Value(), 0.0);

    // A save that cannot complete never replaces the good file already there.
    const fs::path good = folder / "good.alg";
    std::ofstream(good, std::ios::binary) << "previous contents";
    // The new contents cannot be written beside it: every name for them is taken.
    auto partName = [&](int n) {
        return folder / ("good.alg" + (n == 0 ? std::string() : "." + std::to_string(n)) + ".part");
    };
    for (int n = 0; n < 100; ++n)
        fs::create_directories(partName(n) / "x");
    dialogs.files = {good.string()};
    ClickCentre(editor_rect::kSave);
    EXPECT_EQ(messages.entries.back().text, "Save File Error_003");
    EXPECT_EQ(ReadAll(good), "previous contents");
    dialogs.files = {std::nullopt};
    ClickCentre(editor_rect::kSave); // cancelled: nothing written, nothing said
    EXPECT_EQ(messages.entries.size(), 3u);
    for (int n = 0; n < 100; ++n)
        fs::remove_all(partName(n));
    fs::remove(good);
    fs::remove(oldFile);
}
