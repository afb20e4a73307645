#include "platform/plugin_lock.h"

#include <mutex>
#include <new>

static_assert(sizeof(std::recursive_mutex) <= 64, "mutex must fit the inline storage");

static std::recursive_mutex* Mutex(unsigned char* storage) {
    return std::launder(reinterpret_cast<std::recursive_mutex*>(storage));
}

PluginLock::PluginLock() {
    new (storage) std::recursive_mutex;
}
PluginLock::~PluginLock() {
    Mutex(storage)->~recursive_mutex();
}
void PluginLock::Enter() {
    Mutex(storage)->lock();
}
void PluginLock::Leave() {
    Mutex(storage)->unlock();
}
bool PluginLock::TryEnter() {
    return Mutex(storage)->try_lock();
}
