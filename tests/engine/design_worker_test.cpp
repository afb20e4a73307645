#include "engine/design_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

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
