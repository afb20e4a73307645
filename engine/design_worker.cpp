#include "engine/design_worker.h"

#include <utility>

DesignWorker::DesignWorker(std::function<void()> w) : work(std::move(w)) {
    thread = std::thread([this] { Run(); });
}

DesignWorker::~DesignWorker() {
    {
        std::lock_guard<std::mutex> guard(mutex);
        stopping = true;
    }
    wakeUp.notify_one();
    thread.join();
}

void DesignWorker::Wake() {
    {
        std::lock_guard<std::mutex> guard(mutex);
        woken = true;
    }
    wakeUp.notify_one();
}

void DesignWorker::SetPolling(bool on) {
    {
        std::lock_guard<std::mutex> guard(mutex);
        polling = on;
    }
    wakeUp.notify_one();
}

void DesignWorker::Run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        // A wake or a post that came before the wait is not lost: the flags are still set. A change
        // of polling ends the wait too, so that the next one is of the right kind.
        const bool pollingNow = polling;
        auto asked = [&] {
            return woken || stopping || polling != pollingNow || posted.load(std::memory_order_acquire);
        };
        if (pollingNow)
            wakeUp.wait_for(lock, kPollInterval, asked);
        else
            wakeUp.wait(lock, asked);
        if (stopping) return;
        const bool wasPosted = posted.exchange(false, std::memory_order_acq_rel);
        const bool due = woken || wasPosted;
        woken = false;
        if (!due) continue; // a look that found nothing
        lock.unlock();
        work();
        lock.lock();
    }
}
