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

FileDialogRequest FileRequestForExtensions(FileDialogRequest::Kind kind, const char* extensions) {
    // The Windows dialog's own limits for the two texts.
    constexpr size_t kMaxFilter = 255, kMaxDefaultExtension = 15;
    FileDialogRequest request;
    request.kind = kind;
    const char* p = extensions ? extensions : "";
    while (*p) {
        while (*p == ' ')
            ++p;
        const char* start = p;
        while (*p && *p != ' ')
            ++p;
        if (p == start) break;
        const std::string extension(start, p);
        if (request.defaultExtension.empty()) request.defaultExtension = extension.substr(0, kMaxDefaultExtension);
        const std::string item = (request.filterPattern.empty() ? "*." : ";*.") + extension;
        if (request.filterPattern.size() + item.size() > kMaxFilter) break;
        request.filterPattern += item;
    }
    return request;
}
