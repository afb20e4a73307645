#include "plugin/documents_folder.h"

#include "platform/file_system.h"
#include "platform/message_service.h"

std::string PrepareDocumentsFolder() {
    const std::string documents = DocumentsFolderPath();
    std::string folder;
    if (!documents.empty()) {
        folder = documents;
        if (folder.back() != kPathSeparator) folder += kPathSeparator;
        folder += kDocumentsSubfolder;
        folder += kPathSeparator;
    }
    if (folder.empty() || folder.size() > kDocumentsFolderMax) {
        ShowError("SHGetKnownFolderPath Error1.");
        return {};
    }
    CreateFolder(folder.substr(0, folder.size() - 1));
    return folder;
}
