#pragma once
// Tables from spreadsheets and other flash-card programs, as UTF-8 text: rows of fields cut by one
// separator character, fields quoted the comma-separated way (a field that starts with a double
// quote runs to the closing one, "" inside it is one double quote, and separators and line ends
// inside it are text), and "#key:value" lines at the top that describe the table.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

struct TableHeaderEntry {
    std::string key; // lower case, spaces around it removed
    std::string value;
};

// The "#" lines a table starts with. Those of the form key:value are listed; the others are skipped.
struct TableHeader {
    std::vector<TableHeaderEntry> entries;
    std::size_t bodyStart = 0; // offset of the first row after them
    int lines = 0;             // how many lines they took
};
TableHeader readTableHeader(std::string_view text);

// The separator a header value names: "tab", "comma", "semicolon", "pipe", "space", "colon" (letter
// case ignored) or one ASCII character; 0 for anything else.
char separatorByName(std::string_view name);

// Reads the rows of a table one after the other. A row ends at CR LF, LF or a lone CR outside
// quotes; line ends inside quotes become one LF. A blank line is a row with one empty field.
class TableReader {
  public:
    TableReader(std::string_view text, char separator, std::size_t start = 0, int firstRow = 1);

    // Reads the next row; false after the last one.
    bool next();
    // The fields of the row last read, valid until the next row is read.
    std::size_t fieldCount() const { return count_; }
    std::string_view field(std::size_t i) const {
        return fields_[i].data() ? fields_[i] : std::string_view(unescaped_[i]);
    }
    // Its number: firstRow for the first row read, one more for each row after it.
    int row() const { return row_; }

  private:
    std::string_view text_;
    char separator_;
    std::array<bool, 256> ends_{}; // the bytes that end an unquoted field: separator, CR, LF
    std::size_t pos_;
    int row_;
    // A field is a piece of the text, or (marked by a view without data) its own buffer when it was
    // quoted. Both are kept from row to row, so that reading allocates nothing once they have grown.
    std::vector<std::string_view> fields_;
    std::vector<std::string> unescaped_;
    std::size_t count_ = 0;
};

// The text of an HTML field: tags removed, <br> and the starts and ends of blocks (paragraphs,
// divisions, list items, table rows, headings) become line breaks, character references are decoded,
// scripts, styles and comments dropped, and runs of white space shown as one space, as a browser shows
// them. out is replaced.
void htmlToText(std::string_view html, std::string& out);

} // namespace rekal
