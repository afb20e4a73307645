#include "engine/design_worker.h"

#include <algorithm>
#include <utility>
#include <vector>

// The module's one look-out over the polling workers. Lock order: the look-out's mutex, then a
// worker's (WakeIfPosted); nothing takes them the other way round.
class PostLookout {
  public:
    // Never destroyed: a static destructor would run at module unload, after the last worker has
    // stopped polling anyway, and could not join a thread there on every system.
    static PostLookout& Get() {
        static PostLookout* const one = new PostLookout;
        return *one;
    }

    void Watch(DesignWorker* w) {
        std::lock_guard<std::mutex> guard(mutex);
        if (std::find(watched.begin(), watched.end(), w) != watched.end()) return;
        watched.push_back(w);
        if (!thread.joinable()) thread = std::thread([this, g = generation] { Run(g); });
    }

    // Once this returns, the look-out is not in a call on w and makes none.
    void Unwatch(DesignWorker* w) {
        std::thread ending;
        {
            std::lock_guard<std::mutex> guard(mutex);
            watched.erase(std::remove(watched.begin(), watched.end(), w), watched.end());
            if (watched.empty() && thread.joinable()) {
                // The running look-out ends even if another worker starts polling before the join:
                // that one gets a thread of the new generation.
                ++generation;
                ending = std::move(thread);
            }
        }
        changed.notify_all();
        if (ending.joinable()) ending.join();
    }

    int Threads() {
        std::lock_guard<std::mutex> guard(mutex);
        return thread.joinable() ? 1 : 0;
    }

  private:
    void Run(unsigned g) {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait_for(lock, DesignWorker::kPollInterval, [&] { return generation != g; });
            if (generation != g) return;
            for (DesignWorker* w : watched)
                w->WakeIfPosted();
        }
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<DesignWorker*> watched; // under mutex
    std::thread thread;                 // under mutex
    unsigned generation = 0;            // under mutex
};

DesignWorker::DesignWorker(std::function<void()> w) : work(std::move(w)) {
    thread = std::thread([this] { Run(); });
}

DesignWorker::~DesignWorker() {
    PostLookout::Get().Unwatch(this);
    {
        std::lock_guard<std::mutex> guard(mutex);
        stopping = true;
    }
    wakeUp.notify_one();
    thread.join();
}

int DesignWorker::LookoutThreads() {
    return PostLookout::Get().Threads();
}

void DesignWorker::Wake() {
    {
        std::lock_guard<std::mutex> guard(mutex);
        woken = true;
    }
    wakeUp.notify_one();
}

void DesignWorker::WakeIfPosted() {
    if (posted.load(std::memory_order_acquire)) Wake();
}

void DesignWorker::SetPolling(bool on) {
    if (on)
        PostLookout::Get().Watch(this);
    else
        PostLookout::Get().Unwatch(this);
}

void DesignWorker::Run() {
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        // A wake that came before the wait is not lost: the flag is still set.
        wakeUp.wait(lock, [&] { return woken || stopping; });
        if (stopping) return;
        woken = false;
        // The post is taken before the work, so that one arriving during the work is found again.
        posted.store(false, std::memory_order_release);
        lock.unlock();
        work();
        lock.lock();
    }
}
