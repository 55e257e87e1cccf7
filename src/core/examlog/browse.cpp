#include "core/examlog/browse.h"

#include "core/base/sjis.h"
#include "core/examlog/labels.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <numeric>

namespace rekal {

namespace {

using namespace examlog;

constexpr const char* kRootLabel = "出題履歴";
constexpr const char* kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
constexpr std::string_view kRightMark = "○";

char foldLetter(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The name with its ASCII letters in lower case and its double-byte characters as they stand: two
// folded names compare with memcmp as compareFileNamesIgnoringCase compares the originals.
void appendFolded(std::string& out, std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (isDoubleByteAt(name, i)) {
            out += name[i];
            out += name[++i];
        } else {
            out += foldLetter(name[i]);
        }
    }
}

// The bytes of a name as appendFolded gives them, one at a time; -1 after the last.
class FoldedBytes {
  public:
    explicit FoldedBytes(std::string_view name) : name_(name) {}
    int next() {
        if (i_ >= name_.size()) return -1;
        char c = name_[i_];
        if (trail_)
            trail_ = false;
        else if (isDoubleByteAt(name_, i_))
            trail_ = true;
        else
            c = foldLetter(c);
        ++i_;
        return static_cast<unsigned char>(c);
    }

  private:
    std::string_view name_;
    std::size_t i_ = 0;
    bool trail_ = false;
};

std::uint64_t timeKey(const ExamLogTime& t) {
    return (std::uint64_t{t.year} << 40) | (std::uint64_t{t.month} << 32) | (std::uint64_t{t.day} << 24) |
           (std::uint64_t{t.hour} << 16) | (std::uint64_t{t.minute} << 8) | t.second;
}

std::string_view fileOf(const ExamLogEntry& entry) {
    return entry.file.value_or(std::string_view());
}

int compareBytes(std::string_view a, std::string_view b) {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c != 0) return c;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// The sort keys of every entry, worked out once: the packed time stamp and the folded file name.
struct SortKeys {
    std::vector<std::uint64_t> times;
    std::string folded;
    std::vector<std::size_t> starts; // entry i's folded name is [starts[i], starts[i + 1])

    explicit SortKeys(const std::vector<ExamLogEntry>& entries) {
        times.reserve(entries.size());
        starts.reserve(entries.size() + 1);
        std::size_t bytes = 0;
        for (const ExamLogEntry& e : entries)
            bytes += fileOf(e).size();
        folded.reserve(bytes);
        for (const ExamLogEntry& e : entries) {
            times.push_back(timeKey(e.time));
            starts.push_back(folded.size());
            appendFolded(folded, fileOf(e));
        }
        starts.push_back(folded.size());
    }
    std::string_view name(std::uint32_t i) const {
        return std::string_view(folded).substr(starts[i], starts[i + 1] - starts[i]);
    }
    int compareNames(std::uint32_t a, std::uint32_t b) const { return compareBytes(name(a), name(b)); }
    int compareTimes(std::uint32_t a, std::uint32_t b) const {
        return times[a] < times[b] ? -1 : times[a] > times[b] ? 1 : 0;
    }
};

// Opens a node under `parent` for the entries from `first` on; its count grows as entries join it.
int addNode(ExamLogTree& tree, int parent, std::string label, std::size_t first) {
    tree.nodes.push_back(ExamLogNode{parent, std::move(label), ExamLogRange{first, 0}});
    return static_cast<int>(tree.nodes.size()) - 1;
}

std::string numberWith(int number, std::string_view unit) {
    std::string text = std::to_string(number);
    text += unit;
    return text;
}

const char* weekdayName(int weekday) {
    return weekday >= 0 && weekday < 7 ? kWeekdays[weekday] : "";
}

void buildByDate(const ExamLog& log, ExamLogTree& tree) {
    int year = -1, month = -1, day = -1;
    const ExamLogTime* previous = nullptr;
    for (std::size_t i = 0; i < log.entries.size(); ++i) {
        const ExamLogTime& t = log.entries[i].time;
        const bool newYear = !previous || t.year != previous->year;
        const bool newMonth = newYear || t.month != previous->month;
        const bool newDay = newMonth || t.day != previous->day;
        if (newYear) year = addNode(tree, 0, numberWith(t.year, kYear), i);
        if (newMonth) month = addNode(tree, year, numberWith(t.month, kMonth), i);
        if (newDay) {
            std::string label = numberWith(t.day, kDay);
            label += '(';
            label += weekdayName(t.weekday);
            label += ')';
            day = addNode(tree, month, std::move(label), i);
        }
        for (int node : {year, month, day})
            ++tree.nodes[static_cast<std::size_t>(node)].range.count;
        previous = &t;
    }
    tree.expanded.push_back(0);
    if (day >= 0) {
        tree.expanded.push_back(year);
        tree.expanded.push_back(month);
        tree.selected = day;
    }
}

void buildByFile(const ExamLog& log, ExamLogTree& tree) {
    int node = -1;
    for (std::size_t i = 0; i < log.entries.size(); ++i) {
        const std::string_view file = fileOf(log.entries[i]);
        if (node < 0 || compareFileNamesIgnoringCase(file, fileOf(log.entries[i - 1])) != 0)
            node = addNode(tree, 0, std::string(file), i);
        ++tree.nodes[static_cast<std::size_t>(node)].range.count;
    }
    tree.expanded.push_back(0);
}

// A decimal number as a C runtime reads one: leading blanks, a sign, digits up to the first other
// byte; 0 when there are none. Clamped to the int range.
long long readDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), INT_MAX);
    return negative ? -value : value;
}

