// How long the audio thread waits for the plug-in lock, and how much longer than usual a `process`
// call gets, while designs are asked for in every way a session asks for them:
//   editor     the editor redesigns as fast as it can (the "Resolution" selector)
//   restores   the host restores a whole state back to back (setState)
//   hostile    the same with a state no fit can follow (bands alternating by +-40 dB), whose design
//              ends at its stall or time budget; prints how long setState took at most
//   presets    the host changes the preset inside `process` every 50 blocks
//   selections the host changes "Outputs" in `process` every 25 blocks and "Resolution" through the
//              controller as fast as it can
// Blocks of 256 frames follow one another every millisecond. Per scenario it prints the longest
// lock wait, its 99.9th percentile and mean, and the longest `process` call over the median one; for
// requests made inside `process`, how long the new correction took to arrive (in milliseconds and
// in 256-frame blocks of real time at 48 kHz).
//
// The yardstick: right after each `process` call the same block runs through a copy of the
// correction's sections, with no plug-in around it (no lock, no parameters, no state). Its longest
// call over its median one is what the machine alone does to a fixed piece of work of the same size
// at the same moments: the interrupts and stalls of the system and of a virtual machine's host. A
// `process` ratio near the yardstick's means the plug-in adds no long calls of its own. The blocks
// that carried a change are also compared by their median with the median of all blocks: that is
// what a change costs the audio thread, free of the machine's rare stalls.
//   idle       playing instances with nothing to do: how often the process's threads wake up, per
//              second, with 1 and with 16 instances active (what polling for posted designs costs)
// Usage: lock_wait_bench [seconds per scenario]
// On a shared machine run it as `chrt -f 10 lock_wait_bench`: the blocks then run above the other
// threads of the bench, as a host's audio thread does, and other programs' load stays out of the
// figures.
#include "engine/band_grid.h"
#include "engine/cascade_filter.h"
#include "graphics/headless/headless_graphics.h"
#include "plugin/mic_corrector.h"
#include "plugin/parameter_table.h"
#include "support/engine_operations.h"
#include "support/engine_probe.h"
#include "support/host_objects.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numeric>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 256;
constexpr double kBlockMs = 1000.0 * kFrames / 48000.0;

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// One instance prepared as a host prepares it, playing a real correction at high resolution.
struct Session {
    Session() {
        fx = new IMicCorrector(CreateHeadlessEditor);
        fx->initialize(nullptr);
        fx->activateBus(vst::kAudio, vst::kInput, 0, 1);
        fx->activateBus(vst::kAudio, vst::kOutput, 0, 1);
        vst::ProcessSetup setup{vst::kRealtime, vst::kSample64, kFrames, 48000.0};
        fx->setupProcessing(setup);
        CorrectionEngine& e = fx->Engine();
        CorrectionSettings measured = CorrectionInForce(e);
        for (int i = 0; i < kBandCount; ++i)
            measured.targetBands[i] =
                std::pow(10.0, 6.0 * std::sin(std::log(TheBandGrid().bandFrequencies[i])) / 20.0);
        e.ApplyCorrection(measured);
        fx->SetParameterFromUI(kParamResolution, 1.0);
        fx->DoParameterAction(kParamResolution);
        fx->SetParameterFromUI(kParamOutputs, 1.0);
        fx->DoParameterAction(kParamOutputs);
        // The preset holds this correction, so a preset change redesigns it.
        fx->GetPreset(0)->chunk.Clear();
        fx->SerializeState(fx->GetPreset(0)->chunk);
        fx->componentGetState(&state);
        fx->setActive(1);
    }
    ~Session() {
        fx->setActive(0);
        fx->terminate();
        fx->release();
    }
    IMicCorrector* fx;
    MemoryStream state;
};

struct Spread {
    double median = 0.0, p999 = 0.0, longest = 0.0;
    double Ratio() const { return median > 0.0 ? longest / median : 0.0; }
};

Spread SpreadOf(std::vector<double> v) {
    Spread s;
    if (v.empty()) return s;
    std::sort(v.begin(), v.end());
    s.median = v[v.size() / 2];
    s.p999 = v[v.size() * 999 / 1000];
    s.longest = v.back();
    return s;
}

struct Figures {
    Spread wait;
    double meanWait;
    Spread process, yardstick, asking; // asking: the blocks that carried a change
    long askingCount;
    Spread arrivalMs;
    long blocks, requests;
};

