#include "platform/plugin_lock.h"

#include <new>
#include <windows.h>

static_assert(sizeof(CRITICAL_SECTION) <= 64, "critical section must fit the inline storage");

static CRITICAL_SECTION* Section(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

PluginLock::PluginLock() {
    InitializeCriticalSection(new (storage) CRITICAL_SECTION);
}
PluginLock::~PluginLock() {
    DeleteCriticalSection(Section(storage));
}
void PluginLock::Enter() {
    EnterCriticalSection(Section(storage));
}
void PluginLock::Leave() {
    LeaveCriticalSection(Section(storage));
}
bool PluginLock::TryEnter() {
    return TryEnterCriticalSection(Section(storage)) != 0;
}
