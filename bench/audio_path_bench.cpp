// The audio path at high resolution (120 sections): time per 512-frame block at 48 kHz as a
// real-time factor, with every heap allocation during the timed blocks counted.
#include "engine/correction_engine.h"
#include "framework/effect_base.h"
#include "ratio_reporter.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

constexpr int kBlock = 512;
constexpr double kRate = 48000.0;

class BenchEffect : public IEffectBase {
  public:
    BenchEffect() : IEffectBase(Facts()), engine(*this, nullptr) { sampleRate = kRate; }
    CorrectionEngine engine;

  private:
    static EffectFacts Facts() {
        EffectFacts f;
        f.paramCount = 15;
        f.channelIO = "1-1 2-2";
        f.presetCount = 1;
        return f;
    }
};

long blockAllocations = 0;
long blocksRun = 0;

void AudioPathHighResolution(benchmark::State& state) {
    BenchEffect fx;
    CorrectionEngine& e = fx.engine;
    e.Reset();
    for (int i = 0; i < kBandCount; ++i) {
        const double f = TheBandGrid().bandFrequencies[i];
        e.targetBands[i] = std::pow(10.0, (6.0 * std::sin(std::log(f))) / 20.0);
    }
    e.SetResolution(1.0);
    e.SetOutputSelection(1.0);
    std::vector<double> in0(kBlock), in1(kBlock), out0(kBlock), out1(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        in0[i] = std::sin(0.01 * i);
        in1[i] = 0.5 * std::sin(0.07 * i);
    }
    double* in[2] = {in0.data(), in1.data()};
    double* out[2] = {out0.data(), out1.data()};
    const long before = allocations.load();
    long blocks = 0;
    for (auto _ : state) {
        fx.EnterLock(); // as the host adapter calls it
        e.ProcessBlock(in, out, kBlock);
        fx.LeaveLock();
        benchmark::DoNotOptimize(out0.data());
        ++blocks;
    }
    blockAllocations += allocations.load() - before;
    blocksRun += blocks;
}
BENCHMARK(AudioPathHighResolution)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    if (!RunWithReporter(argc, argv, reporter)) return 1;
    const double perBlock = reporter.Seconds("AudioPathHighResolution");
    if (perBlock > 0) {
        const double audio = kBlock / kRate;
        std::printf(
            "real-time factor at 48 kHz, 512-frame blocks, 120 sections = %.4f (%.1fx faster than real "
            "time)\n",
            perBlock / audio, audio / perBlock);
    }
    std::printf("heap allocations during %ld timed blocks: %ld\n", blocksRun, blockAllocations);
    return blockAllocations == 0 ? 0 : 1;
}
