#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A thread of one engine that runs the designs asked for where no design may run (the audio thread).
// The thread is started when the worker is made and joined when it is destroyed, so no design
// outlives its owner.
//
// Two ways to ask. Wake, from threads that may make system calls (the host's, the editor's), runs
// the work at once. Post, from the audio thread, only sets a flag - no lock, no allocation, no system
// call - and the worker finds it at its next look: every kPollInterval while polling is on (the
// owner turns it on while processing is active), otherwise at the next Wake.
class DesignWorker {
  public:
    static constexpr std::chrono::milliseconds kPollInterval{10};

    // work: runs every design that is waiting, on the worker's thread.
    explicit DesignWorker(std::function<void()> work);
    ~DesignWorker();
    DesignWorker(const DesignWorker&) = delete;
    DesignWorker& operator=(const DesignWorker&) = delete;

    void Wake();
    void Post() { posted.store(true, std::memory_order_release); }
    // Not on the audio thread (it wakes the worker to start or stop looking).
    void SetPolling(bool on);

  private:
    void Run();

    std::function<void()> work;
    std::atomic<bool> posted{false};
    std::mutex mutex;
    std::condition_variable wakeUp;
    bool woken = false;    // under mutex
    bool polling = false;  // under mutex
    bool stopping = false; // under mutex
    std::thread thread;
};
