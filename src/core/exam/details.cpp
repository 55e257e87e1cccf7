#include "core/exam/details.h"

#include "core/match/format.h"

#include <algorithm>

namespace rekal {

namespace {

// One line for a list cell: line breaks become spaces and each media tag byte a backslash, so the
// tags read as they were written in the file. Neither byte can be the trail byte of a
// double-byte character.
std::string oneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == kLineBreak)
            c = ' ';
        else if (c == kMediaTag)
            c = '\\';
    }
    return line;
}

int compareNumbers(long long a, long long b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

} // namespace

std::vector<DetailRow> detailRows(const std::vector<ExamResult>& results, const QuestionBook& book) {
    std::vector<DetailRow> rows;
    rows.reserve(results.size());
    int order = 0;
    for (const ExamResult& result : results) {
        DetailRow row;
        row.order = ++order;
        row.number = result.question + 1;
        row.verdict = result.verdict;
        row.ms = result.time;
        if (const QuestionCard* q = book.questionAt(result.question))
            row.question = oneLine(q->question.view());
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string detailCellText(const DetailRow& row, DetailColumn column) {
    switch (column) {
    case DetailColumn::Order:
        return std::to_string(row.order);
    case DetailColumn::Number:
        return std::to_string(row.number);
    case DetailColumn::Mark:
        return std::string(resultMark(static_cast<int>(row.verdict)));
    case DetailColumn::Time:
        return formatDuration(row.ms);
    case DetailColumn::Question:
        return row.question;
    }
    return {};
}

int compareDetailRows(const DetailRow& a, const DetailRow& b, DetailColumn column, bool ascending,
                      const TextCompare& compareText) {
    int order = 0;
    switch (column) {
    case DetailColumn::Order:
        order = compareNumbers(a.order, b.order);
        break;
    case DetailColumn::Number:
        order = compareNumbers(a.number, b.number);
        break;
    case DetailColumn::Time:
        order = compareNumbers(a.ms, b.ms);
        break;
    case DetailColumn::Mark:
    case DetailColumn::Question:
        order = compareText(detailCellText(a, column), detailCellText(b, column));
        order = order < 0 ? -1 : order > 0 ? 1 : 0;
        break;
    }
    if (!ascending) order = -order;
    return order != 0 ? order : compareNumbers(a.order, b.order);
}

void sortDetailRows(std::vector<DetailRow>& rows, DetailColumn column, bool ascending,
                    const TextCompare& compareText) {
    std::sort(rows.begin(), rows.end(), [&](const DetailRow& a, const DetailRow& b) {
        return compareDetailRows(a, b, column, ascending, compareText) < 0;
    });
}

} // namespace rekal
