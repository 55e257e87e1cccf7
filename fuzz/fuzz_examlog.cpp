// Exam-log reader on arbitrary bytes: no crash, no access outside the text, every row and field it
// reports lies inside the parsed log, and a second parse of the same bytes gives the same log. The
// viewer's model of the log: in both orders the entries come out sorted, the tree's children split
// their parent's range without gaps, and a re-exam of all the questions of a record takes each item.

#include "core/examlog/browse.h"
#include "core/examlog/examlog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::size_t touch(const rekal::ExamLog& log) {
    std::size_t sum = 0;
    for (const rekal::ExamLogEntry& e : log.entries) {
        if (std::size_t(e.firstRow) + e.rowCount > log.rows.size()) std::abort();
        if (e.time.month > 255 || e.time.weekday > 6) std::abort();
        for (const auto* text : {&e.file, &e.range, &e.groups, &e.method, &e.mode, &e.rate, &e.elapsed})
            if (*text)
                for (char c : **text)
                    sum += static_cast<unsigned char>(c);
        for (const rekal::ExamLogRow& row : log.rowsOf(e)) {
            if (std::size_t(row.firstField) + row.fieldCount > log.fields.size()) std::abort();
            if (row.fieldCount == 0) std::abort(); // a row always has at least one field
            for (std::string_view field : log.fieldsOf(row))
                for (char c : field)
                    sum += static_cast<unsigned char>(c);
        }
    }
    return sum;
}

void checkModel(rekal::ExamLog& log, rekal::ExamLogOrder order) {
    const rekal::ExamLogTree tree = rekal::arrangeExamLog(log, order);
    if (tree.nodes.empty() || tree.nodes[0].range.count != log.entries.size()) std::abort();
    std::vector<std::size_t> next(tree.nodes.size()); // where the next child of each node must start
    for (std::size_t i = 0; i < tree.nodes.size(); ++i)
        next[i] = tree.nodes[i].range.first;
    for (std::size_t i = 1; i < tree.nodes.size(); ++i) {
        const rekal::ExamLogNode& n = tree.nodes[i];
        if (n.parent < 0 || static_cast<std::size_t>(n.parent) >= i || n.range.count == 0) std::abort();
        if (n.range.first != next[static_cast<std::size_t>(n.parent)]) std::abort();
        next[static_cast<std::size_t>(n.parent)] += n.range.count;
    }
    for (std::size_t i = 0; i < tree.nodes.size(); ++i) {
        const bool hasChildren = next[i] != tree.nodes[i].range.first;
        if (hasChildren && next[i] != tree.nodes[i].range.first + tree.nodes[i].range.count) std::abort();
    }
    for (std::size_t i = 1; i < log.entries.size(); ++i) {
        const rekal::ExamLogEntry& a = log.entries[i - 1];
        const rekal::ExamLogEntry& b = log.entries[i];
        const int files = rekal::compareFileNamesIgnoringCase(a.file.value_or(""), b.file.value_or(""));
        const auto ta =
            std::tie(a.time.year, a.time.month, a.time.day, a.time.hour, a.time.minute, a.time.second);
        const auto tb =
            std::tie(b.time.year, b.time.month, b.time.day, b.time.hour, b.time.minute, b.time.second);
        const bool inOrder = order == rekal::ExamLogOrder::ByDate ? (ta < tb || (ta == tb && files <= 0))
                                                                  : (files < 0 || (files == 0 && ta <= tb));
        if (!inOrder) std::abort();
    }
    for (const rekal::ExamLogEntry& e : log.entries)
        if (rekal::collectReexamQuestions(log, e, rekal::ReexamChoice::All, {}).size() !=
            rekal::questionItemCount(log, e))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    rekal::ExamLog log = rekal::parseExamLog(bytes);
    const rekal::ExamLog again = rekal::parseExamLog(bytes);
    if (log.entries.size() != again.entries.size() || log.rows.size() != again.rows.size() ||
        log.fields.size() != again.fields.size() || touch(log) != touch(again))
        std::abort();
    // Quoted fields only ever shrink: the fields together never hold more bytes than the input.
    std::size_t total = 0;
    for (std::string_view f : log.fields)
        total += f.size();
    if (total > size) std::abort();
    checkModel(log, rekal::ExamLogOrder::ByDate);
    checkModel(log, rekal::ExamLogOrder::ByFile);
    return 0;
}
