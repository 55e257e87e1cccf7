// Question books written in UTF-8 and UTF-16: loading and saving the book of 100k questions in
// UTF-8 against the same book in code page 932, in memory (the file text parsed by the reader, and
// built by the writer). Targets: UTF-8 load and UTF-8 save each at most 1.5 times the code page 932
// ones. UTF-16 is measured beside them.

#include "bench_books.h"
#include "ratio_reporter.h"
#include "core/base/notifier.h"
#include "core/base/textcode.h"
#include "core/data/reader.h"
#include "core/data/save.h"

#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace rekal;

constexpr int kQuestions = 100000;

// The bench book in the encoding (the UTF-8 one converted with iconv, UTF-16 by the writer).
const std::string& textIn(TextEncoding encoding) {
    static std::map<TextEncoding, std::string> texts;
    auto it = texts.find(encoding);
    if (it == texts.end()) {
        const std::string cp932 = bench::makeBookText(kQuestions);
        std::string text;
        if (encoding == TextEncoding::Utf8) {
            text = cp932ToUtf8(cp932);
        } else {
            text = std::string(byteOrderMark(encoding));
            appendInEncoding(text, cp932, encoding);
        }
        it = texts.emplace(encoding, std::move(text)).first;
    }
    return it->second;
}

void BM_Load(benchmark::State& state) {
    const auto encoding = static_cast<TextEncoding>(state.range(0));
    const std::string& text = textIn(encoding);
    SilentNotifier quiet;
    const Settings settings = bench::bookSettings();
    for (auto _ : state) {
        QuestionBook book;
        if (!loadBookFromBytes(book, "bench.rkf", text, settings, quiet)) state.SkipWithError("load failed");
        if (book.encoding() != encoding) state.SkipWithError("read in another encoding");
    }
}

void BM_Save(benchmark::State& state) {
    const auto encoding = static_cast<TextEncoding>(state.range(0));
    SilentNotifier quiet;
    const Settings settings = bench::bookSettings();
    QuestionBook book;
    if (!loadBookFromBytes(book, "bench.rkf", textIn(encoding), settings, quiet))
        return state.SkipWithError("load failed");
    for (auto _ : state)
        benchmark::DoNotOptimize(formatBook(book, settings));
}

} // namespace

int main(int argc, char** argv) {
    const TextEncoding encodings[] = {TextEncoding::Cp932, TextEncoding::Utf8, TextEncoding::Utf16Le};
    for (TextEncoding e : encodings) {
        const std::string name(encodingName(e));
        benchmark::RegisterBenchmark(("load/" + name).c_str(), BM_Load)
            ->Arg(static_cast<int>(e))
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5);
        benchmark::RegisterBenchmark(("save/" + name).c_str(), BM_Save)
            ->Arg(static_cast<int>(e))
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5);
    }
    benchmark::Initialize(&argc, argv);
    rekal::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf(
        "\n%d questions, the fastest of five runs, CPU time against code page 932 (target <= 1.50):\n",
        kQuestions);
    for (TextEncoding e : encodings) {
        if (e == TextEncoding::Cp932) continue;
        const std::string name(encodingName(e));
        const std::string arg = "/" + std::to_string(static_cast<int>(e));
        std::printf("  %-15s load %.2f  save %.2f\n", name.c_str(),
                    reporter.ratio("load/" + name + arg, "load/CP932/0", true),
                    reporter.ratio("save/" + name + arg, "save/CP932/0", true));
    }
    return 0;
}
