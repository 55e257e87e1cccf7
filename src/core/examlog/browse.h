#pragma once
// What the exam-log viewer shows of a parsed log: the records sorted by date or by question file, the
// tree that groups them (years, months and days, or one node per file), the texts of one record, the
// widths of its question list, and the questions a re-exam of a record asks.

#include "core/data/book.h"
#include "core/exam/method.h"
#include "core/examlog/examlog.h"
#include "core/settings/settings.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

enum class ExamLogOrder { ByDate, ByFile };

// File names compared with ASCII letters folded to lower case; double-byte characters are compared
// as they stand, byte by byte (unsigned). Negative, zero or positive.
int compareFileNamesIgnoringCase(std::string_view a, std::string_view b);

// Sorts the entries in place: by date (time stamp, then file name) or by file (file name, then time
// stamp). An entry without a file line sorts as an empty name.
void sortExamLog(ExamLog& log, ExamLogOrder order);

// A run of sorted entries: first index and count, both as wide as the log itself.
struct ExamLogRange {
    std::size_t first = 0;
    std::size_t count = 0;
};

struct ExamLogNode {
    int parent = -1; // index of the parent node; -1 for the root
    std::string label;
    ExamLogRange range;
};

// The viewer's tree: the root "出題履歴" first, every parent before its children, siblings in order.
struct ExamLogTree {
    std::vector<ExamLogNode> nodes;
    std::vector<int> expanded; // nodes opened as the tree is shown, parents first
    int selected = 0;          // the node selected at first
};

// The tree of entries already sorted in this order. By date: year "%d年", month "%d月" and day
// "%d日(曜)" nodes, the latest year and month open and the latest day selected. By file: one node per
// run of equal file names (letter case ignored), the root selected.
ExamLogTree buildExamLogTree(const ExamLog& log, ExamLogOrder order);

// Sorts the entries and builds the tree for that order.
ExamLogTree arrangeExamLog(ExamLog& log, ExamLogOrder order);

// Record k (from 1) of a range; null when k is below 1 or above the range's count.
const ExamLogEntry* entryInRange(const ExamLog& log, ExamLogRange range, long long k);

// "%d年%d月%d日(曜) %d時%d分".
std::string examLogTimeText(const ExamLogTime& time);
// "(1～count)".
std::string examLogRangeText(std::size_t count);

// ---- the question list ----

// The list's items are the rows after the column header line.
std::size_t questionItemCount(const ExamLog& log, const ExamLogEntry& entry);

// The most columns the question list makes, however many fields a hand-edited header line holds.
inline constexpr std::size_t kMaxQuestionColumns = 32;

// The titles of the question list's columns: the fields of the column header line, the first
// kMaxQuestionColumns of them; empty for a record without rows.
std::span<const std::string_view> questionColumnTitles(const ExamLog& log, const ExamLogEntry& entry);

// Width of column c (from 0) at 96 dpi: the stored width for the first eight, and for further
// columns (a hand-edited header line) the width of the eighth.
int questionColumnWidth(const Settings& settings, std::size_t column);

// ---- re-exam ----

enum class ReexamChoice { Wrong, All, Selected };

ExamKind reexamKind(ReexamChoice choice);

// The question indices of a re-exam of the entry, list top to bottom: the question number (second
// field) less one of every item whose verdict (third field) is not "○" (Wrong), of every item (All),
// or of the items whose positions are in `selectedItems` (Selected). A number that cannot be read
// gives -1.
std::vector<int> collectReexamQuestions(const ExamLog& log, const ExamLogEntry& entry, ReexamChoice choice,
                                        const std::vector<std::size_t>& selectedItems);

// Drops the indices no question card stands behind (a file that has shrunk since the run), so that a
// re-exam of nothing is never started.
void keepExistingQuestions(const QuestionBook& book, std::vector<int>& questions);

// "出題する問題はありません。"
inline constexpr const char* kNoQuestionsToAsk = "出題する問題はありません。";

} // namespace rekal
