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
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                seconds[r.benchmark_name()] = r.real_accumulated_time / static_cast<double>(r.iterations);
    }
    // Time of the first benchmark whose name starts with `name` (options add suffixes); 0 if none ran.
    double Seconds(const std::string& name) const {
        for (const auto& [key, value] : seconds)
            if (key.compare(0, name.size(), name) == 0)
                return value;
        return 0.0;
    }

  private:
    std::map<std::string, double> seconds;
};

// Runs every benchmark with the reporter; returns false when benchmark options were wrong.
inline bool RunWithReporter(int argc, char** argv, RatioReporter& reporter) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return false;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return true;
}
