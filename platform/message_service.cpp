#include "platform/message_service.h"

#include <atomic>

namespace {
std::atomic<IMessageService*> installed{nullptr};
thread_local IMessageSink* routeSink = nullptr;
} // namespace

MessageRoute::MessageRoute(IMessageSink* sink) : previous(routeSink) {
    routeSink = sink;
}

MessageRoute::~MessageRoute() {
    routeSink = previous;
}

IMessageSink* MessageRoute::Current() {
    return routeSink;
}

IMessageService& Messages() {
    IMessageService* s = installed.load(std::memory_order_acquire);
    return s ? *s : PlatformMessageService();
}

IMessageService* InstallMessageService(IMessageService* service) {
    IMessageService* previous = installed.exchange(service, std::memory_order_acq_rel);
    return previous ? previous : &PlatformMessageService();
}
