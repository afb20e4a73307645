// vorelline: measure, design, apply and inspect microphone corrections with the plug-in's own engine.
#include "platform/message_service.h"
#include "tools/vorelline/commands.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
// The plug-in's messages become plain lines on stderr.
class ToolMessages final : public IMessageService {
  public:
    void ShowMessage(const std::string&, const std::string& text, MessageIcon) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
};
} // namespace

int main(int argc, char** argv) {
    ToolMessages messages;
    InstallMessageService(&messages);
    const std::vector<std::string> args(argv, argv + argc);
    if (args.size() < 2) return UsageError("", "no command given");
    const std::string& command = args[1];
    int status;
    if (command == "analyze")
        status = RunAnalyze(args);
    else if (command == "design")
        status = RunDesign(args);
    else if (command == "calibration")
        status = RunCalibration(args);
    else if (command == "info")
        status = RunInfo(args);
    else if (command == "apply")
        status = RunApply(args);
    else if (command == "demo")
        status = RunDemo(args);
    else if (command == "help" || command == "--help" || command == "-h") {
        UsageError("", "");
        status = 0;
    } else
        status = UsageError("", "unknown command " + command);
    InstallMessageService(nullptr);
    return status;
}
