#pragma once

#include <string>

// Messages to the user: modal message boxes on Windows; elsewhere a line on stderr, and a panel in
// the editor whose work raised the message (see MessageRoute).
// Tests replace the service with a recorder to see every caption, text and icon.
enum class MessageIcon { Information, Error, Warning, Question };

class IMessageService {
  public:
    virtual ~IMessageService() = default;
    virtual void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) = 0;
};

// Where a message raised on this thread is shown besides the platform's own way: an editor sets
// itself while it works for the host (input, drawing, a dialog's answer), so that the message
// appears in that editor. Scopes nest; the innermost wins. Used by the platform service where
// messages have no box of their own (not on Windows).
class IMessageSink {
  public:
    virtual ~IMessageSink() = default;
    virtual void TakeMessage(const std::string& caption, const std::string& text, MessageIcon icon) = 0;
};

class MessageRoute {
  public:
    explicit MessageRoute(IMessageSink* sink);
    ~MessageRoute();
    MessageRoute(const MessageRoute&) = delete;
    MessageRoute& operator=(const MessageRoute&) = delete;
    // The sink of the innermost scope on this thread, or null.
    static IMessageSink* Current();

  private:
    IMessageSink* previous;
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
