// Exam-log reader on arbitrary bytes: no crash, no access outside the text, every row and field it
// reports lies inside the parsed log, and a second parse of the same bytes gives the same log.

#include "core/examlog/examlog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const rekal::ExamLog log = rekal::parseExamLog(bytes);
    const rekal::ExamLog again = rekal::parseExamLog(bytes);
    if (log.entries.size() != again.entries.size() || log.rows.size() != again.rows.size() ||
        log.fields.size() != again.fields.size() || touch(log) != touch(again))
        std::abort();
    // Quoted fields only ever shrink: the fields together never hold more bytes than the input.
    std::size_t total = 0;
    for (std::string_view f : log.fields)
        total += f.size();
    if (total > size) std::abort();
    return 0;
}
