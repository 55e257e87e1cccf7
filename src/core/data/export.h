#pragma once
// The export table: one row per question, comma- or tab-separated, for spreadsheets. Also the
// CSV-field form of a stored text that the export and the exam log share.

#include "core/base/notifier.h"
#include "core/data/book.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace rekal {

// Appends a stored text as one CSV field: double-byte characters copied whole, the media-tag byte
// written as a backslash (so tags read as written in the question file), each double quote doubled,
// and the whole field quoted when it holds a double quote, a comma or a line break.
void appendCsvField(std::string& out, std::string_view stored);

// The names of the table's ten columns, as its header row gives them (CP932).
extern const std::array<std::string_view, 10> kExportColumnNames;

// How the table's bytes are written: code page 932, or UTF-8 with a byte-order mark for programs
// that expect Unicode.
enum class ExportEncoding { Cp932, Utf8 };

// The whole table as it is written: header row, then the questions in book order, rows ended by
// CR LF. A question whose displayed answer does not exist keeps its row with an empty answer field;
// such rows are counted into missingAnswers when it is given.
std::string formatExportTable(const QuestionBook& book, bool commaSeparated, int* missingAnswers = nullptr);

// Writes the table to path through the crash-safe replace, so a failed export leaves any old file
// whole. Nothing happens without a loaded book. A file that cannot be written is told
// ("ファイル書き込みに失敗しました。") and gives false; rows written without an answer are told
// afterwards as a warning with their count.
bool exportBook(const QuestionBook& book, const std::filesystem::path& path, bool commaSeparated,
                Notifier& notifier, ExportEncoding encoding = ExportEncoding::Cp932);

} // namespace rekal
