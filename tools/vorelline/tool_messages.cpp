#include "tools/vorelline/tool_messages.h"

#include "tools/vorelline/progress_reporter.h"

#include <cstdio>
#include <utility>

namespace {
std::string currentFile;
} // namespace

std::string ToolMessageLine(const std::string& file, const std::string& text) {
    return "vorelline: " + (file.empty() ? std::string() : file + ": ") + text;
}

void ToolMessageService::ShowMessage(const std::string&, const std::string& text, MessageIcon) {
    ClearProgressLine();
    std::fprintf(stderr, "%s\n", ToolMessageLine(currentFile, text).c_str());
}

MessageFileScope::MessageFileScope(std::string path)
    : previous(std::exchange(currentFile, std::move(path))) {}

MessageFileScope::~MessageFileScope() {
    currentFile = std::move(previous);
}
