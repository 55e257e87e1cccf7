// Saving speed: writing a book of 100k questions must take no longer than loading the same book,
// and writing 200k questions at most 2.3 times as long as 100k. Measured both in memory (the file
// text built by the writer against the reader parsing the same text) and through files (loadBook
// against saveBook, which also flushes the file to the disk).

#include "bench_books.h"
#include "ratio_reporter.h"
#include "core/base/notifier.h"
#include "core/data/reader.h"
#include "core/data/save.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace {

using namespace rekal;

const std::string& textOf(int questions) {
    static std::map<int, std::string> texts;
    auto it = texts.find(questions);
    if (it == texts.end()) it = texts.emplace(questions, bench::makeBookText(questions)).first;
    return it->second;
}

std::string benchPath(int questions) {
    return (std::filesystem::temp_directory_path() / ("rekal-bench-" + std::to_string(questions) + ".rkf"))
        .string();
}

void BM_LoadText(benchmark::State& state) {
    const std::string& text = textOf(static_cast<int>(state.range(0)));
    SilentNotifier quiet;
    const Settings settings = bench::bookSettings();
    for (auto _ : state) {
        QuestionBook book;
        if (!loadBookFromBytes(book, "bench.rkf", text, settings, quiet)) state.SkipWithError("load failed");
    }
}

void BM_FormatText(benchmark::State& state) {
    SilentNotifier quiet;
    const Settings settings = bench::bookSettings();
    QuestionBook book;
    if (!loadBookFromBytes(book, "bench.rkf", textOf(static_cast<int>(state.range(0))), settings, quiet))
        return state.SkipWithError("load failed");
    for (auto _ : state)
        benchmark::DoNotOptimize(formatBook(book, settings));
}

void BM_LoadFile(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string path = benchPath(n);
    std::ofstream(path, std::ios::binary) << textOf(n);
    SilentNotifier quiet;
    const Settings settings = bench::bookSettings();
    for (auto _ : state) {
        QuestionBook book;
        if (!loadBook(book, path, settings, quiet)) state.SkipWithError("load failed");
    }
    std::filesystem::remove(path);
}

void BM_SaveFile(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const std::string path = benchPath(n);
    SilentNotifier quiet;
    const Settings settings = bench::bookSettings();
    QuestionBook book;
    if (!loadBookFromBytes(book, path, textOf(n), settings, quiet)) return state.SkipWithError("load failed");
    for (auto _ : state) {
        book.setDirty(true);
        if (!saveBook(book, settings, quiet)) state.SkipWithError("save failed");
    }
    std::filesystem::remove(path);
}

} // namespace

int main(int argc, char** argv) {
    for (int n : {100000, 200000}) {
        benchmark::RegisterBenchmark("load/text", BM_LoadText)->Arg(n)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("save/text", BM_FormatText)->Arg(n)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("load/file", BM_LoadFile)->Arg(n)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("save/file", BM_SaveFile)->Arg(n)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    rekal::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // Real time through files includes the flush to the disk, which a load does not have; CPU time
    // compares the work of the two.
    std::printf("\nsave / load of 100k questions (target <= 1.00); save 200k / 100k (target <= 2.30)\n");
    for (const std::string kind : {"text", "file"}) {
        for (const bool cpu : {true, false}) {
            std::printf("  %-5s %-4s save/load %.2f  growth %.2f\n", kind.c_str(), cpu ? "cpu" : "real",
                        reporter.ratio("save/" + kind + "/100000", "load/" + kind + "/100000", cpu),
                        reporter.ratio("save/" + kind + "/200000", "save/" + kind + "/100000", cpu));
        }
    }
    return 0;
}
