// Answer matching speed.
// 1. Judging a typed answer against a question with 8 alternatives under all five compare options
//    and the default vague table (a wrong answer, so that every alternative is folded and compared):
//    target at least 1,000,000 judgements per second on one core. Measured with the vague table
//    prepared once and with the table handed over as it is (prepared on every call).
// 2. A search over books of 50k, 100k and 200k questions that matches nothing, under all options and
//    under none: the time must grow linearly (ratio 200k / 100k about 2).

#include "bench_books.h"
#include "ratio_reporter.h"
#include "core/base/notifier.h"
#include "core/data/reader.h"
#include "core/match/answer.h"
#include "core/match/search.h"

#include <cstdio>
#include <map>
#include <memory>

namespace {

using namespace rekal;

constexpr std::string_view kEightAlternatives = "REKALDATA V1.6\r\n"
                                                "都道府県は？,とうきょうと|トウキョウト|東京都|ﾄｳｷｮｳﾄ|Tokyo-"
                                                "to|ＴＯＫＹＯ　ＴＯ|とーきょーと|ヴァトウキョウ,<00\r\n";

std::unique_ptr<QuestionBook> loadFrom(std::string_view text) {
    auto book = std::make_unique<QuestionBook>();
    SilentNotifier quiet;
    if (!loadBookFromBytes(*book, "bench.rkf", std::string(text), bench::bookSettings(), quiet))
        return nullptr;
    return book;
}

void BM_JudgePrepared(benchmark::State& state) {
    auto book = loadFrom(kEightAlternatives);
    const QuestionCard* q = book ? book->questionAt(0) : nullptr;
    if (!q || book->answerCount(q) != 8) return state.SkipWithError("book not loaded");
    const VagueReplacer vague(defaultVagueTable());
    for (auto _ : state)
        benchmark::DoNotOptimize(isAnswerRight(q, "おおさかふ", kAllCompareOptions, vague));
    state.SetItemsProcessed(state.iterations());
}

void BM_JudgeTable(benchmark::State& state) {
    auto book = loadFrom(kEightAlternatives);
    const QuestionCard* q = book ? book->questionAt(0) : nullptr;
    if (!q) return state.SkipWithError("book not loaded");
    const VagueTable table = defaultVagueTable();
    for (auto _ : state)
        benchmark::DoNotOptimize(isAnswerRight(q, "おおさかふ", kAllCompareOptions, table));
    state.SetItemsProcessed(state.iterations());
}

const QuestionBook* bookOf(int questions) {
    static std::map<int, std::unique_ptr<QuestionBook>> books;
    auto it = books.find(questions);
    if (it == books.end()) it = books.emplace(questions, loadFrom(bench::makeBookText(questions))).first;
    return it->second.get();
}

void BM_SearchNoMatch(benchmark::State& state, CompareOptions options) {
    const QuestionBook* book = bookOf(static_cast<int>(state.range(0)));
    if (!book) return state.SkipWithError("book not loaded");
    const VagueTable table = defaultVagueTable();
    for (auto _ : state) {
        const int found = searchQuestions(*book, 0, "見つからない言葉", true, options, table);
        if (found != -1) state.SkipWithError("unexpected match");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("judge/prepared", BM_JudgePrepared);
    benchmark::RegisterBenchmark("judge/table", BM_JudgeTable);
    for (int n : {50000, 100000, 200000}) {
        benchmark::RegisterBenchmark("search/all", BM_SearchNoMatch, kAllCompareOptions)
            ->Arg(n)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("search/none", BM_SearchNoMatch, 0)
            ->Arg(n)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    rekal::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\njudgements per second of CPU time (target >= 1,000,000)\n");
    for (const char* name : {"judge/prepared", "judge/table"}) {
        auto it = reporter.cpuTimes.find(name);
        if (it != reporter.cpuTimes.end() && it->second > 0)
            std::printf("  %-15s %.0f\n", name, 1e9 / it->second); // times are in nanoseconds
    }
    std::printf("search growth in CPU time (linear: about 2.0)\n");
    for (const char* name : {"search/all", "search/none"}) {
        const std::string base(name);
        std::printf("  %-12s 100k/50k %.2f  200k/100k %.2f\n", name,
                    reporter.ratio(base + "/100000", base + "/50000", true),
                    reporter.ratio(base + "/200000", base + "/100000", true));
    }
    return 0;
}
