#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A thread of one engine that runs the designs asked for where no design may run (the audio thread).
// The thread is started when the worker is made and joined when it is destroyed, so no design
// outlives its owner. Each engine has its own, so that instances design side by side.
//
// Two ways to ask. Wake, from threads that may make system calls (the host's, the editor's), runs
// the work at once. Post, from the audio thread, only sets a flag - no lock, no allocation, no system
// call - and a look-out finds it: one thread for the whole module, which looks every kPollInterval at
// the workers that poll (their owners turn polling on while processing is active) and wakes those
// with a post. Thirty playing instances thus cost a hundred looks a second, not three thousand; a
// worker that does not poll finds its post at the next Wake. The look-out runs only while some
// worker polls: the last one to stop joins it, so that a module unloaded after its instances leaves
// no thread behind.
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
    // Not on the audio thread (it may start or join the look-out).
    void SetPolling(bool on);

    // Threads the look-out has running now: 0 or 1 (for tests).
    static int LookoutThreads();

  private:
    friend class PostLookout;
    void Run();
    // The look-out's call: a post becomes a wake.
    void WakeIfPosted();

    std::function<void()> work;
    std::atomic<bool> posted{false};
    std::mutex mutex;
    std::condition_variable wakeUp;
    bool woken = false;    // under mutex
    bool stopping = false; // under mutex
    std::thread thread;
};
