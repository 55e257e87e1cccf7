// drill FILE [options]: one exam in the terminal with the program's own engine. Each question is
// printed, standard input gives one answer line per question, end of input aborts as 中止 does.
// The book is saved after every run, merged with its file when something else wrote it meanwhile.

#include "cli/cli.h"
#include "cli/compare_args.h"
#include "core/data/reader.h"
#include "core/data/merge.h"
#include "core/exam/run.h"
#include "core/examlog/examlog.h"
#include "core/match/format.h"

#include <algorithm>
#include <cstdlib>

namespace rekal::cli {

namespace {

struct DrillOptions {
    std::string method = "all";
    std::optional<long> count;
    bool noRepeat = false;
    std::optional<long> strength;
    std::optional<int> mode;
    std::optional<std::pair<long, long>> questionRange;
    std::optional<std::pair<long, long>> titleRange;
    std::optional<std::vector<int>> groups;
    std::optional<std::uint32_t> seed;
    std::optional<std::filesystem::path> logPath;
    bool retry = false;
    bool retryRandom = false;
};

std::optional<std::pair<long, long>> parsePair(const std::string& text) {
    const std::size_t dash = text.find('-', 1);
    if (dash == std::string::npos) return std::nullopt;
    const std::optional<long> a = parseNumber(text.substr(0, dash));
    const std::optional<long> b = parseNumber(text.substr(dash + 1));
    if (!a || !b) return std::nullopt;
    return std::make_pair(*a, *b);
}

std::optional<std::vector<int>> parseGroups(const std::string& text) {
    std::vector<int> groups;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::optional<long> g = parseNumber(text.substr(at, comma - at));
        if (!g || *g < 0 || *g > 9) return std::nullopt;
        groups.push_back(static_cast<int>(*g));
        at = comma + 1;
    }
    return groups;
}

std::optional<int> parseMode(const std::string& name) {
    static const char* const kModes[] = {"standard", "written", "choice", "confirm"};
    for (int m = 0; m < 4; ++m) {
        if (name == kModes[m]) return m;
    }
    return std::nullopt;
}

// Reads the options after FILE; false on anything it does not know.
bool parseOptions(const std::vector<std::string>& args, DrillOptions& o) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
        if (a == "--no-repeat") {
            o.noRepeat = true;
        } else if (a == "--retry") {
            o.retry = true;
        } else if (a == "--retry-random") {
            o.retry = o.retryRandom = true;
        } else if (a == "--method" || a == "--count" || a == "--strength" || a == "--mode" ||
                   a == "--range" || a == "--titles" || a == "--groups" || a == "--seed" || a == "--log") {
            const std::string* v = value();
            if (!v) return false;
            if (a == "--method")
                o.method = *v;
            else if (a == "--count" && !(o.count = parseNumber(*v)))
                return false;
            else if (a == "--strength" && !(o.strength = parseNumber(*v)))
                return false;
            else if (a == "--mode" && !(o.mode = parseMode(*v)))
                return false;
            else if (a == "--range" && !(o.questionRange = parsePair(*v)))
                return false;
            else if (a == "--titles" && !(o.titleRange = parsePair(*v)))
                return false;
            else if (a == "--groups" && !(o.groups = parseGroups(*v)))
                return false;
            else if (a == "--log")
                o.logPath = argPath(*v);
            else if (a == "--seed" && !(o.seed = parseSeed(*v)))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

// The stored text for the terminal: media tags in their written form.
std::string terminalText(std::string_view stored) {
    std::string text(stored);
    std::replace(text.begin(), text.end(), kMediaTag, '\\');
    return text;
}

// The exam view and its dialogs in the terminal.
class TerminalScreen : public ExamScreen {
  public:
    TerminalScreen(CliContext& ctx, const QuestionBook& book, const DrillOptions& options)
        : ctx_(ctx), book_(book), options_(options) {}

    std::string line; // the answer line of the question on screen

    std::string answerEditText() override { return line; }
    void createChoiceButtons(const std::vector<Choice>& choices, bool) override { choices_ = &choices; }
    void removeQuestionControls() override { choices_ = nullptr; }

    void showQuestion(const QuestionCard& q, int index) override {
        std::string text = "[問題 " + std::to_string(index + 1) + "]\n";
        const TitleCard* title = book_.enclosingTitle(&q);
        if (title && !title->title.empty()) text += terminalText(title->title.view()) + "\n";
        text += terminalText(q.question.view()) + "\n";
        if (choices_) {
            for (std::size_t k = 0; k < choices_->size(); ++k)
                text += std::to_string(k + 1) + ". " + terminalText((*choices_)[k].text) + "\n";
        }
        printText(ctx_, text);
    }

    Verdict runAnswerDialog(const AnswerDialogInput& input) override {
        const std::string answer = terminalText(book_.displayAnswer(input.question).value_or(std::string()));
        if (input.confirmMode) {
            printText(ctx_, "答え：" + answer + "\n");
            if (line == "r") return Verdict::Right;
            if (line == "s") return Verdict::Skipped;
            return Verdict::Wrong; // "w", or anything else as Esc does
        }
        printText(ctx_, input.right ? std::string("○ 正解！\n") : "× " + answer + "\n");
        return Verdict::None;
    }

    bool confirmAbort() override { return true; }

    ResultDialogChoice runResultDialog(const ResultDialogInput& r) override {
        printText(ctx_, "出題数：" + std::to_string(r.asked) + "\n解答数：" +
                            std::to_string(r.right + r.wrong) + "\n正解数：" + std::to_string(r.right) +
                            "\n正解率：" + rateText(r.right, r.wrong) + "\n所要時間：" +
                            formatDuration(r.elapsedMs) + "\n");
        // Without --retry the dialog is closed without taking its boxes.
        return ResultDialogChoice{options_.retry, options_.retry, options_.retryRandom};
    }

  private:
    CliContext& ctx_;
    const QuestionBook& book_;
    const DrillOptions& options_;
    const std::vector<Choice>* choices_ = nullptr;
};

// Saves the book after every finished run (a retry run is one more), merging it with the file when
// something else wrote the file meanwhile, as the Windows program does.
class DrillSaver : public RunEndListener {
  public:
    explicit DrillSaver(CliContext& ctx) : ctx_(ctx) {}

    void runLogged(ExamRun& run, ExamEnv& env) override { save(run, env); }

    // The save at the end for what no run end saved; false when the book could not be saved.
    bool finish(ExamRun& run, ExamEnv& env) {
        if (env.book.isDirty()) save(run, env);
        return !env.book.isDirty();
    }

  private:
    void save(ExamRun& run, ExamEnv& env) {
        const BookSaveResult result = saveBookAfterRun(run, env, ctx_.notifier);
        // The terminal has no Save As to offer: the loss is told once, the book stays dirty.
        if (result.outcome == BookSave::FileLost && !lostTold_) {
            ctx_.notifier.error(bookFileLostText(env.book.file()));
            lostTold_ = true;
        }
    }

    CliContext& ctx_;
    bool lostTold_ = false;
};

// Applies the range, title and group options to the book; false with a message when they are not
// valid (the range dialog would refuse them).
const char* applyRange(QuestionBook& book, const DrillOptions& o) {
    if (o.groups) {
        for (int g = 1; g <= 9; ++g)
            book.setGroupEnabled(g, false);
        for (int g : *o.groups) {
            if (g > 0) book.setGroupEnabled(g, true);
        }
    }
    if (o.questionRange) {
        const auto [a, b] = *o.questionRange;
        if (a < 1 || b < a || b > book.questionCount()) return "question range out of bounds";
        book.setExamRange(static_cast<int>(a - 1), static_cast<int>(b - 1));
    } else if (o.titleRange) {
        const auto [a, b] = *o.titleRange;
        const std::optional<QuestionSpan> span =
            a <= b ? titleRangeToQuestions(book, static_cast<int>(a), static_cast<int>(b)) : std::nullopt;
        if (!span) return "title range out of bounds";
        book.setExamRange(span->first, span->last);
    }
    if (countEligible(book, examRangeOf(book)) == 0) return "no question to ask in the range";
    return nullptr;
}

bool startDrill(ExamRun& run, ExamEnv& env, const DrillOptions& o, int count) {
    if (o.method == "all") return startAllRun(run, env);
    if (o.method == "random-all") return startRandomAllRun(run, env);
    if (o.method == "count") return startRandomCountRun(run, env, count, o.noRepeat);
    if (o.method == "one") return startOneQuestionRun(run, env);
    if (o.method == "weak") return startWeakPointRun(run, env, count, o.noRepeat);
    return startCompleteRun(run, env);
}

} // namespace

int runDrillCommand(CliContext& ctx, const std::vector<std::string>& args) {
    static const char* kUsage =
        "usage: drill FILE [--method all|random-all|count|one|weak|complete] [--count N] "
        "[--no-repeat] [--strength N] [--mode standard|written|choice|confirm] "
        "[--range A-B | --titles A-B] [--groups 1,3,5] [--seed N] [--log PATH] "
        "[--retry] [--retry-random]";
    DrillOptions o;
    if (args.empty() || !parseOptions(args, o)) return usageError(kUsage);
    static const char* const kMethods[] = {"all", "random-all", "count", "one", "weak", "complete"};
    if (std::none_of(std::begin(kMethods), std::end(kMethods), [&](const char* m) { return o.method == m; }))
        return usageError(kUsage);
    if (o.strength && (*o.strength < 0 || *o.strength > 10)) return usageError("strength must be 0 to 10");

    QuestionBook book;
    if (!loadBook(book, argPath(args[0]), ctx.settings, ctx.notifier)) return kExitFailure;
    if (const char* problem = applyRange(book, o)) return usageError(problem);

    // The count as the count and weak-point dialogs accept it.
    const long count = o.count.value_or(ctx.settings.initialExamCount);
    const long maxCount = o.noRepeat ? countEligible(book, examRangeOf(book)) : 32767;
    if ((o.method == "count" || o.method == "weak") && (count < 1 || count > maxCount))
        return usageError("count out of range");

    if (o.mode) ctx.settings.answerMode = static_cast<std::uint8_t>(*o.mode);
    if (o.strength) ctx.settings.weakPointStrength = static_cast<int>(*o.strength);

    SystemClock clock;
    RandomGenerator random(o.seed ? *o.seed : clock.tickCount());
    TerminalScreen screen(ctx, book, o);
    ExamLogFile log(book, ctx.settings, clock, ctx.notifier);
    if (o.logPath) log.setPath(*o.logPath);
    ExamRun run;
    DrillSaver saver(ctx);
    ExamEnv env{book, ctx.settings, ctx.vague, random, clock, screen, &log, &saver};

    startDrill(run, env, o, static_cast<int>(count));
    while (run.active()) {
        if (!readTerminalLine(ctx.in, screen.line)) {
            onAbortCommand(run, env); // a retry it starts ends the same way
            continue;
        }
        screen.line = argToCp932(screen.line);
        if (run.choiceCount > 0) {
            const std::optional<long> k = parseNumber(screen.line);
            run.selectedChoice =
                k && *k >= 1 && *k <= run.choiceCount ? kFirstChoiceId + static_cast<int>(*k) - 1 : 0;
        }
        onAnswerCommand(run, env);
    }
    return saver.finish(run, env) ? kExitOk : kExitFailure;
}

} // namespace rekal::cli
