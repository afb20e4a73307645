#include "plugin/help_files.h"

#include "graphics/graphics.h"
#include "platform/file_system.h"
#include "platform/message_service.h"
#include "platform/resources.h"
#include "platform/user_dialogs.h"

const char* const kHelpFileNames[kHelpResourceCount] = {"1.htm",  "2.htm",  "3.htm",  "style.css",
                                                        "m1.png", "m2.png", "m3.png", "m4.png"};

namespace {
constexpr std::size_t kFolderPathMax = 1024;
constexpr const char* kMakerFolder = "Tessivane";
constexpr const char* kProductFolder = "Vorelline VST";
} // namespace

std::string PrepareHelpFolder() {
    std::string folder = LocalAppDataFolderPath();
    if (folder.empty() || folder.size() > kFolderPathMax) {
        ShowError("SHGetKnownFolderPath Error2.");
        return {};
    }
    if (folder.back() != kPathSeparator) folder += kPathSeparator;
    folder += kMakerFolder;
    CreateFolder(folder);
    folder += kPathSeparator;
    folder += kProductFolder;
    CreateFolder(folder);
    folder += kPathSeparator;
    return folder;
}

int WriteHelpFiles(const std::string& folder) {
    int written = 0;
    for (int i = 0; i < kHelpResourceCount; ++i) {
        const ResourceBytes bytes = FindModuleResource("BIN", kFirstHelpResource + i);
        if (bytes.data &&
            WriteWholeFile(folder + kHelpFileNames[i], bytes.data, bytes.size) == WriteFileResult::Ok)
            ++written;
        else
            ShowError("AppData Error!");
    }
    return written;
}

void ShowHelp(IGraphics* editor) {
    const std::string folder = PrepareHelpFolder();
    // Without a folder there is nothing to write or open.
    if (folder.empty()) return;
    WriteHelpFiles(folder);
    const std::string page = folder + kHelpFileNames[0];
    if ((editor ? editor->OpenDocument(page) : UserDialogs().OpenWithShell(page)) == kShellFileNotFound)
        ShowInfo("Help file not found");
}
