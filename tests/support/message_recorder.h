#pragma once

#include "platform/message_service.h"

#include <string>
#include <vector>

// Records every message instead of showing it; installed for the lifetime of the object.
class MessageRecorder final : public IMessageService {
  public:
    struct Entry {
        std::string caption;
        std::string text;
        MessageIcon icon;
    };

    MessageRecorder() : previous(InstallMessageService(this)) {}
    ~MessageRecorder() override { InstallMessageService(previous); }

    void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
        entries.push_back({caption, text, icon});
    }

    std::vector<Entry> entries;

  private:
    IMessageService* previous;
};
