#pragma once
// Console reporters for the benchmark programs. RatioReporter keeps each benchmark's real and CPU time per
// iteration (nanoseconds unless the benchmark sets another unit), so that a program can print the ratios of
// its targets after the run. On a shared machine the CPU time is the steadier measure of one core's work.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace rekal::bench {

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    // Of repetitions of a benchmark the fastest counts (on a shared machine the one least disturbed
    // by others), under the name without its "/repeats:N".
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                std::string name = run.benchmark_name();
                if (const std::size_t at = name.find("/repeats:"); at != std::string::npos) {
                    const std::size_t end = name.find('/', at + 1);
                    name.erase(at, end == std::string::npos ? std::string::npos : end - at);
                }
                keepFastest(times, name, run.GetAdjustedRealTime());
                keepFastest(cpuTimes, name, run.GetAdjustedCPUTime());
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

  private:
    static void keepFastest(std::map<std::string, double>& m, const std::string& name, double value) {
        auto [it, added] = m.emplace(name, value);
        if (!added && value < it->second) it->second = value;
    }
};

// Keeps the fastest of the repetitions of each benchmark (real and CPU time, in its unit): on a
// shared machine the fastest run is the one least disturbed by others.
class FastestReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            std::string name = run.benchmark_name();
            if (std::size_t at = name.find("/repeats:"); at != std::string::npos) {
                std::size_t end = name.find('/', at + 1);
                name.erase(at, end == std::string::npos ? std::string::npos : end - at);
            }
            keepMin(times, name, run.GetAdjustedRealTime());
            keepMin(cpuTimes, name, run.GetAdjustedCPUTime());
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times, cpuTimes;

  private:
    static void keepMin(std::map<std::string, double>& m, const std::string& name, double value) {
        auto [it, added] = m.emplace(name, value);
        if (!added && value < it->second) it->second = value;
    }
};

} // namespace rekal::bench
