#include "core/examlog/examlog.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "core/data/export.h"
#include "core/examlog/labels.h"
#include "core/match/format.h"

#include <cstdio>
#include <new>

namespace rekal {

namespace {

using namespace examlog;

constexpr std::string_view kCrLf = "\r\n";

// "[" + the label centred in ten bytes + "] " + the value, CR LF.
void appendLabelled(std::string& out, std::string_view label, std::string_view value) {
    const int padding = label.size() < 10 ? 10 - static_cast<int>(label.size()) : 0;
    out += '[';
    out.append(static_cast<std::size_t>(padding / 2), ' ');
    out += label;
    out.append(static_cast<std::size_t>(padding - padding / 2), ' ');
    out += "] ";
    out += value;
    out += kCrLf;
}

std::string timeStampText(const LocalTime& t) {
    static constexpr const char* kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
    const char* weekday = t.weekday >= 0 && t.weekday < 7 ? kWeekdays[t.weekday] : "";
    std::string text = std::to_string(t.year);
    text += kYear;
    text += std::to_string(t.month);
    text += kMonth;
    text += std::to_string(t.day);
    text += kDay;
    text += '(';
    text += weekday;
    text += ") ";
    text += std::to_string(t.hour);
    text += kHour;
    text += std::to_string(t.minute);
    text += kMinute;
    return text;
}

std::string groupsText(const ExamLogRecord& record, const QuestionBook& book) {
    std::string text = book.groupName(0).value_or(std::string());
    for (int g = 1; g <= 9; ++g) {
        if (!record.groups[static_cast<std::size_t>(g - 1)]) continue;
        text += ',';
        appendCsvField(text, book.groupName(g).value_or(std::string()));
    }
    return text;
}

bool writeAll(std::FILE* f, std::string_view bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

// The first byte after the first run of at least two CR LF pairs, unless it is the window's last byte.
// A byte that breaks a run starts no new one, even a CR.
std::optional<std::size_t> firstByteAfterBlankLine(std::string_view window) {
    std::size_t k = 0;
    for (std::size_t i = 0; i < window.size(); ++i) {
        const char expected = k % 2 == 0 ? '\r' : '\n';
        if (window[i] == expected) {
            ++k;
            continue;
        }
        if (k >= 4 && k % 2 == 0) {
            if (i + 1 == window.size()) return std::nullopt;
            return i;
        }
        k = 0;
    }
    return std::nullopt;
}

// Drops whole records from the beginning until the file fits in limit bytes.
void trimExamLog(const std::filesystem::path& path, std::size_t limit, Notifier& notifier) {
    std::string tail;
    {
        FilePtr file = openFile(path, "rb");
        if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
            notifier.error(msg::kWriteFailed);
            return;
        }
#ifdef _WIN32
        const long long size = _ftelli64(file.get());
#else
        const long long size = ftello(file.get());
#endif
        if (size < 0) {
            notifier.error(msg::kWriteFailed);
            return;
        }
        if (static_cast<unsigned long long>(size) <= limit) return;
#ifdef _WIN32
        const bool seeked = _fseeki64(file.get(), -static_cast<long long>(limit), SEEK_END) == 0;
#else
        const bool seeked = fseeko(file.get(), -static_cast<off_t>(limit), SEEK_END) == 0;
#endif
        if (!seeked) {
            notifier.error(msg::kWriteFailed);
            return;
        }
        try {
            tail.resize(limit);
        } catch (const std::bad_alloc&) {
            notifier.error(msg::kOutOfMemory);
            return;
        }
        if (std::fread(tail.data(), 1, limit, file.get()) != limit) {
            notifier.error(msg::kReadFailed);
            return;
        }
    }
    const std::optional<std::size_t> keep = firstByteAfterBlankLine(tail);
    if (!keep) return;
    if (!replaceFileContents(path, std::string_view(tail).substr(*keep))) notifier.error(msg::kWriteFailed);
}

} // namespace

ExamLogRecord examLogRecordOf(const ExamRun& run, const QuestionBook& book, const Settings& settings,
                              const LocalTime& now) {
    ExamLogRecord record;
    record.start = timeBefore(now, run.elapsedMs);
    record.filePath = book.path();
    record.first = run.range.first;
    record.last = run.range.last;
    record.groups = run.range.groups;
    record.method = run.method;
    record.answerMode = settings.answerMode;
    record.right = run.right;
    record.wrong = run.wrong;
    record.elapsedMs = run.elapsedMs;
    const std::size_t asked =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(run.asked, 0)), run.results.size());
    record.results = std::span<const ExamResult>(run.results.data(), asked);
    return record;
}

