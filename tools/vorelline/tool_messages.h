#pragma once

#include "platform/message_service.h"

#include <string>

// The plug-in's messages as the tool prints them: one line on stderr, "vorelline: FILE: TEXT", where
// FILE is the file the command is working on (see MessageFileScope) and TEXT the plug-in's own text,
// unchanged. Without a file the line is "vorelline: TEXT".
class ToolMessageService final : public IMessageService {
  public:
    void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override;
};

// While it lives, the plug-in's messages name `path` (scopes nest; the inner one wins).
class MessageFileScope {
  public:
    explicit MessageFileScope(std::string path);
    ~MessageFileScope();
    MessageFileScope(const MessageFileScope&) = delete;
    MessageFileScope& operator=(const MessageFileScope&) = delete;

  private:
    std::string previous;
};

// The line the tool prints for a message about `file` (empty: about no file in particular).
std::string ToolMessageLine(const std::string& file, const std::string& text);
