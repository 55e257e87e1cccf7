// Exam engine and exam log speed.
// - A random-all run over 100k questions selects all of them in well under a second, alone and as a
//   whole run through the engine (shown against loading the same book).
// - Counting the eligible questions is linear: 200k questions take about twice as long as 100k.
// - A weak-point pick over 100k questions whose latest answers were all right costs about one pass
//   over the questions (shown against counting them).
// - Appending a record to a 32 MB exam log and trimming it, and parsing a 32 MB log, each take at most
//   twice as long as converting the same bytes with iconv (target ratio <= 2.00).
// - Building the log viewer's model (sorting the records and their tree) for a 32 MB log of about
//   100,000 short records takes at most twice as long as parsing that log (target ratio <= 2.00).

#include "bench_books.h"
#include "ratio_reporter.h"
#include "core/base/notifier.h"
#include "core/data/reader.h"
#include "core/exam/run.h"
#include "core/examlog/browse.h"
#include "core/examlog/examlog.h"

#include <iconv.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

using namespace rekal;

Settings benchSettings() {
    Settings settings = bench::bookSettings(defaultSettings(SettingsInputs{}));
    settings.set(Sound, false);
    settings.set(SaveExamLog, false);
    settings.answerMode = AnswerWritten;
    return settings;
}

const std::string& bookText(int questions) {
    static std::map<int, std::string> texts;
    auto it = texts.find(questions);
    if (it == texts.end()) it = texts.emplace(questions, bench::makeBookText(questions)).first;
    return it->second;
}

bool loadBench(QuestionBook& book, int questions) {
    SilentNotifier quiet;
    return loadBookFromBytes(book, "C:\\bench\\bench.rkf", bookText(questions), benchSettings(), quiet);
}

// ---- selection ----

void BM_LoadBook(benchmark::State& state) {
    for (auto _ : state) {
        QuestionBook book;
        if (!loadBench(book, static_cast<int>(state.range(0)))) state.SkipWithError("load failed");
    }
}

void BM_RandomAllSelection(benchmark::State& state) {
    QuestionBook book;
    if (!loadBench(book, static_cast<int>(state.range(0)))) return state.SkipWithError("load failed");
    for (auto _ : state) {
        ExamSelection run;
        run.range = examRangeOf(book);
        run.method = kMethodRandomAll;
        run.remaining = countEligible(book, run.range);
        RandomGenerator random(12345);
        int picks = 0;
        for (int q; (q = pickNext(run, book, random, 8)) != kNoQuestion; ++picks) {
            run.results.push_back(ExamResult{0, q, Verdict::Right});
            run.askedSet.note(book, run.range, q, Verdict::Right);
            ++run.asked;
        }
        if (picks != book.questionCount()) state.SkipWithError("not every question was asked");
    }
}

// A screen that answers every question with the same text at once.
class QuietScreen : public ExamScreen {
  public:
    std::string answerEditText() override { return "x"; }
    Verdict runAnswerDialog(const AnswerDialogInput&) override { return Verdict::None; }
    bool confirmAbort() override { return true; }
    ResultDialogChoice runResultDialog(const ResultDialogInput&) override { return {}; }
};

class StillClock : public ExamClock {
  public:
    std::uint32_t tickCount() override { return ++tick; }
    LocalTime localTime() override { return LocalTime{2024, 5, 17, 5, 12, 30, 0, 0}; }
    std::uint32_t tick = 0;
};

void BM_RandomAllRun(benchmark::State& state) {
    QuestionBook book;
    if (!loadBench(book, static_cast<int>(state.range(0)))) return state.SkipWithError("load failed");
    Settings settings = benchSettings();
    const VagueTable vague = defaultVagueTable();
    for (auto _ : state) {
        RandomGenerator random(12345);
        StillClock clock;
        QuietScreen screen;
        ExamRun run;
        ExamEnv env{book, settings, vague, random, clock, screen, nullptr};
        startRandomAllRun(run, env);
        int asked = 0;
        while (run.active()) {
            onAnswerCommand(run, env);
            ++asked;
        }
        if (asked != book.questionCount()) state.SkipWithError("not every question was asked");
    }
}

