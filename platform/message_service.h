#pragma once

#include <string>

// Messages to the user: modal message boxes on Windows, a line on stderr elsewhere.
// Tests replace the service with a recorder to see every caption, text and icon.
enum class MessageIcon { Information, Error, Warning, Question };

class IMessageService {
  public:
    virtual ~IMessageService() = default;
    virtual void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) = 0;
};

// The service in use. Never null: the platform's own service is installed until a caller replaces it.
IMessageService& Messages();

// Installs a replacement (null restores the platform service); returns the one it replaces.
IMessageService* InstallMessageService(IMessageService* service);

// The platform's own service.
IMessageService& PlatformMessageService();

// Convenience for the fixed message texts: Info + information icon, Error + error icon.
inline void ShowInfo(const std::string& text) {
    Messages().ShowMessage("Info", text, MessageIcon::Information);
}
inline void ShowError(const std::string& text) {
    Messages().ShowMessage("Error", text, MessageIcon::Error);
}
