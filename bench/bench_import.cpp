// Importing a table of 100,000 real-looking rows (UTF-8, tab-separated, some fields quoted, some
// characters that need escapes or other codes) against loading the question file it writes, in the
// same run (the fastest of five repetitions, CPU time). Targets: the import costs at most 3 times the
// load, and its heap at its peak holds at most 4 times the table's size.

#include "core/base/notifier.h"
#include "core/data/import.h"
#include "core/data/reader.h"
#include "bench_books.h"
#include "ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>

#include <malloc.h>

// Heap use of the program: every operator new counted, so that the peak of one import can be read.
namespace {
std::atomic<std::size_t> g_heapNow{0}, g_heapPeak{0};

void* counted(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    const std::size_t now = g_heapNow += malloc_usable_size(p);
    std::size_t peak = g_heapPeak.load();
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}
void uncounted(void* p) {
    if (!p) return;
    g_heapNow -= malloc_usable_size(p);
    std::free(p);
}
} // namespace

void* operator new(std::size_t n) {
    return counted(n);
}
void* operator new[](std::size_t n) {
    return counted(n);
}
void operator delete(void* p) noexcept {
    uncounted(p);
}
void operator delete[](void* p) noexcept {
    uncounted(p);
}
void operator delete(void* p, std::size_t) noexcept {
    uncounted(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    uncounted(p);
}

namespace {

using namespace rekal;

constexpr int kRows = 100000;

std::string utf8(const char8_t* s) {
    return std::string(reinterpret_cast<const char*>(s));
}

// Rows as a spreadsheet of vocabulary and facts exports them: question, answer, hint, comment.
std::string makeTable(int rows) {
    const std::string questions[] = {
        utf8(u8"日本一高い山は？"),
        utf8(u8"「ありがとう」を英語で言うと？"),
        utf8(u8"水の化学式は？"),
        utf8(u8"関ヶ原の戦いは何年？"),
        utf8(u8"Translate: 猫 (cat) [noun]"),
        utf8(u8"円周率を小数第2位まで答えよ。"),
    };
    const std::string answers[] = {utf8(u8"富士山"), "thank you", "H2O",
                                   utf8(u8"1600年"), "cat|neko",  "3.14"};
    const std::string hints[] = {utf8(u8"静岡県と山梨県"),   "", utf8(u8"H と O"),
                                 utf8(u8"江戸時代の始まり"), "", utf8(u8"約 3")};
    const std::string comments[] = {utf8(u8"標高 3,776m、\"日本一\"の山"),
                                    utf8(u8"〜です、−1 点"),
                                    "",
                                    utf8(u8"徳川家康 vs 石田三成"),
                                    "",
                                    utf8(u8"π ≒ 3.14159…")};
    std::string table = "#separator:tab\n#html:false\n";
    table.reserve(static_cast<std::size_t>(rows) * 110);
    for (int i = 0; i < rows; ++i) {
        const std::size_t k = static_cast<std::size_t>(i) % std::size(questions);
        table += std::to_string(i + 1) + ". " + questions[k] + '\t' + answers[k] + '\t' + hints[k] + '\t';
        if (comments[k].find('"') != std::string::npos) {
            table += '"';
            for (char c : comments[k])
                table += c == '"' ? std::string("\"\"") : std::string(1, c);
            table += '"';
        } else {
            table += comments[k];
        }
        table += '\n';
    }
    return table;
}

struct Files {
    std::filesystem::path table, book;
    std::size_t tableSize = 0;
};

const Files& files() {
    static Files f = [] {
        Files made;
        const auto dir = std::filesystem::temp_directory_path();
        made.table = dir / "rekal-bench-import.txt";
        made.book = dir / "rekal-bench-import.rkf";
        const std::string table = makeTable(kRows);
        std::ofstream(made.table, std::ios::binary) << table;
        made.tableSize = table.size();
        return made;
    }();
    return f;
}

ImportOptions benchOptions() {
    ImportOptions options;
    options.columns = *parseColumnRoles("question,answer,hint,comment");
    return options;
}

double g_memoryRatio = 0;

void BM_Import(benchmark::State& state) {
    const Files& f = files();
    const Settings settings = bench::bookSettings();
    for (auto _ : state) {
        ImportSummary summary;
        const std::size_t before = g_heapNow.load();
        g_heapPeak = before;
        const ImportStatus status = importTable(f.table, f.book, benchOptions(), settings, true, summary);
        const double ratio =
            static_cast<double>(g_heapPeak.load() - before) / static_cast<double>(f.tableSize);
        if (ratio > g_memoryRatio) g_memoryRatio = ratio;
        if (status != ImportStatus::Written || summary.imported != kRows || summary.skipped != 0)
            state.SkipWithError("import failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(f.tableSize));
}

// The same conversion without the file system: reading the table and writing the file through the
// disk are left out.
void BM_Convert(benchmark::State& state) {
    const Files& f = files();
    std::ifstream in(f.table, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const Settings settings = bench::bookSettings();
    for (auto _ : state) {
        ImportSummary summary;
        benchmark::DoNotOptimize(convertTable(bytes, benchOptions(), settings, summary));
    }
}

void BM_Load(benchmark::State& state) {
    const Files& f = files();
    const Settings settings = bench::bookSettings();
    SilentNotifier quiet;
    LoadReport report;
    for (auto _ : state) {
        QuestionBook book;
        if (!loadBook(book, f.book.string(), settings, quiet, nullptr, &report) ||
            book.questionCount() != kRows || !report.rejectedLines.empty())
            state.SkipWithError("load failed");
    }
}

} // namespace

int main(int argc, char** argv) {
    // Import first, so that the load reads the file the import wrote.
    benchmark::RegisterBenchmark("import", BM_Import)->Unit(benchmark::kMillisecond)->Repetitions(5);
    benchmark::RegisterBenchmark("convert", BM_Convert)->Unit(benchmark::kMillisecond)->Repetitions(5);
    benchmark::RegisterBenchmark("load", BM_Load)->Unit(benchmark::kMillisecond)->Repetitions(5);
    benchmark::Initialize(&argc, argv);
    bench::FastestReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double import = reporter.cpuTimes["import"], convert = reporter.cpuTimes["convert"],
                 load = reporter.cpuTimes["load"];
    std::printf("\n%d rows, table %.1f MB: import %.1f ms CPU (%.1f ms wall), conversion alone %.1f ms, "
                "load of the book %.1f ms CPU\n",
                kRows, static_cast<double>(files().tableSize) / 1e6, import, reporter.times["import"],
                convert, load);
    std::printf("import / load (target <= 3.00): %.2f\n", load > 0 ? import / load : 0.0);
    std::printf("import heap peak / table size (target <= 4.00): %.2f\n", g_memoryRatio);
    std::filesystem::remove(files().table);
    std::filesystem::remove(files().book);
    return 0;
}