void BM_CountInRange(benchmark::State& state) {
    QuestionBook book;
    if (!loadBench(book, static_cast<int>(state.range(0)))) return state.SkipWithError("load failed");
    book.setGroupEnabled(2, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(book.countInRange(0, book.questionCount() - 1));
}

void BM_CountEligible(benchmark::State& state) {
    QuestionBook book;
    if (!loadBench(book, static_cast<int>(state.range(0)))) return state.SkipWithError("load failed");
    book.setGroupEnabled(2, false);
    const ExamRange range = examRangeOf(book);
    for (auto _ : state)
        benchmark::DoNotOptimize(countEligible(book, range));
}

void BM_WeakPickAllRight(benchmark::State& state) {
    QuestionBook book;
    if (!loadBench(book, static_cast<int>(state.range(0)))) return state.SkipWithError("load failed");
    for (int i = 0; i < book.questionCount(); ++i)
        book.setHistory(book.questionAt(i), 16 | (i % 16));
    RandomGenerator random(777);
    for (auto _ : state) {
        ExamSelection run;
        run.range = examRangeOf(book);
        run.method = kMethodWeak;
        run.remaining = 1;
        benchmark::DoNotOptimize(pickNext(run, book, random, 10));
    }
}

// ---- exam log ----

constexpr int kLogSizeKb = 32767;

// About 32 MB of records of 50 answered questions each.
const std::string& logText() {
    static std::string text;
    if (!text.empty()) return text;
    static QuestionBook book;
    loadBench(book, 400);
    std::vector<ExamResult> results;
    for (int i = 0; i < 50; ++i)
        results.push_back(ExamResult{static_cast<std::uint32_t>(1000 + i * 37), (i * 7) % 400,
                                     i % 3 ? Verdict::Right : Verdict::Wrong});
    ExamLogRecord record;
    record.start = LocalTime{2024, 5, 17, 5, 12, 30, 0, 0};
    record.filePath = book.path();
    record.last = 399;
    record.groups.fill(true);
    record.method = kMethodRandomAll;
    record.right = 33;
    record.wrong = 17;
    record.elapsedMs = 123456;
    record.results = results;
    const FormattedRecord formatted = formatExamLogRecord(record, book);
    const std::string one = formatted.head + formatted.details;
    while (text.size() + one.size() + 4 <= static_cast<std::size_t>(kLogSizeKb) * 1024) {
        if (!text.empty()) text += "\r\n\r\n";
        text += one;
    }
    return text;
}

void BM_Iconv(benchmark::State& state) {
    const std::string& text = logText();
    std::string out(text.size() * 2, '\0');
    for (auto _ : state) {
        iconv_t cd = iconv_open("UTF-8", "CP932");
        char* src = const_cast<char*>(text.data());
        std::size_t left = text.size();
        char* dst = out.data();
        std::size_t room = out.size();
        iconv(cd, &src, &left, &dst, &room);
        iconv_close(cd);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_ParseLog(benchmark::State& state) {
    const std::string& text = logText();
    for (auto _ : state) {
        ExamLog log = parseExamLog(text);
        if (log.entries.empty()) state.SkipWithError("nothing parsed");
        benchmark::DoNotOptimize(log.entries.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// About 32 MB of short records (one or two answered questions each), one every 17 minutes from 2019
// on, over 40 files whose names differ in letter case too: the log of years of daily use.
const std::string& manyRecordsText() {
    static std::string text;
    if (!text.empty()) return text;
    static constexpr const char* kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
    LocalTime t{2019, 1, 1, 2, 0, 0, 0, 0};
    std::int64_t ms = calendarToMilliseconds(t).value_or(0);
    for (int i = 0; text.size() < 32u * 1024 * 1024 - 400; ++i, ms += 17 * 60 * 1000) {
        const LocalTime now = millisecondsToCalendar(ms).value_or(t);
        if (!text.empty()) text += "\r\n\r\n";
        text += "Rekal for Windows Ver.1.63 出題履歴\r\n[   時刻   ] ";
        text += std::to_string(now.year) + "年" + std::to_string(now.month) + "月" + std::to_string(now.day) +
                "日(" + kWeekdays[now.weekday] + ") " + std::to_string(now.hour) + "時" +
                std::to_string(now.minute) + "分\r\n";
        text += std::string("[ファイル名] C:\\drill\\") + (i % 3 ? "chapter" : "CHAPTER") +
                std::to_string((i * 7) % 40) + ".rkf\r\n";
        text += "[ 出題範囲 ] 1～400\r\n[ グループ ] 全般\r\n[ 出題方法 ] 一問のみ\r\n"
                "[解答モード] 記述式\r\n[  正解率  ] 100.00%\r\n[ 所要時間 ] 5秒\r\n"
                "順番,問題番号,正誤,所要時間,問題,答え,グループ,コメント\r\n";
        text += "1," + std::to_string(i % 400 + 1) + ",○,5秒,日本一高い山は？,富士山,全般,\r\n";
        if (i % 2) text += "2,7,×,3秒,\"1,000円\",本,全般,見て\r\n";
    }
    return text;
}

void BM_ParseManyRecords(benchmark::State& state) {
    const std::string& text = manyRecordsText();
    std::size_t entries = 0;
    for (auto _ : state) {
        ExamLog log = parseExamLog(text);
        entries = log.entries.size();
        benchmark::DoNotOptimize(log.entries.data());
    }
    state.counters["records"] = static_cast<double>(entries);
}

// Sorting and the tree in one order, from the entries in file order as the parse leaves them.
void BM_ViewerModel(benchmark::State& state) {
    const ExamLogOrder order = state.range(0) ? ExamLogOrder::ByFile : ExamLogOrder::ByDate;
    ExamLog log = parseExamLog(manyRecordsText());
    const std::vector<ExamLogEntry> inFileOrder = log.entries;
    std::size_t nodes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        log.entries = inFileOrder;
        state.ResumeTiming();
        const ExamLogTree tree = arrangeExamLog(log, order);
        nodes = tree.nodes.size();
        benchmark::DoNotOptimize(tree.nodes.data());
    }
    state.counters["nodes"] = static_cast<double>(nodes);
}

void BM_AppendAndTrim(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() / "rekal-bench-examlog.txt").string();
    std::ofstream(path, std::ios::binary) << logText();
    QuestionBook book;
    loadBench(book, 400);
    std::vector<ExamResult> results(50, ExamResult{1500, 3, Verdict::Right});
    ExamLogRecord record;
    record.start = LocalTime{2024, 5, 18, 6, 9, 0, 0, 0};
    record.filePath = book.path();
    record.last = 399;
    record.method = kMethodAll;
    record.right = 50;
    record.results = results;
    SilentNotifier quiet;
    for (auto _ : state)
        appendExamLog(path, kLogSizeKb, record, book, quiet);
    if (std::filesystem::file_size(path) > static_cast<std::uintmax_t>(kLogSizeKb) * 1024)
        state.SkipWithError("not trimmed");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * logText().size()));
    std::filesystem::remove(path);
}

} // namespace

int main(int argc, char** argv) {
    for (int n : {50000, 100000, 200000}) {
        benchmark::RegisterBenchmark("exam/count-in-range", BM_CountInRange)
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("exam/count-eligible", BM_CountEligible)
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("exam/load-book", BM_LoadBook)->Arg(100000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("exam/random-all-selection", BM_RandomAllSelection)
        ->Arg(100000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("exam/random-all-run", BM_RandomAllRun)
        ->Arg(100000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("exam/weak-pick-all-right", BM_WeakPickAllRight)
        ->Arg(100000)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("log/iconv", BM_Iconv)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("log/parse", BM_ParseLog)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("log/append-trim", BM_AppendAndTrim)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("log/parse-many-records", BM_ParseManyRecords)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("log/viewer-model", BM_ViewerModel)
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    rekal::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf(
        "\nexam log, 32 MB (target <= 2.00): parse / iconv %.2f, append+trim / iconv %.2f (real time)\n",
        reporter.ratio("log/parse", "log/iconv"), reporter.ratio("log/append-trim", "log/iconv"));
    std::printf("log viewer, 32 MB of short records (target <= 2.00): model by date / parse %.2f, by file / "
                "parse %.2f (CPU time)\n",
                reporter.ratio("log/viewer-model/0", "log/parse-many-records", true),
                reporter.ratio("log/viewer-model/1", "log/parse-many-records", true));
    std::printf("random-all over 100k: selection %.0f ms, whole run %.0f ms; load of the same book %.0f ms\n",
                reporter.times["exam/random-all-selection/100000"],
                reporter.times["exam/random-all-run/100000"], reporter.times["exam/load-book/100000"]);
    std::printf(
        "counting, 100k / 50k and 200k / 100k (linear: about 2; the larger book no longer fits in the\n"
        "cache): countInRange %.2f %.2f, countEligible %.2f %.2f (CPU time)\n",
        reporter.ratio("exam/count-in-range/100000", "exam/count-in-range/50000", true),
        reporter.ratio("exam/count-in-range/200000", "exam/count-in-range/100000", true),
        reporter.ratio("exam/count-eligible/100000", "exam/count-eligible/50000", true),
        reporter.ratio("exam/count-eligible/200000", "exam/count-eligible/100000", true));
    std::printf("weak-point pick over 100k all right / one count of 100k: %.2f (CPU time)\n",
                reporter.ratio("exam/weak-pick-all-right/100000", "exam/count-eligible/100000", true));
    return 0;
}
