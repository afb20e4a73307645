#pragma once

#include <string>

// The usual folders of a Linux editor, each ending with '/': the running program's and this
// module's folder, the desktop, and the shared or per-user data folder. (Its dialogs and the
// opening of addresses are the platform's: platform/system_dialogs.h.)
std::string ExecutableFolder();
std::string ThisModuleFolder();
std::string DesktopFolder();
std::string DataFolder(bool common);
