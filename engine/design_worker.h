#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

// A thread of one engine that runs the designs asked for where no design may run (the audio thread).
// Waking it takes no lock and allocates nothing, so the audio thread may do it; the thread is
// started when the worker is made and joined when it is destroyed, so no design outlives its owner.
class DesignWorker {
  public:
    // work: runs every design that is waiting, on the worker's thread.
    explicit DesignWorker(std::function<void()> work);
    ~DesignWorker();
    DesignWorker(const DesignWorker&) = delete;
    DesignWorker& operator=(const DesignWorker&) = delete;

    void Wake();

  private:
    void Run();

    std::function<void()> work;
    std::atomic<std::uint32_t> wakes{0};
    std::atomic<bool> stopping{false};
    std::thread thread;
};
