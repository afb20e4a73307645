#include "platform/plugin_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(PluginLock, OwnerMayEnterAgainWhileOtherThreadsWait) {
    PluginLock lock;
    lock.Enter();
    lock.Enter(); // re-entrant on the owning thread

    std::atomic<bool> otherGotIt{false};
    std::thread other([&] {
        EXPECT_FALSE(lock.TryEnter());
        lock.Enter();
        otherGotIt = true;
        lock.Leave();
    });
    // One Leave is not enough: the lock is still held once.
    lock.Leave();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(otherGotIt.load());
    lock.Leave();
    other.join();
    EXPECT_TRUE(otherGotIt.load());
}

TEST(PluginLock, SerialisesIncrementsAcrossThreads) {
    PluginLock lock;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            PluginLockGuard outer(lock);
            PluginLockGuard inner(lock);
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 40000);
}

#ifndef _WIN32
#include <chrono>
#include <ctime>
#include <pthread.h>
#include <sched.h>

namespace {

// Priority inversion on one processor: a normal thread holds the lock, a real-time thread waits for
// it, and a busy real-time thread of middle priority would keep the holder from running. The
// waiter stands for the host's audio thread, the holder for the GUI thread copying a restored state.
struct InversionScene {
    PluginLock lock;
    cpu_set_t oneCpu{};
    std::atomic<bool> held{false}, released{false}, waiterDone{false};
    double waitedMs = -1.0;
    bool releasedBeforeWait = false;
    bool refused = false; // the system would not make real-time threads

    static double CpuMs() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    }

    void PinHere() { pthread_setaffinity_np(pthread_self(), sizeof oneCpu, &oneCpu); }

    static bool StartRealtime(pthread_t* thread, int priority, void* (*body)(void*), void* arg) {
        pthread_attr_t attr;
        pthread_attr_init(&attr);
        pthread_attr_setinheritsched(&attr, PTHREAD_EXPLICIT_SCHED);
        pthread_attr_setschedpolicy(&attr, SCHED_FIFO);
        sched_param p{};
        p.sched_priority = priority;
        pthread_attr_setschedparam(&attr, &p);
        const bool ok = pthread_create(thread, &attr, body, arg) == 0;
        pthread_attr_destroy(&attr);
        return ok;
    }

    // Middle priority: spins until the waiter got the lock, at most two seconds.
    static void* Spinner(void* arg) {
        auto* s = static_cast<InversionScene*>(arg);
        s->PinHere();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!s->waiterDone.load() && std::chrono::steady_clock::now() < end) {
        }
        return nullptr;
    }

    // High priority: starts the spinner (which runs only once this thread blocks), then waits.
    static void* Waiter(void* arg) {
        auto* s = static_cast<InversionScene*>(arg);
        s->PinHere();
        pthread_t spinner;
        if (!StartRealtime(&spinner, 10, Spinner, s)) {
            s->refused = true;
            return nullptr;
        }
        s->releasedBeforeWait = s->released.load();
        const auto t0 = std::chrono::steady_clock::now();
        s->lock.Enter();
        s->waitedMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        s->lock.Leave();
        s->waiterDone = true;
        pthread_join(spinner, nullptr);
        return nullptr;
    }
};

} // namespace

TEST(PluginLock, LendsAWaitingRealtimeThreadsPriorityToTheHolder) {
    InversionScene s;
    CPU_ZERO(&s.oneCpu);
    CPU_SET(sched_getcpu() < 0 ? 0 : sched_getcpu(), &s.oneCpu);
    // The holder needs 50 ms of processor time with the lock held.
    std::thread holder([&] {
        s.PinHere();
        s.lock.Enter();
        s.held = true;
        const double start = InversionScene::CpuMs();
        while (InversionScene::CpuMs() - start < 50.0) {
        }
        s.released = true;
        s.lock.Leave();
    });
    while (!s.held.load())
        std::this_thread::yield();
    pthread_t waiter;
    const bool started = InversionScene::StartRealtime(&waiter, 20, InversionScene::Waiter, &s);
    if (started) pthread_join(waiter, nullptr);
    holder.join();
    if (!started || s.refused) GTEST_SKIP() << "this system does not give us real-time threads";
    if (s.releasedBeforeWait) GTEST_SKIP() << "the holder finished before the waiter asked";
    // Lent the waiter's priority, the holder finishes its 50 ms at once; without the lending it
    // runs only when the spinner stops or the system's real-time throttling lets it (about a second).
    EXPECT_LT(s.waitedMs, 300.0);
}
#endif
