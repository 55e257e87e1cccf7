#pragma once
// The exam log, EXAMLOG.TXT: one record per exam run appended at the run's end, the file kept within
// its size limit by dropping whole records from its beginning, and the reader that parses the file
// back for the log viewer.

#include "core/base/notifier.h"
#include "core/data/book.h"
#include "core/exam/clock.h"
#include "core/exam/run.h"
#include "core/exam/selection.h"
#include "core/settings/settings.h"

#include <array>
#include <memory>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// ---- writing ----

// What one record says about a run.
struct ExamLogRecord {
    LocalTime start; // the run's start (local time)
    std::string filePath;
    int first = 0; // question indices of the range
    int last = -1;
    std::array<bool, 9> groups{}; // flags of groups 1 to 9
    ExamMethod method = 0;
    int answerMode = 0;
    int right = 0;
    int wrong = 0;
    std::uint32_t elapsedMs = 0;
    std::span<const ExamResult> results; // the asked questions, in asking order
};

// The record of a run that ended now (its start is now less its elapsed time).
ExamLogRecord examLogRecordOf(const ExamRun& run, const QuestionBook& book, const Settings& settings,
                              const LocalTime& now);

// The record's lines, CR LF ended: header, the eight labelled lines and the column header line
// (head), then one line per asked question (details). The detail lines stop at a result whose
// question or displayed answer does not exist (detailsComplete false).
struct FormattedRecord {
    std::string head;
    std::string details;
    bool detailsComplete = true;
};
FormattedRecord formatExamLogRecord(const ExamLogRecord& record, const QuestionBook& book);

// Where a trim of a log of these bytes to limit bytes keeps from: the first byte after the first run
// of at least two CR LF pairs within the last limit bytes; none when the file is within the limit,
// there is no such run, or the run ends at the last byte.
std::optional<std::size_t> trimStart(std::string_view log, std::size_t limit);

// Appends the record to the log at path (two empty lines before it unless the file is empty), then
// trims the file to sizeKb kilobytes (0 = no limit). The kept tail replaces the file in one safe
// step, so a failed write leaves the whole log. Failures are told through the notifier.
void appendExamLog(const std::filesystem::path& path, int sizeKb, const ExamLogRecord& record,
                   const QuestionBook& book, Notifier& notifier);

// The exam engine's log: appends each run to the settings' log file.
class ExamLogFile : public ExamLogSink {
  public:
    ExamLogFile(const QuestionBook& book, const Settings& settings, ExamClock& clock, Notifier& notifier)
        : book_(book), settings_(settings), clock_(clock), notifier_(notifier) {}
    // Another file than the settings' ExamLogName (rekal-cli --log).
    void setPath(std::filesystem::path path) { path_ = std::move(path); }
    // Told "保存中..." while a record is written (the window's status text and wait cursor).
    void setBusyIndicator(BusyIndicator* busy) { busy_ = busy; }
    void appendRun(const ExamRun& run) override;

  private:
    const QuestionBook& book_;
    const Settings& settings_;
    ExamClock& clock_;
    Notifier& notifier_;
    std::optional<std::filesystem::path> path_;
    BusyIndicator* busy_ = nullptr;
};

// The status text while the log is written.
inline constexpr const char* kSavingStatus = "保存中...";

// ---- reading ----

struct ExamLogTime {
    std::uint16_t year = 0;
    std::uint8_t month = 0, day = 0, weekday = 0, hour = 0, minute = 0, second = 0;
};

// One line of fields after the labelled lines: row 0 is the column header line.
struct ExamLogRow {
    std::uint32_t firstField = 0; // into ExamLog::fields
    std::uint32_t fieldCount = 0;
};

struct ExamLogEntry {
    ExamLogTime time;
    // The rest of each labelled line; absent when the record has no such line.
    std::optional<std::string_view> file, range, groups, method, mode, rate, elapsed;
    std::uint32_t firstRow = 0; // into ExamLog::rows
    std::uint32_t rowCount = 0;
};

// A parsed log. Every text is a view into the log's own copy of the file, which lives as long as the
// log and moves with it.
class ExamLog {
  public:
    std::vector<ExamLogEntry> entries;

    std::span<const ExamLogRow> rowsOf(const ExamLogEntry& entry) const {
        return std::span<const ExamLogRow>(rows).subspan(entry.firstRow, entry.rowCount);
    }
    std::span<const std::string_view> fieldsOf(const ExamLogRow& row) const {
        return std::span<const std::string_view>(fields).subspan(row.firstField, row.fieldCount);
    }

    std::vector<ExamLogRow> rows;
    std::vector<std::string_view> fields;

  private:
    friend ExamLog parseExamLog(std::string text);
    std::unique_ptr<std::string> text_;
};

// Parses log text (tolerant: stray text before the first record, any spacing in the brackets,
// unknown labels, the older label "解答方法", empty lines anywhere).
ExamLog parseExamLog(std::string text);

// Reads and parses the log file; none after telling why ("ファイルが見つかりません。",
// "ファイル読み込みに失敗しました。").
std::optional<ExamLog> readExamLog(const std::filesystem::path& path, Notifier& notifier);

} // namespace rekal
