#pragma once
// Bringing a deck in: a UTF-8 or UTF-16 table from a spreadsheet or another flash-card program
// becomes a version 1.6 question file, one question per row, every text escaped so that the reader
// gives it back exactly as the table held it. Characters that code page 932 cannot hold are named
// by row, column and code point; their row is left out, or they are replaced by "〓".

#include "core/settings/settings.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// What a column of the table holds.
enum class ColumnRole : std::uint8_t {
    Skip,
    Question,    // several question columns are joined by line breaks
    Answer,      // several answer columns are alternatives
    Hint,        // one hint each
    Comment,     // several comment columns are joined by line breaks
    WrongChoice, // one wrong choice each
    Group,       // 0-9, the full-width digits or a default group name; empty is 0
    Title,       // a change of its text starts a section under a title card
    History,     // a result mark of the export table, oldest first: "○" right, anything else wrong
};

// A role by its name: question, answer, hint, comment, wrong, group, title, skip, or their first
// letters q a h c w g t and "-" for skip (letter case ignored).
std::optional<ColumnRole> columnRoleByName(std::string_view name);
// A comma-separated list of role names, the first for column 1; none when a name is unknown or a
// list names more than one group column.
std::optional<std::vector<ColumnRole>> parseColumnRoles(std::string_view list);

struct ImportOptions {
    char separator = 0;              // 0: as the table's #separator: line says, else fallbackSeparator
    char fallbackSeparator = '\t';   // importTable makes it a comma for a table named .csv
    int html = -1;                   // -1: as the table's #html: line says, else off; 0 off; 1 on
    std::vector<ColumnRole> columns; // empty: as the table's header says, else question, answer
    int titleColumn = 0;             // from 1: that column holds titles; 0 none
    int titleEvery = 0;              // > 0: a title card before every that many questions
    int skipRows = 0;                // rows after the # lines left out (a header row of names)
    bool replace = false;   // replace characters without a code by "〓" instead of leaving the row out
    bool csvOutput = false; // the question file is a .csv one (its comma rules)
};

enum class ImportProblemKind : std::uint8_t {
    NoCode,     // value: the code point, which code page 932 cannot hold
    NotUtf8,    // value: a byte that forms no UTF-8 character
    Control,    // value: a control character, which a question file cannot hold
    NoQuestion, // the row's question is empty
    BadGroup,   // the group column holds no group number
};

struct ImportProblem {
    int row = 0;    // of the table, from 1, its # lines included
    int column = 0; // from 1; 0 for the row as a whole
    ImportProblemKind kind = ImportProblemKind::NoCode;
    std::uint32_t value = 0;
    bool rowSkipped = false; // the row was left out (else the character was replaced)
};

struct ImportSummary {
    int imported = 0; // rows written as questions
    int skipped = 0;  // rows left out
    int changed = 0;  // rows written with replaced characters
    std::vector<ImportProblem> problems;
};

// The title of the section of questions first..last (numbers from 1): "1～100".
std::string sectionTitle(int first, int last);

// The question file made from a table's bytes (a byte-order mark tells UTF-8 or UTF-16; without one
// the table is UTF-8), its lines written as a save writes them under these settings.
std::string convertTable(std::string_view bytes, const ImportOptions& options, const Settings& settings,
                         ImportSummary& summary);

enum class ImportStatus {
    Written,
    TableNotFound,
    TableReadFailed,
    OutputExists,    // and overwriting was not allowed
    NothingImported, // no row became a question; nothing was written
    WriteFailed,     // the old file, if any, is as it was
};

// Reads the table, converts it and writes the question file crash-safe. An existing output file is
// replaced only when overwrite is set. For a separator of 0 and no #separator: line, a table whose
// name ends in .csv is read comma-separated.
ImportStatus importTable(const std::filesystem::path& table, const std::filesystem::path& output,
                         ImportOptions options, const Settings& settings, bool overwrite,
                         ImportSummary& summary);

} // namespace rekal