// Runs blocks on this thread while `other` runs flat out on another; `changes(block, queue)` may
// add parameter changes to a block.
Figures Measure(double seconds, const std::function<void(Session&, long)>& other,
                const std::function<void(long, ParameterChanges&)>& changes) {
    Session s;
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (long n = 0; !stop.load(); ++n)
            if (other)
                other(s, n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    std::vector<double> in0(kFrames), in1(kFrames), out0(kFrames), out1(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        in0[i] = std::sin(0.01 * i);
        in1[i] = 0.5 * std::sin(0.07 * i);
    }
    double* ins[2] = {in0.data(), in1.data()};
    double* outs[2] = {out0.data(), out1.data()};
    vst::AudioBusBuffers inBus{}, outBus{};
    inBus.numChannels = outBus.numChannels = 2;
    inBus.channelBuffers64 = ins;
    outBus.channelBuffers64 = outs;

    // Under a real-time policy the blocks run above everything else of the bench.
    sched_param priority{};
    int policy = 0;
    pthread_getschedparam(pthread_self(), &policy, &priority);
    if (policy == SCHED_FIFO || policy == SCHED_RR) {
        sched_param higher = priority;
        higher.sched_priority = priority.sched_priority + 5;
        pthread_setschedparam(pthread_self(), policy, &higher);
    }

    // The yardstick's sections: the correction the session plays, copied once; each block runs as
    // many of them as `process` ran.
    std::array<PeakingSection, kMaxSections> yard = s.fx->Engine().Snapshot().correctionCascade;

    std::vector<double> waits, calls, arrivals, yardCalls, askingCalls;
    bool awaiting = false;
    Clock::time_point askedAt{};
    const auto end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (long block = 0; Clock::now() < end; ++block) {
        ParameterChanges queue;
        if (changes) changes(block, queue);
        vst::ProcessData data{};
        data.processMode = vst::kRealtime;
        data.symbolicSampleSize = vst::kSample64;
        data.numSamples = kFrames;
        data.numInputs = data.numOutputs = 1;
        data.inputs = &inBus;
        data.outputs = &outBus;
        data.inputParameterChanges = &queue;
        const Clock::time_point t0 = Clock::now();
        s.fx->EnterLock();
        const Clock::time_point t1 = Clock::now();
        s.fx->process(data); // takes the lock again, as the owner
        // Read while the block holds the lock anyway: a lock taken once more per block would add
        // contention that the plug-in does not have.
        const int yardCount = CorrectionEngineProbe::cascadeSections(s.fx->Engine());
        s.fx->LeaveLock();
        const Clock::time_point t2 = Clock::now();
        waits.push_back(Micros(t1 - t0));
        calls.push_back(Micros(t2 - t0));
        if (queue.getParameterCount() > 0) askingCalls.push_back(calls.back());
        const Clock::time_point y0 = Clock::now();
        RunCascade(yard.data(), yardCount, in1.data(), kFrames, 1.0, out0.data(), out1.data());
        yardCalls.push_back(Micros(Clock::now() - y0));
        const bool pending = s.fx->Engine().DesignPending();
        if (queue.getParameterCount() > 0 && pending && !awaiting) {
            awaiting = true;
            askedAt = t2;
        } else if (awaiting && !pending) {
            awaiting = false;
            arrivals.push_back(Micros(t0 - askedAt) / 1000.0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(1000));
    }
    stop = true;
    writer.join();
    pthread_setschedparam(pthread_self(), policy, &priority);

    Figures f{};
    f.blocks = static_cast<long>(waits.size());
    f.requests = static_cast<long>(arrivals.size());
    f.wait = SpreadOf(waits);
    f.meanWait = std::accumulate(waits.begin(), waits.end(), 0.0) / static_cast<double>(waits.size());
    f.process = SpreadOf(calls);
    f.yardstick = SpreadOf(yardCalls);
    f.asking = SpreadOf(askingCalls);
    f.askingCount = static_cast<long>(askingCalls.size());
    f.arrivalMs = SpreadOf(arrivals);
    return f;
}

void Print(const char* what, const Figures& f) {
    std::printf("%-10s %6ld blocks: lock wait longest %7.1f us, 99.9%% %6.1f us, mean %5.2f us; "
                "process median %.1f us, 99.9%% %.1f us, longest %.1f us (%.2f times)",
                what, f.blocks, f.wait.longest, f.wait.p999, f.meanWait, f.process.median, f.process.p999,
                f.process.longest, f.process.Ratio());
    std::printf("; yardstick median %.1f us, 99.9%% %.1f us, longest %.1f us (%.2f times)",
                f.yardstick.median, f.yardstick.p999, f.yardstick.longest, f.yardstick.Ratio());
    if (f.askingCount > 0)
        std::printf(
            "; %ld blocks with a change: median %.1f us (%.2f times the median block), longest %.1f us",
            f.askingCount, f.asking.median, f.asking.median / f.process.median, f.asking.longest);
    if (f.requests > 0)
        std::printf(
            "; %ld designs asked in process arrived after median %.1f ms (%.1f blocks), longest %.1f ms "
            "(%.1f blocks)",
            f.requests, f.arrivalMs.median, f.arrivalMs.median / kBlockMs, f.arrivalMs.longest,
            f.arrivalMs.longest / kBlockMs);
    std::printf("; cascade ran %s\n", VectorPathName(LastCascadePath()));
}

// Wake-ups per second of the whole process (its threads' voluntary context switches) while
// `instances` active instances play nothing and are asked for nothing.
double IdleWakeupsPerSecond(int instances, double seconds) {
    std::vector<std::unique_ptr<Session>> sessions;
    for (int i = 0; i < instances; ++i)
        sessions.push_back(std::make_unique<Session>());
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // designs of the set-up done
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    getrusage(RUSAGE_SELF, &after);
    return static_cast<double>(after.ru_nvcsw - before.ru_nvcsw) / seconds;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    Print("editor", Measure(
                        seconds,
                        [](Session& s, long n) {
                            s.fx->SetParameterFromUI(kParamResolution, static_cast<double>(n % 2));
                            s.fx->DoParameterAction(kParamResolution);
                        },
                        nullptr));
    Print("restores", Measure(
                          seconds,
                          [](Session& s, long) {
                              MemoryStream again(s.state.data);
                              s.fx->componentSetState(&again);
                          },
                          nullptr));
    {
        // Bands alternating by +-40 dB at normal resolution, the corrected target heard.
        Session source;
        CorrectionEngine& e = source.fx->Engine();
        CorrectionSettings hostileBands = CorrectionInForce(e);
        for (int i = 0; i < kBandCount; ++i)
            hostileBands.targetBands[i] = i % 2 ? 100.0 : 0.01;
        e.ApplyCorrection(hostileBands);
        source.fx->SetParameterFromUI(kParamResolution, 0.0);
        source.fx->DoParameterAction(kParamResolution);
        MemoryStream hostile;
        source.fx->componentGetState(&hostile);
        std::atomic<double> longest{0.0};
        Print("hostile", Measure(
                             seconds,
                             [&](Session& s, long) {
                                 MemoryStream again(hostile.data);
                                 const Clock::time_point t0 = Clock::now();
                                 s.fx->componentSetState(&again);
                                 const double ms = Micros(Clock::now() - t0) / 1000.0;
                                 if (ms > longest.load()) longest = ms;
                             },
                             nullptr));
        std::printf("hostile    setState took at most %.1f ms (design passes %d, converged %d)\n",
                    longest.load(), source.fx->Engine().Snapshot().designPasses,
                    source.fx->Engine().Snapshot().designConverged ? 1 : 0);
    }
    Print("presets", Measure(seconds, nullptr, [](long block, ParameterChanges& q) {
              if (block % 50 == 0) q.Add(IEffectVST3::kPresetParamId, {{0, 0.0}});
          }));
    Print("selections", Measure(
                            seconds,
                            [](Session& s, long n) {
                                s.fx->setParamNormalized(kParamResolution, static_cast<double>(n % 2));
                            },
                            [](long block, ParameterChanges& q) {
                                if (block % 25 == 0)
                                    q.Add(kParamOutputs, {{0, (block / 25) % 2 ? 0.0 : 1.0}});
                            }));
    const double one = IdleWakeupsPerSecond(1, seconds), sixteen = IdleWakeupsPerSecond(16, seconds);
    std::printf("idle       wake-ups per second: %.0f with 1 active instance, %.0f with 16 (%.2f times)\n",
                one, sixteen, sixteen / one);
    return 0;
}
