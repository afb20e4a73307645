#include "platform/message_service.h"

#include <cstdio>

namespace {
class StderrMessageService final : public IMessageService {
  public:
    void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        if (IMessageSink* sink = MessageRoute::Current()) sink->TakeMessage(caption, text, icon);
    }
};
} // namespace

IMessageService& PlatformMessageService() {
    static StderrMessageService service;
    return service;
}
