// Table import on arbitrary tables: no crash; the question file it writes loads with no rejected
// line and one question per imported row; and, for plain fields, each question and answer reads back
// as the table's text with every character that has no place in a question file shown as 〓.
// Input: one byte of options (separator, HTML, sections, answers in several columns), then the table.

#include "core/base/notifier.h"
#include "core/base/unicode.h"
#include "core/data/import.h"
#include "core/data/reader.h"
#include "core/data/table.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kReplacement = "\x81\xAC"; // 〓

// A field as the import must write it when every character without a place is replaced.
std::string expectedText(std::string_view utf8) {
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = rekal::nextUtf8(utf8, pos);
        char code[2];
        const bool control = cp < 0x20 && cp != '\t' && cp != '\n';
        const int n = cp == rekal::kMalformed || control ? 0 : rekal::codePointToCp932(cp, code);
        if (n > 0)
            out.append(code, static_cast<std::size_t>(n));
        else
            out += kReplacement;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    const std::string_view table(reinterpret_cast<const char*>(data + 1), size - 1);
    rekal::ImportOptions options;
    static constexpr char kSeparators[] = {'\t', ',', ';', 0};
    options.separator = kSeparators[mode & 3];
    const bool html = (mode & 4) != 0;
    options.html = html ? 1 : 0;
    options.titleEvery = (mode & 8) ? 3 : 0;
    options.replace = (mode & 16) != 0;
    const bool wide = (mode & 32) != 0;
    if (wide) options.columns = *rekal::parseColumnRoles("q,a,a,h,w,c,g,t");

    rekal::Settings settings;
    for (rekal::FontSpec& font : settings.fonts)
        font.charSet = rekal::kCharSetShiftJis;
    rekal::ImportSummary summary;
    const std::string file = rekal::convertTable(table, options, settings, summary);
    if (summary.imported == 0) return 0;

    rekal::SilentNotifier quiet;
    rekal::QuestionBook book;
    rekal::LoadReport report;
    if (!rekal::loadBookFromBytes(book, "fuzz.rkf", file, settings, quiet, nullptr, &report)) std::abort();
    if (!report.rejectedLines.empty() || book.questionCount() != summary.imported) std::abort();
    if (html || wide || !options.replace) return 0;

    // Plain question and answer columns: walk the table again and compare text for text.
    const rekal::ByteOrderMark mark = rekal::findByteOrderMark(table);
    const std::string text = rekal::unicodeToUtf8(table.substr(mark.length), mark.form);
    const rekal::TableHeader header = rekal::readTableHeader(text);
    char separator = options.separator;
    for (const rekal::TableHeaderEntry& e : header.entries)
        if (e.key == "separator" && !separator) separator = rekal::separatorByName(e.value);
    if (!separator) separator = '\t';
    for (const rekal::TableHeaderEntry& e : header.entries)
        if (e.key.ends_with(" column") || e.key == "columns") return 0; // columns chosen by the header
    rekal::TableReader reader(text, separator, header.bodyStart);
    int n = 0;
    while (reader.next()) {
        std::string_view question = reader.field(0);
        std::string_view answer =
            reader.fieldCount() > 1 ? std::string_view(reader.field(1)) : std::string_view();
        if (question.empty()) continue; // a blank row, or one without a question
        const rekal::QuestionCard* q = book.questionAt(n++);
        if (!q) std::abort();
        if (n == 1 && reader.fieldCount() == 10 && q->question.view() != expectedText(question))
            return 0; // an export table's header row, which is no question
        if (q->question.view() != expectedText(question) || q->rawAnswer.view() != expectedText(answer))
            std::abort();
    }
    if (n != book.questionCount()) std::abort();
    return 0;
}
