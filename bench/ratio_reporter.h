#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

// Console output as usual, plus the real time per iteration of every benchmark by name, so that a
// program can print ratios between benchmarks measured in the same run.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
                seconds[r.benchmark_name()] = r.real_accumulated_time / static_cast<double>(r.iterations);
                cpuSeconds[r.benchmark_name()] = r.cpu_accumulated_time / static_cast<double>(r.iterations);
            }
    }
    // Time of the first benchmark whose name starts with `name` (options add suffixes); 0 if none ran.
    double Seconds(const std::string& name) const { return Find(seconds, name); }
    // The same in processor time, which a machine busy with other work distorts less.
    double CpuSeconds(const std::string& name) const { return Find(cpuSeconds, name); }

    // Prints "what = wall ratio (processor-time ratio)" of benchmark a over benchmark b.
    void PrintRatio(const char* what, const std::string& a, const std::string& b, const char* target) const {
        if (Seconds(a) > 0 && Seconds(b) > 0)
            std::printf("%s = %.3f (processor time: %.3f) %s\n", what, Seconds(a) / Seconds(b),
                        CpuSeconds(a) / CpuSeconds(b), target);
    }

  private:
    static double Find(const std::map<std::string, double>& m, const std::string& name) {
        for (const auto& [key, value] : m)
            if (key.compare(0, name.size(), name) == 0) return value;
        return 0.0;
    }
    std::map<std::string, double> seconds, cpuSeconds;
};

// Runs every benchmark with the reporter; returns false when benchmark options were wrong.
inline bool RunWithReporter(int argc, char** argv, RatioReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return false;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return true;
}
