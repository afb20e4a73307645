#include "platform/plugin_lock.h"

#include <new>
#include <pthread.h>

static_assert(sizeof(pthread_mutex_t) <= 64, "mutex must fit the inline storage");

static pthread_mutex_t* Mutex(unsigned char* storage) {
    return std::launder(reinterpret_cast<pthread_mutex_t*>(storage));
}

// Priority inheritance: the audio thread (real-time in hosts) waits for this lock only while another
// thread copies a design or a record. If that thread (the host's GUI thread, the design worker) were
// preempted while holding it, the audio thread would wait for the whole preemption - milliseconds.
// An inheriting lock lends the waiter's priority to the holder, so the copy finishes at once.
PluginLock::PluginLock() {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    // Where the system cannot inherit priorities the lock still works, without the lending.
    if (pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT) != 0)
        pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_NONE);
    if (pthread_mutex_init(new (storage) pthread_mutex_t, &attributes) != 0) {
        pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_NONE);
        pthread_mutex_init(Mutex(storage), &attributes);
    }
    pthread_mutexattr_destroy(&attributes);
}
PluginLock::~PluginLock() {
    pthread_mutex_destroy(Mutex(storage));
}
void PluginLock::Enter() {
    pthread_mutex_lock(Mutex(storage));
}
void PluginLock::Leave() {
    pthread_mutex_unlock(Mutex(storage));
}
bool PluginLock::TryEnter() {
    return pthread_mutex_trylock(Mutex(storage)) == 0;
}
