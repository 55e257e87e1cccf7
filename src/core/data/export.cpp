#include "core/data/export.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "core/base/sjis.h"
#include "core/base/textcode.h"

#include <cstdio>

namespace rekal {

void appendCsvField(std::string& out, std::string_view stored) {
    bool quote = false;
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char c = stored[i];
        if (isDoubleByteAt(stored, i)) {
            out += c;
            out += stored[++i];
            continue;
        }
        if (c == kMediaTag) {
            out += '\\';
            continue;
        }
        if (c == '"') {
            out += "\"\"";
            quote = true;
            continue;
        }
        if (c == ',' || c == kLineBreak) quote = true;
        out += c;
    }
    if (quote) {
        out.insert(start, 1, '"');
        out += '"';
    }
}

const std::array<std::string_view, 10> kExportColumnNames = {
    "問題番号",  "問題",      "答え",      "正誤履歴5", "正誤履歴4",
    "正誤履歴3", "正誤履歴2", "正誤履歴1", "グループ",  "コメント"};

std::string formatExportTable(const QuestionBook& book, bool commaSeparated, int* missingAnswers) {
    const char separator = commaSeparated ? ',' : '\t';
    std::string out;
    for (std::string_view name : kExportColumnNames) {
        if (name != kExportColumnNames[0]) out += separator;
        out += name;
    }
    out += "\r\n";
    const int count = book.questionCount();
    int missing = 0;
    for (int n = 0; n < count; ++n) {
        const QuestionCard* q = book.questionAt(n);
        out += std::to_string(n + 1);
        out += separator;
        appendCsvField(out, q->question.view());
        out += separator;
        const std::optional<std::string> answer = book.displayAnswer(q);
        if (answer)
            appendCsvField(out, *answer);
        else
            ++missing;
        for (int bit = 0; bit < 5; ++bit) {
            out += separator;
            out += (q->history >> bit) & 1 ? "○" : "×";
        }
        out += separator;
        appendCsvField(out, book.groupName(q->group).value_or(std::string()));
        out += separator;
        appendCsvField(out, q->comment.view());
        out += "\r\n";
    }
    if (missingAnswers) *missingAnswers = missing;
    return out;
}

bool exportBook(const QuestionBook& book, const std::filesystem::path& path, bool commaSeparated,
                Notifier& notifier, ExportEncoding encoding) {
    if (!book.isLoaded()) return false;
    // Written like the book itself: a table exported over an older one keeps that file's
    // permissions, and a failed write leaves it whole.
    int missing = 0;
    std::string table = formatExportTable(book, commaSeparated, &missing);
    if (encoding == ExportEncoding::Utf8) table = "\xEF\xBB\xBF" + cp932ToUtf8(table);
    if (!replaceFileContents(path, table)) {
        notifier.error(msg::kWriteFailed);
        return false;
    }
    if (missing > 0) {
        char text[128];
        std::snprintf(text, sizeof text,
                      "答えのない問題が %d 問ありました。その答えの欄は空で書き出しました。", missing);
        notifier.warning(text);
    }
    return true;
}

} // namespace rekal
