#include "platform/posix/desktop_opener.h"

#include "platform/message_service.h"
#include "platform/posix/child_process.h"
#include "platform/user_dialogs.h"

std::vector<std::string> OpenerCommand(const std::string& target) {
    if (target.empty() || FindOnPath("xdg-open").empty()) return {};
    return {"xdg-open", target};
}

int OpenerResult(const std::string& page, int exitCode) {
    if (exitCode == 0 || exitCode == kStillRunning) return kShellOpened;
    // Nothing here opens web pages: the user is told where they are.
    const std::string folder = page.substr(0, page.find_last_of('/') + 1);
    ShowInfo("No program to open the help pages was found. They were written to " + folder + " - open " +
             page.substr(folder.size()) + " there with a web browser.");
    return 0;
}
