#pragma once
// A console reporter that also keeps each benchmark's real and CPU time per iteration (nanoseconds
// unless the benchmark sets another unit), so that a program can print the ratios of its targets
// after the run. On a shared machine the CPU time is the steadier measure of one core's work.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace rekal::bench {

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
                cpuTimes[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        ConsoleReporter::ReportRuns(runs);
    }

    // Time of a over time of b (real or CPU); 0 when either is missing.
    double ratio(const std::string& a, const std::string& b, bool cpu = false) const {
        const auto& m = cpu ? cpuTimes : times;
        auto x = m.find(a), y = m.find(b);
        if (x == m.end() || y == m.end() || y->second <= 0) return 0;
        return x->second / y->second;
    }

    std::map<std::string, double> times, cpuTimes;
};

} // namespace rekal::bench
