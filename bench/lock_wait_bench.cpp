// How long the audio thread waits for the plug-in lock while another thread writes designs as fast
// as it can: first designs from the editor (the fit runs unlocked, only the short write phase
// holds the lock), then host state restores (which hold the lock for the whole design).
// Prints the longest wait, the 99.9th percentile and the mean per block.
#include "bench_effect.h"
#include "engine/cascade_filter.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBlock = 512;

template <typename Writer> void Measure(const char* what, double seconds, Writer write) {
    BenchEffect fx;
    PlayWigglyCorrection(fx, false);
    std::atomic<bool> stop{false};
    long designs = 0;
    std::thread writer([&] {
        while (!stop.load()) {
            write(fx, designs);
            ++designs;
        }
    });
    std::vector<double> in0(kBlock), in1(kBlock), out0(kBlock), out1(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        in0[i] = std::sin(0.01 * i);
        in1[i] = 0.5 * std::sin(0.07 * i);
    }
    double* in[2] = {in0.data(), in1.data()};
    double* out[2] = {out0.data(), out1.data()};
    std::vector<double> waits;
    const auto end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (Clock::now() < end) {
        const Clock::time_point t0 = Clock::now();
        fx.EnterLock();
        const Clock::time_point t1 = Clock::now();
        fx.engine.ProcessBlock(in, out, kBlock);
        fx.LeaveLock();
        waits.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
        // About a tenth of a block's real time between blocks, as a host's audio thread leaves room.
        std::this_thread::sleep_for(std::chrono::microseconds(1000));
    }
    stop = true;
    writer.join();
    std::sort(waits.begin(), waits.end());
    double sum = 0;
    for (double w : waits)
        sum += w;
    std::printf(
        "%s: %zu blocks, %ld designs written; lock wait longest %.1f us, 99.9%% %.1f us, mean %.2f us; "
        "cascade ran %s\n",
        what, waits.size(), designs, waits.back(), waits[waits.size() * 999 / 1000],
        sum / static_cast<double>(waits.size()), VectorPathName(LastCascadePath()));
}

} // namespace

int main() {
    Measure("designs from the editor", 5.0, [](BenchEffect& fx, long n) { fx.engine.SetResolution(n % 2); });
    IByteChunk state;
    {
        BenchEffect source;
        source.engine.SetResolution(1.0);
        source.SerializeState(state);
    }
    Measure("host state restores", 5.0, [&](BenchEffect& fx, long) {
        fx.EnterLock(); // as setState holds it
        fx.UnserializeState(state, 0);
        fx.LeaveLock();
    });
    return 0;
}
