#include "platform/user_dialogs.h"

#include <atomic>

namespace {
std::atomic<IUserDialogs*> installed{nullptr};
}

IUserDialogs& UserDialogs() {
    IUserDialogs* d = installed.load(std::memory_order_acquire);
    return d ? *d : PlatformUserDialogs();
}

IUserDialogs* InstallUserDialogs(IUserDialogs* dialogs) {
    IUserDialogs* previous = installed.exchange(dialogs, std::memory_order_acq_rel);
    return previous ? previous : &PlatformUserDialogs();
}
