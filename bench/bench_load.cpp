// Loading speed and size of a question book (the fastest of five repetitions of each): loadBook of 10k, 100k
// and 200k questions against `iconv -f CP932 -t UTF-8` of the same file in the same run. Targets: 100k
// questions load in no more time than iconv converts them, 200k take at most 2.3 times as long as 100k, and
// the loaded book holds at most 3 times the file's size.

#include "bench_books.h"
#include "ratio_reporter.h"
#include <benchmark/benchmark.h>
#include "core/base/notifier.h"
#include "core/data/reader.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

namespace {

using namespace rekal;

struct BenchFile {
    std::string path;
    std::size_t size = 0;
};

const BenchFile& fileOf(int questions) {
    static std::map<int, BenchFile> files;
    auto it = files.find(questions);
    if (it == files.end()) {
        BenchFile f;
        f.path = (std::filesystem::temp_directory_path() /
                  ("rekal-bench-load-" + std::to_string(questions) + ".rkf"))
                     .string();
        const std::string text = bench::makeBookText(questions);
        std::ofstream(f.path, std::ios::binary) << text;
        f.size = text.size();
        it = files.emplace(questions, f).first;
    }
    return it->second;
}

std::map<int, double> memoryRatio;

// range(1) = 1: every load starts as in a fresh program, with the memory freed by the previous one
// given back to the system (so it pays for first touching its pages); 0: the heap is warm.
void BM_LoadBook(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const bool fresh = state.range(1) != 0;
    const BenchFile& f = fileOf(n);
    SilentNotifier quiet;
    const Settings settings = bench::bookSettings();
    for (auto _ : state) {
        {
            QuestionBook book;
            if (!loadBook(book, f.path, settings, quiet)) state.SkipWithError("load failed");
            if (book.questionCount() != n) state.SkipWithError("wrong question count");
            memoryRatio[n] = static_cast<double>(book.memoryUsed()) / static_cast<double>(f.size);
            state.PauseTiming(); // the book is released outside the measurement
        }
        if (fresh) malloc_trim(0);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(f.size));
}

// <chrono> does not compile with the CP932 execution character set; the monotonic clock directly.
double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The iconv program on the same file; its time is the CPU time of the child processes (on a shared
// machine the steadier measure), its wall time is kept beside it.
std::map<int, double> iconvRealMs;

void BM_Iconv(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const BenchFile& f = fileOf(n);
    const std::string command = "iconv -f CP932 -t UTF-8 '" + f.path + "' > /dev/null";
    double real = 0;
    for (auto _ : state) {
        const double before = childCpuSeconds();
        const double start = nowMs();
        if (std::system(command.c_str()) != 0) state.SkipWithError("iconv failed");
        real += nowMs() - start;
        state.SetIterationTime(childCpuSeconds() - before);
    }
    const double perRun = real / static_cast<double>(state.iterations());
    if (iconvRealMs[n] == 0 || perRun < iconvRealMs[n]) iconvRealMs[n] = perRun;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(f.size));
}

} // namespace

int main(int argc, char** argv) {
    for (int n : {10000, 100000, 200000}) {
        benchmark::RegisterBenchmark("load", BM_LoadBook)
            ->Args({n, 0})
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5);
        benchmark::RegisterBenchmark("load-fresh", BM_LoadBook)
            ->Args({n, 1})
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5);
        benchmark::RegisterBenchmark("iconv", BM_Iconv)
            ->Arg(n)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Repetitions(5);
    }
    // A warm heap keeps what it got: freed blocks are reused by the next load whatever its size,
    // instead of depending on the sizes that ran before.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    benchmark::Initialize(&argc, argv);
    bench::FastestReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n");
    for (int n : {10000, 100000, 200000}) {
        const BenchFile& f = fileOf(n);
        std::string arg = "/";
        arg += std::to_string(n);
        const double warm = reporter.cpuTimes["load" + arg + "/0"],
                     fresh = reporter.cpuTimes["load-fresh" + arg + "/1"];
        std::printf("%6d questions, %5.1f MB: load %6.1f ms CPU (%5.1f MB/s), with fresh memory %6.1f ms; "
                    "iconv %6.1f ms CPU (%6.1f ms wall); book memory %.2f x file\n",
                    n, static_cast<double>(f.size) / 1e6, warm,
                    warm > 0 ? static_cast<double>(f.size) / 1e3 / warm : 0.0, fresh,
                    reporter.times["iconv" + arg + "/manual_time"], iconvRealMs[n], memoryRatio[n]);
    }
    const double iconv100k = reporter.times["iconv/100000/manual_time"];
    std::printf("load / iconv of 100k questions (target <= 1.00): %.2f, with fresh memory %.2f\n",
                reporter.cpuTimes["load/100000/0"] / iconv100k,
                reporter.cpuTimes["load-fresh/100000/1"] / iconv100k);
    std::printf("load 200k / 100k (target <= 2.30): %.2f, with fresh memory %.2f\n",
                reporter.cpuTimes["load/200000/0"] / reporter.cpuTimes["load/100000/0"],
                reporter.cpuTimes["load-fresh/200000/1"] / reporter.cpuTimes["load-fresh/100000/1"]);
    std::printf("book memory / file size (target <= 3.00): %.2f at 200k\n", memoryRatio[200000]);
    for (int n : {10000, 100000, 200000})
        std::filesystem::remove(fileOf(n).path);
    return 0;
}
