#include "platform/message_service.h"

#include "platform/system_dialogs.h"

#include <windows.h>

namespace {
class Win32MessageService final : public IMessageService {
  public:
    void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
        UINT flags = MB_OK;
        switch (icon) {
        case MessageIcon::Information:
            flags |= MB_ICONINFORMATION;
            break;
        case MessageIcon::Error:
            flags |= MB_ICONERROR;
            break;
        case MessageIcon::Warning:
            flags |= MB_ICONWARNING;
            break;
        case MessageIcon::Question:
            flags |= MB_ICONQUESTION;
            break;
        }
        // Modal, without an owner window.
        ShowSystemMessageBox(text, caption, int(flags), nullptr);
    }
};
} // namespace

IMessageService& PlatformMessageService() {
    static Win32MessageService service;
    return service;
}
