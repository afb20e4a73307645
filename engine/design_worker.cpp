#include "engine/design_worker.h"

#include <utility>

DesignWorker::DesignWorker(std::function<void()> w) : work(std::move(w)) {
    thread = std::thread([this] { Run(); });
}

DesignWorker::~DesignWorker() {
    stopping.store(true, std::memory_order_release);
    Wake();
    thread.join();
}

void DesignWorker::Wake() {
    wakes.fetch_add(1, std::memory_order_release);
    wakes.notify_one();
}

void DesignWorker::Run() {
    std::uint32_t seen = 0;
    for (;;) {
        // A wake that came before the wait is not lost: the count already differs from `seen`.
        wakes.wait(seen, std::memory_order_acquire);
        seen = wakes.load(std::memory_order_acquire);
        if (stopping.load(std::memory_order_acquire)) return;
        work();
    }
}
