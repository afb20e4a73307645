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
