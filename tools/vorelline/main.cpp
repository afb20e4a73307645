// vorelline: measure, design, apply and inspect microphone corrections with the plug-in's own engine.
#include "platform/message_service.h"
#include "tools/vorelline/commands.h"
#include "tools/vorelline/help_text.h"
#include "tools/vorelline/progress_reporter.h"
#include "tools/vorelline/terminal.h"
#include "tools/vorelline/tool_messages.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Removes every occurrence of the flags; true when there was one.
bool TakeFlag(std::vector<std::string>& args, std::initializer_list<const char*> names) {
    const auto isFlag = [&](const std::string& a) {
        return std::any_of(names.begin(), names.end(), [&](const char* n) { return a == n; });
    };
    const auto end = std::remove_if(args.begin() + 1, args.end(), isFlag);
    const bool found = end != args.end();
    args.erase(end, args.end());
    return found;
}

int Dispatch(const std::vector<std::string>& args) {
    if (args.size() < 2) return UsageError("", "no command given");
    const std::string& command = args[1];
    if (command == "--version" || command == "-V") {
        PrintVersion(stdout);
        return 0;
    }
    if (command == "help" || command == "--help" || command == "-h") {
        if (args.size() < 3) {
            PrintToolHelp(stdout);
            return 0;
        }
        const CommandHelp* help = FindCommandHelp(args[2]);
        if (!help) return UsageError("", "unknown command " + args[2]);
        PrintCommandHelp(*help, stdout);
        return 0;
    }
    const CommandHelp* help = FindCommandHelp(command);
    if (!help) return UsageError("", "unknown command " + command);
    // "--help" anywhere after the command asks for its help instead of running it.
    if (std::any_of(args.begin() + 2, args.end(),
                    [](const std::string& a) { return a == "--help" || a == "-h"; })) {
        PrintCommandHelp(*help, stdout);
        return 0;
    }
    if (command == "analyze") return RunAnalyze(args);
    if (command == "design") return RunDesign(args);
    if (command == "calibration") return RunCalibration(args);
    if (command == "info") return RunInfo(args);
    if (command == "apply") return RunApply(args);
    if (command == "export") return RunExport(args);
    if (command == "combine") return RunCombine(args);
    return RunDemo(args);
}

} // namespace

int main(int argc, char** argv) {
    // A file size limit (a quota) fails the write that passes it, which is then reported and cleaned
    // up, instead of ending the tool with a half-written temporary file.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv, argv + argc);
    if (args.empty()) args.emplace_back("vorelline");
    // --quiet belongs to every command, before or after its name.
    const bool quiet = TakeFlag(args, {"--quiet", "-q"});
    EnableProgress(!quiet && IsTerminal(stderr));
    ToolMessageService messages;
    InstallMessageService(&messages);
    const int status = Dispatch(args);
    InstallMessageService(nullptr);
    return status;
}
