#include "platform/message_service.h"

#include <atomic>

namespace {
std::atomic<IMessageService*> installed{nullptr};
}

IMessageService& Messages() {
    IMessageService* s = installed.load(std::memory_order_acquire);
    return s ? *s : PlatformMessageService();
}

IMessageService* InstallMessageService(IMessageService* service) {
    IMessageService* previous = installed.exchange(service, std::memory_order_acq_rel);
    return previous ? previous : &PlatformMessageService();
}