FormattedRecord formatExamLogRecord(const ExamLogRecord& record, const QuestionBook& book) {
    FormattedRecord out;
    std::string& head = out.head;
    head += "Rekal for Windows Ver.1.63 出題履歴\r\n";
    appendLabelled(head, kLabelTime, timeStampText(record.start));
    appendLabelled(head, kLabelFile, record.filePath);
    appendLabelled(head, kLabelRange,
                   std::to_string(record.first + 1) + "～" + std::to_string(record.last + 1));
    appendLabelled(head, kLabelGroups, groupsText(record, book));
    appendLabelled(head, kLabelMethod, methodName(record.method));
    appendLabelled(head, kLabelMode, answerModeName(record.answerMode));
    appendLabelled(head, kLabelRate, rateText(record.right, record.wrong));
    appendLabelled(head, kLabelElapsed, formatDuration(record.elapsedMs));
    head += "順番,問題番号,正誤,所要時間,問題,答え,グループ,コメント\r\n";

    std::string& lines = out.details;
    int order = 0;
    for (const ExamResult& result : record.results) {
        const QuestionCard* q = book.questionAt(result.question);
        std::optional<std::string> answer = book.displayAnswer(q);
        if (!q || !answer) {
            out.detailsComplete = false;
            break;
        }
        lines += std::to_string(++order);
        lines += ',';
        lines += std::to_string(result.question + 1);
        lines += ',';
        lines += resultMark(static_cast<int>(result.verdict));
        lines += ',';
        lines += formatDuration(result.time);
        lines += ',';
        appendCsvField(lines, q->question.view());
        lines += ',';
        appendCsvField(lines, *answer);
        lines += ',';
        appendCsvField(lines, book.groupName(q->group).value_or(std::string()));
        lines += ',';
        appendCsvField(lines, q->comment.view());
        lines += kCrLf;
    }
    return out;
}

std::optional<std::size_t> trimStart(std::string_view log, std::size_t limit) {
    if (limit == 0 || log.size() <= limit) return std::nullopt;
    const std::optional<std::size_t> at = firstByteAfterBlankLine(log.substr(log.size() - limit));
    if (!at) return std::nullopt;
    return log.size() - limit + *at;
}

void appendExamLog(const std::filesystem::path& file, int sizeKb, const ExamLogRecord& record,
                   const QuestionBook& book, Notifier& notifier) {
    const FormattedRecord text = formatExamLogRecord(record, book);
    {
        FilePtr f = openFile(file, "ab");
        if (!f || std::fseek(f.get(), 0, SEEK_END) != 0) {
            notifier.error(msg::kWriteFailed);
            return;
        }
        const bool empty = std::ftell(f.get()) == 0;
        std::string head;
        head.reserve(text.head.size() + 4);
        if (!empty) head += "\r\n\r\n";
        head += text.head;
        if (!writeAll(f.get(), head) || std::fflush(f.get()) != 0) {
            notifier.error(msg::kWriteFailed);
            return;
        }
        bool ok = writeAll(f.get(), text.details);
        if (std::fclose(f.release()) != 0) ok = false;
        if (!ok) notifier.error(msg::kWriteFailed);
    }
    if (sizeKb > 0) trimExamLog(file, static_cast<std::size_t>(sizeKb) * 1024, notifier);
}

void ExamLogFile::appendRun(const ExamRun& run) {
    const ExamLogRecord record = examLogRecordOf(run, book_, settings_, clock_.localTime());
    if (busy_) busy_->beginBusy(kSavingStatus);
    // The settings' log name is CP932 text from the settings file.
    appendExamLog(path_ ? *path_ : nativePath(settings_.examLogName), settings_.examLogSize, record, book_,
                  notifier_);
    if (busy_) busy_->endBusy();
}

} // namespace rekal
