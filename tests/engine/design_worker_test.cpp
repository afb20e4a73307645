#include "engine/design_worker.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Waits up to `limit` for the worker to have run `count` times.
bool RanWithin(const std::atomic<int>& runs, int count, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (runs.load() < count && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(1ms);
    return runs.load() >= count;
}

} // namespace

// The audio thread only posts; the worker finds the post at its next look while polling, and only
// then - an idle instance's worker sleeps until it is woken or polling starts.
TEST(DesignWorker, PostedWorkRunsOnlyWhilePollingOrWhenWoken) {
    std::atomic<int> runs{0};
    DesignWorker worker([&] { ++runs; });
    std::this_thread::sleep_for(2 * DesignWorker::kPollInterval); // asleep by now

    worker.Post();
    EXPECT_FALSE(RanWithin(runs, 1, 10 * DesignWorker::kPollInterval)) << "not polling: a post waits";
    worker.SetPolling(true);
    EXPECT_TRUE(RanWithin(runs, 1, 2s)) << "polling started: the waiting post is found";

    worker.Post();
    EXPECT_TRUE(RanWithin(runs, 2, 2s));
    std::this_thread::sleep_for(5 * DesignWorker::kPollInterval);
    EXPECT_EQ(runs.load(), 2) << "looks that find nothing run no work";

    worker.SetPolling(false);
    worker.Wake();
    EXPECT_TRUE(RanWithin(runs, 3, 2s)) << "a wake runs the work whether polling or not";
}

TEST(DesignWorker, StopsPromptlyWhilePollingOrAsleep) {
    for (bool polling : {false, true}) {
        std::atomic<int> runs{0};
        const auto t0 = std::chrono::steady_clock::now();
        {
            DesignWorker worker([&] { ++runs; });
            worker.SetPolling(polling);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - t0, 1s) << polling;
        EXPECT_EQ(runs.load(), 0) << polling;
    }
}

// One look-out serves every polling worker, and it is gone once no worker polls: a module unloaded
// after its instances leaves no thread behind. A later instance gets a new one.
TEST(DesignWorker, OneLookoutServesEveryPollingWorkerAndEndsWithTheLast) {
    constexpr int kWorkers = 8;
    std::array<std::atomic<int>, kWorkers> runs{};
    std::vector<std::unique_ptr<DesignWorker>> workers;
    for (int i = 0; i < kWorkers; ++i)
        workers.push_back(std::make_unique<DesignWorker>([&runs, i] { ++runs[i]; }));
    EXPECT_EQ(DesignWorker::LookoutThreads(), 0);
    for (auto& w : workers)
        w->SetPolling(true);
    EXPECT_EQ(DesignWorker::LookoutThreads(), 1);
    for (auto& w : workers)
        w->Post();
    for (int i = 0; i < kWorkers; ++i)
        EXPECT_TRUE(RanWithin(runs[i], 1, 2s)) << i;

    workers[0]->SetPolling(false);
    EXPECT_EQ(DesignWorker::LookoutThreads(), 1) << "the others still poll";
    workers.clear(); // released while polling
    EXPECT_EQ(DesignWorker::LookoutThreads(), 0);

    std::atomic<int> later{0};
    DesignWorker again([&] { ++later; });
    again.SetPolling(true);
    again.Post();
    EXPECT_TRUE(RanWithin(later, 1, 2s));
    again.SetPolling(false);
    EXPECT_EQ(DesignWorker::LookoutThreads(), 0);
}

// Instances start and stop processing on their own threads: the look-out that ends for one must not
// outlive it or strand another that started meanwhile.
TEST(DesignWorker, PollingTurnedOnAndOffFromManyThreadsLeavesNoLookout) {
    constexpr int kThreads = 4;
    std::vector<std::thread> hosts;
    std::atomic<int> stranded{0};
    for (int t = 0; t < kThreads; ++t)
        hosts.emplace_back([&] {
            std::atomic<int> runs{0};
            DesignWorker worker([&] { ++runs; });
            const auto end = std::chrono::steady_clock::now() + 300ms;
            for (int n = 0; std::chrono::steady_clock::now() < end; ++n) {
                const int before = runs.load();
                worker.SetPolling(true);
                worker.Post();
                if (n % 16 == 0 && !RanWithin(runs, before + 1, 2s)) ++stranded;
                worker.SetPolling(false);
            }
        });
    for (auto& h : hosts)
        h.join();
    EXPECT_EQ(stranded.load(), 0) << "a polling worker's post was never found";
    EXPECT_EQ(DesignWorker::LookoutThreads(), 0);
}