std::string_view fieldOr(std::span<const std::string_view> fields, std::size_t i) {
    return i < fields.size() ? fields[i] : std::string_view();
}

} // namespace

int compareFileNamesIgnoringCase(std::string_view a, std::string_view b) {
    FoldedBytes x(a), y(b);
    for (;;) {
        const int p = x.next(), q = y.next();
        if (p != q || p < 0) return p < q ? -1 : p > q ? 1 : 0;
    }
}

void sortExamLog(ExamLog& log, ExamLogOrder order) {
    std::vector<ExamLogEntry>& entries = log.entries;
    const SortKeys keys(entries);
    std::vector<std::uint32_t> index(entries.size());
    std::iota(index.begin(), index.end(), 0u);
    const auto byDate = [&keys](std::uint32_t a, std::uint32_t b) {
        if (const int c = keys.compareTimes(a, b)) return c < 0;
        if (const int c = keys.compareNames(a, b)) return c < 0;
        return a < b;
    };
    const auto byFile = [&keys](std::uint32_t a, std::uint32_t b) {
        if (const int c = keys.compareNames(a, b)) return c < 0;
        if (const int c = keys.compareTimes(a, b)) return c < 0;
        return a < b;
    };
    if (order == ExamLogOrder::ByDate)
        std::sort(index.begin(), index.end(), byDate);
    else
        std::sort(index.begin(), index.end(), byFile);
    std::vector<ExamLogEntry> sorted;
    sorted.reserve(entries.size());
    for (std::uint32_t i : index)
        sorted.push_back(entries[i]);
    entries.swap(sorted);
}

ExamLogTree buildExamLogTree(const ExamLog& log, ExamLogOrder order) {
    ExamLogTree tree;
    addNode(tree, -1, kRootLabel, 0);
    tree.nodes[0].range.count = log.entries.size();
    if (order == ExamLogOrder::ByDate)
        buildByDate(log, tree);
    else
        buildByFile(log, tree);
    return tree;
}

ExamLogTree arrangeExamLog(ExamLog& log, ExamLogOrder order) {
    sortExamLog(log, order);
    return buildExamLogTree(log, order);
}

const ExamLogEntry* entryInRange(const ExamLog& log, ExamLogRange range, long long k) {
    if (k < 1 || static_cast<unsigned long long>(k) > range.count) return nullptr;
    const std::size_t i = range.first + static_cast<std::size_t>(k - 1);
    return i < log.entries.size() ? &log.entries[i] : nullptr;
}

std::string examLogTimeText(const ExamLogTime& t) {
    std::string text = numberWith(t.year, kYear);
    text += numberWith(t.month, kMonth);
    text += numberWith(t.day, kDay);
    text += '(';
    text += weekdayName(t.weekday);
    text += ") ";
    text += numberWith(t.hour, kHour);
    text += numberWith(t.minute, kMinute);
    return text;
}

std::string examLogRangeText(std::size_t count) {
    std::string text = "(1～";
    text += std::to_string(count);
    text += ')';
    return text;
}

std::size_t questionItemCount(const ExamLog& log, const ExamLogEntry& entry) {
    return log.rowsOf(entry).size() > 1 ? log.rowsOf(entry).size() - 1 : 0;
}

std::span<const std::string_view> questionColumnTitles(const ExamLog& log, const ExamLogEntry& entry) {
    const std::span<const ExamLogRow> rows = log.rowsOf(entry);
    if (rows.empty()) return {};
    const std::span<const std::string_view> titles = log.fieldsOf(rows[0]);
    return titles.first(std::min(titles.size(), kMaxQuestionColumns));
}

int questionColumnWidth(const Settings& settings, std::size_t column) {
    const std::size_t stored = settings.examListWidth.size();
    return settings.examListWidth[std::min(column, stored - 1)];
}

ExamKind reexamKind(ReexamChoice choice) {
    switch (choice) {
    case ReexamChoice::Wrong:
        return KindRetryWrong;
    case ReexamChoice::All:
        return KindReexamAll;
    case ReexamChoice::Selected:
        return KindReexamSelected;
    }
    return KindRetryWrong;
}

std::vector<int> collectReexamQuestions(const ExamLog& log, const ExamLogEntry& entry, ReexamChoice choice,
                                        const std::vector<std::size_t>& selectedItems) {
    const std::span<const ExamLogRow> rows = log.rowsOf(entry);
    const std::size_t items = questionItemCount(log, entry);
    std::vector<bool> taken(items, choice == ReexamChoice::All);
    if (choice == ReexamChoice::Selected) {
        for (std::size_t item : selectedItems)
            if (item < items) taken[item] = true;
    } else if (choice == ReexamChoice::Wrong) {
        for (std::size_t item = 0; item < items; ++item)
            taken[item] = fieldOr(log.fieldsOf(rows[item + 1]), 2) != kRightMark;
    }
    std::vector<int> questions;
    for (std::size_t item = 0; item < items; ++item) {
        if (!taken[item]) continue;
        questions.push_back(static_cast<int>(readDecimal(fieldOr(log.fieldsOf(rows[item + 1]), 1)) - 1));
    }
    return questions;
}

void keepExistingQuestions(const QuestionBook& book, std::vector<int>& questions) {
    std::erase_if(questions, [&book](int q) { return book.questionAt(q) == nullptr; });
}

} // namespace rekal
