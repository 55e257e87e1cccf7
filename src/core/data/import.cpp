#include "core/data/import.h"

#include "core/base/fileio.h"
#include "core/base/unicode.h"
#include "core/data/book.h"
#include "core/data/export.h"
#include "core/data/save.h"
#include "core/data/table.h"

#include <algorithm>
#include <system_error>

namespace rekal {

namespace {

// Written as bytes, so that every build has the code page 932 characters whatever its literals are.
constexpr std::string_view kReplacement = "\x81\xAC"; // 〓
constexpr std::string_view kRightMark = "\x81\x9B";   // ○
constexpr std::string_view kLineEnd = "\r\n";
constexpr int kOutputVersion = 16;
// Title cards of the sections judge their questions with every leniency on, exactly as questions
// without a title above them are judged.
constexpr std::uint8_t kSectionCompareOptions = 31;

struct RoleName {
    std::string_view name;
    ColumnRole role;
};
constexpr RoleName kRoleNames[] = {
    {"question", ColumnRole::Question}, {"q", ColumnRole::Question},
    {"answer", ColumnRole::Answer},     {"a", ColumnRole::Answer},
    {"hint", ColumnRole::Hint},         {"h", ColumnRole::Hint},
    {"comment", ColumnRole::Comment},   {"c", ColumnRole::Comment},
    {"wrong", ColumnRole::WrongChoice}, {"w", ColumnRole::WrongChoice},
    {"group", ColumnRole::Group},       {"g", ColumnRole::Group},
    {"title", ColumnRole::Title},       {"t", ColumnRole::Title},
    {"skip", ColumnRole::Skip},         {"-", ColumnRole::Skip},
};

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::optional<bool> switchValue(std::string_view value) {
    std::string v(trimmed(value));
    std::transform(v.begin(), v.end(), v.begin(), lower);
    if (v == "true" || v == "on" || v == "yes" || v == "1") return true;
    if (v == "false" || v == "off" || v == "no" || v == "0") return false;
    return std::nullopt;
}

// The group number of a converted group cell, or -1.
int groupNumber(std::string_view cell) {
    if (cell.empty()) return 0;
    if (cell.size() == 1 && cell[0] >= '0' && cell[0] <= '9') return cell[0] - '0';
    for (int g = 0; g <= 9; ++g)
        if (cell == defaultGroupName(g)) return g; // "全般", and "１" to "９" for the digits
    if (cell == "\x82\x4F") return 0;              // ０
    return -1;
}

// The roles the table's header gives: a #columns: list, or "NAME column:N" lines (a name that is no
// role marks a column of another program's own, such as its tags, to be skipped). Columns that no
// line claims take the question and then the answer, in order.
std::vector<ColumnRole> headerRoles(const TableHeader& header) {
    for (const TableHeaderEntry& e : header.entries) {
        if (e.key != "columns") continue;
        std::string list = e.value;
        std::replace(list.begin(), list.end(), '\t', ',');
        if (auto roles = parseColumnRoles(list)) return *roles;
    }
    std::vector<std::optional<ColumnRole>> claimed;
    constexpr std::string_view kSuffix = " column";
    for (const TableHeaderEntry& e : header.entries) {
        if (e.key.size() <= kSuffix.size() || !e.key.ends_with(kSuffix)) continue;
        const std::string_view value = trimmed(e.value);
        int column = 0;
        for (char c : value) {
            if (c < '0' || c > '9' || column > 9999) {
                column = 0;
                break;
            }
            column = column * 10 + (c - '0');
        }
        if (column < 1) continue;
        const std::string_view name = std::string_view(e.key).substr(0, e.key.size() - kSuffix.size());
        if (claimed.size() < static_cast<std::size_t>(column))
            claimed.resize(static_cast<std::size_t>(column));
        claimed[static_cast<std::size_t>(column - 1)] = columnRoleByName(name).value_or(ColumnRole::Skip);
    }
    std::vector<ColumnRole> roles;
    const ColumnRole defaults[] = {ColumnRole::Question, ColumnRole::Answer};
    std::size_t nextDefault = 0;
    for (std::size_t i = 0; nextDefault < std::size(defaults) || i < claimed.size(); ++i) {
        if (i < claimed.size() && claimed[i]) {
            roles.push_back(*claimed[i]);
        } else {
            roles.push_back(nextDefault < std::size(defaults) ? defaults[nextDefault++] : ColumnRole::Skip);
        }
    }
    return roles;
}

// One row after the other into the lines of the question file.
class RowConverter {
  public:
    RowConverter(const ImportOptions& options, std::vector<ColumnRole> roles, bool html,
                 const Settings& settings, ImportSummary& summary, std::string& out)
        : options_(options), roles_(std::move(roles)), html_(html), summary_(summary), out_(out),
          format_(settings, kOutputVersion, options.csvOutput), skipRows_(options.skipRows) {
        // Sections come from a title column or from a count, never from both.
        const bool titleColumn = options_.titleColumn > 0 ||
                                 std::find(roles_.begin(), roles_.end(), ColumnRole::Title) != roles_.end();
        titleEvery_ = titleColumn ? 0 : options_.titleEvery;
    }

    void row(const TableReader& table) {
        if (isBlank(table)) return;
        if (skipRows_ > 0) {
            --skipRows_;
            return;
        }
        const bool first = firstRow_;
        firstRow_ = false;
        if (first && isExportHeader(table)) {
            // A table written by the export: its own columns, and its header row is no question.
            if (options_.columns.empty() && options_.titleColumn == 0) roles_ = exportRoles();
            return;
        }
        convertRow(table);
    }

    void finish() { flushSection(); }

  private:
    static bool isBlank(const TableReader& table) {
        for (std::size_t i = 0; i < table.fieldCount(); ++i)
            if (!table.field(i).empty()) return false;
        return true;
    }

    bool isExportHeader(const TableReader& table) {
        if (table.fieldCount() != kExportColumnNames.size()) return false;
        for (std::size_t i = 0; i < table.fieldCount(); ++i)
            if (utf8TextToCp932(table.field(i), kReplacement) != kExportColumnNames[i]) return false;
        return true;
    }

    static std::vector<ColumnRole> exportRoles() {
        std::vector<ColumnRole> roles = {ColumnRole::Skip, ColumnRole::Question, ColumnRole::Answer};
        roles.insert(roles.end(), 5, ColumnRole::History);
        roles.push_back(ColumnRole::Group);
        roles.push_back(ColumnRole::Comment);
        return roles;
    }

    // The character at pos (not ASCII), moving pos past it: the three-byte forms of the Japanese
    // characters decoded here, the others by the UTF-8 decoder.
    static char32_t nextCharacter(std::string_view s, std::size_t& pos) {
        const auto c = static_cast<unsigned char>(s[pos]);
        if (c >= 0xE1 && c <= 0xEC && pos + 2 < s.size()) {
            const auto c1 = static_cast<unsigned char>(s[pos + 1]),
                       c2 = static_cast<unsigned char>(s[pos + 2]);
            if ((c1 & 0xC0) == 0x80 && (c2 & 0xC0) == 0x80) {
                pos += 3;
                return (char32_t{c & 0x0Fu} << 12) | (char32_t{c1 & 0x3Fu} << 6) | (c2 & 0x3Fu);
            }
        }
        return nextUtf8(s, pos);
    }

    void problem(int row, int column, ImportProblemKind kind, std::uint32_t value) {
        summary_.problems.push_back({row, column, kind, value, false});
    }

    // A UTF-8 field into CP932 (appended to cell). Each character that cannot be written is named;
    // with the replace option it becomes "〓", otherwise the row is spoilt.
    void convertField(std::string_view s, int row, int column, std::string& cell) {
        // No character takes more than two bytes for each byte it took in the table (〓 for a
        // malformed byte or a control character), so the bytes are written into room made at once.
        const std::size_t base = cell.size();
        cell.resize(base + 2 * s.size());
        char* const begin = cell.data() + base;
        char* out = begin;
        std::size_t pos = 0;
        while (pos < s.size()) {
            const auto c = static_cast<unsigned char>(s[pos]);
            if ((c >= 0x20 && c < 0x80) || c == '\t' || c == '\n') {
                *out++ = static_cast<char>(c);
                ++pos;
                continue;
            }
            const std::size_t start = pos;
            char code[2];
            int length = 0;
            ImportProblemKind kind = ImportProblemKind::Control;
            std::uint32_t value = c;
            if (c < 0x80) {
                ++pos;
            } else if (const char32_t cp = nextCharacter(s, pos); cp == kMalformed) {
                kind = ImportProblemKind::NotUtf8;
                value = static_cast<unsigned char>(s[start]);
            } else {
                kind = ImportProblemKind::NoCode;
                value = cp;
                length = codePointToCp932(cp, code);
            }
            if (length > 0) {
                out[0] = code[0];
                if (length == 2) out[1] = code[1];
                out += length;
                continue;
            }
            problem(row, column, kind, value);
            if (options_.replace) {
                out[0] = kReplacement[0];
                out[1] = kReplacement[1];
                out += 2;
                replaced_ = true;
            } else {
                spoilt_ = true;
            }
        }
        cell.resize(base + static_cast<std::size_t>(out - begin));
    }

    // Appends a converted field to a text, after the joiner when the text is not empty; an empty
    // field adds nothing.
    void appendJoined(std::string& to, char joiner, std::string_view field, int row, int column) {
        const std::size_t before = to.size();
        if (!to.empty()) to += joiner;
        const std::size_t start = to.size();
        convertField(field, row, column, to);
        if (to.size() == start) to.resize(before);
    }
    void convertInto(std::string& to, std::string_view field, int row, int column) {
        to.clear();
        convertField(field, row, column, to);
    }

    void convertRow(const TableReader& table) {
        const int row = table.row();
        for (std::string* s : {&question_, &hints_, &answer_, &wrong_, &comment_, &title_, &group_})
            s->clear();
        history_ = 0;
        int historyBit = 0;
        int groupColumn = 0;
        spoilt_ = replaced_ = false;
        const std::size_t firstProblem = summary_.problems.size();
        for (std::size_t i = 0; i < table.fieldCount(); ++i) {
            const ColumnRole role = static_cast<int>(i) + 1 == options_.titleColumn ? ColumnRole::Title
                                    : i < roles_.size()                             ? roles_[i]
                                                                                    : ColumnRole::Skip;
            if (role == ColumnRole::Skip) continue;
            std::string_view text = table.field(i);
            if (html_) {
                htmlToText(text, htmlText_);
                text = htmlText_;
            }
            const int column = static_cast<int>(i) + 1;
            switch (role) {
            case ColumnRole::Question:
                appendJoined(question_, kLineBreak, text, row, column);
                break;
            case ColumnRole::Answer:
                appendJoined(answer_, kListSeparator, text, row, column);
                break;
            case ColumnRole::Hint:
                appendJoined(hints_, kListSeparator, text, row, column);
                break;
            case ColumnRole::WrongChoice:
                appendJoined(wrong_, kListSeparator, text, row, column);
                break;
            case ColumnRole::Comment:
                appendJoined(comment_, kLineBreak, text, row, column);
                break;
            case ColumnRole::Group:
                convertInto(group_, text, row, column);
                groupColumn = column;
                break;
            case ColumnRole::Title:
                convertInto(title_, text, row, column);
                break;
            case ColumnRole::History:
                convertInto(cell_, text, row, column);
                if (historyBit < 5 && cell_ == kRightMark) history_ |= 1 << historyBit;
                ++historyBit;
                break;
            case ColumnRole::Skip:
                break;
            }
        }
        const int group = groupNumber(group_);
        if (group < 0 && !spoilt_) {
            problem(row, groupColumn, ImportProblemKind::BadGroup, 0);
            spoilt_ = true;
        }
        if (question_.empty() && !spoilt_) {
            problem(row, 0, ImportProblemKind::NoQuestion, 0);
            spoilt_ = true;
        }
        if (spoilt_) {
            for (std::size_t p = firstProblem; p < summary_.problems.size(); ++p)
                summary_.problems[p].rowSkipped = true;
            ++summary_.skipped;
            return;
        }
        if (replaced_) ++summary_.changed;
        ++summary_.imported;
        writeQuestion(static_cast<std::uint8_t>(group));
    }

    void writeTitle(std::string& out, const std::string& title) {
        TitleCard card;
        card.kind = CardKind::Title;
        card.title = StoredText{title.c_str()};
        card.compareOptions = kSectionCompareOptions;
        appendCardLine(out, card, format_);
        out += kLineEnd;
    }

    void writeQuestion(std::uint8_t group) {
        // A change in the title column starts a section (an empty title continues the last one).
        if (!title_.empty() && title_ != currentTitle_) {
            currentTitle_ = title_;
            writeTitle(out_, title_);
        }
        if (titleEvery_ > 0 && inSection_ == titleEvery_) flushSection();
        QuestionCard card;
        card.kind = CardKind::Question;
        card.question = StoredText{question_.c_str()};
        if (!hints_.empty()) card.hints = StoredText{hints_.c_str()};
        card.rawAnswer = StoredText{answer_.c_str()};
        if (!wrong_.empty()) card.rawWrongChoices = StoredText{wrong_.c_str()};
        card.history = static_cast<std::uint8_t>(history_);
        card.group = group;
        if (!comment_.empty()) card.comment = StoredText{comment_.c_str()};
        std::string& out = titleEvery_ > 0 ? section_ : out_;
        appendCardLine(out, card, format_);
        out += kLineEnd;
        ++inSection_;
    }

    // With sections of a fixed size, a section's questions wait until its title can name them all.
    void flushSection() {
        if (titleEvery_ <= 0 || inSection_ == 0) return;
        writeTitle(out_, sectionTitle(sectionFirst_, sectionFirst_ + inSection_ - 1));
        out_ += section_;
        section_.clear();
        sectionFirst_ += inSection_;
        inSection_ = 0;
    }

    const ImportOptions& options_;
    std::vector<ColumnRole> roles_;
    bool html_;
    ImportSummary& summary_;
    std::string& out_;
    CardLineFormat format_;
    int skipRows_;
    int titleEvery_ = 0;
    bool firstRow_ = true;
    // Work space of one row, kept so that rows allocate nothing once it has grown.
    std::string question_, hints_, answer_, wrong_, comment_, title_, group_, cell_, htmlText_;
    int history_ = 0;
    bool spoilt_ = false, replaced_ = false;
    std::string currentTitle_;
    std::string section_;
    int sectionFirst_ = 1, inSection_ = 0;
};

} // namespace

std::optional<ColumnRole> columnRoleByName(std::string_view name) {
    std::string n(trimmed(name));
    std::transform(n.begin(), n.end(), n.begin(), lower);
    for (const RoleName& r : kRoleNames)
        if (n == r.name) return r.role;
    return std::nullopt;
}

std::optional<std::vector<ColumnRole>> parseColumnRoles(std::string_view list) {
    std::vector<ColumnRole> roles;
    int groups = 0, titles = 0;
    for (std::size_t pos = 0;;) {
        const std::size_t comma = list.find(',', pos);
        const std::optional<ColumnRole> role = columnRoleByName(
            list.substr(pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos));
        if (!role) return std::nullopt;
        groups += *role == ColumnRole::Group;
        titles += *role == ColumnRole::Title;
        roles.push_back(*role);
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    if (groups > 1 || titles > 1) return std::nullopt;
    return roles;
}

std::string sectionTitle(int first, int last) {
    return std::to_string(first) + "\x81\x60" + std::to_string(last); // ～
}

std::string convertTable(std::string_view bytes, const ImportOptions& options, const Settings& settings,
                         ImportSummary& summary) {
    summary = ImportSummary{};
    const ByteOrderMark mark = findByteOrderMark(bytes);
    bytes.remove_prefix(mark.length);
    std::string converted; // UTF-16 as UTF-8
    if (mark.form == UnicodeForm::Utf16Le || mark.form == UnicodeForm::Utf16Be) {
        converted = unicodeToUtf8(bytes, mark.form);
        bytes = converted;
    }
    const TableHeader header = readTableHeader(bytes);
    char separator = options.separator;
    std::optional<bool> html;
    for (const TableHeaderEntry& e : header.entries) {
        if (e.key == "separator" && !separator) separator = separatorByName(e.value);
        if (e.key == "html") html = switchValue(e.value);
    }
    if (!separator) separator = options.fallbackSeparator ? options.fallbackSeparator : '\t';
    const bool useHtml = options.html >= 0 ? options.html != 0 : html.value_or(false);
    std::vector<ColumnRole> roles = options.columns.empty() ? headerRoles(header) : options.columns;

    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8 + 64);
    out += "REKALDATA V1.6";
    out += kLineEnd;
    RowConverter converter(options, std::move(roles), useHtml, settings, summary, out);
    TableReader table(bytes, separator, header.bodyStart, header.lines + 1);
    while (table.next())
        converter.row(table);
    converter.finish();
    return out;
}

ImportStatus importTable(const std::filesystem::path& table, const std::filesystem::path& output,
                         ImportOptions options, const Settings& settings, bool overwrite,
                         ImportSummary& summary) {
    summary = ImportSummary{};
    std::error_code ec;
    if (!overwrite && std::filesystem::exists(output, ec)) return ImportStatus::OutputExists;
    FileBytes file = readFileBytes(table);
    if (file.status == ReadStatus::NotFound) return ImportStatus::TableNotFound;
    if (file.status != ReadStatus::Ok) return ImportStatus::TableReadFailed;
    auto hasExtension = [](const std::filesystem::path& p, std::string_view ext) {
        const std::u8string e = p.extension().u8string();
        if (e.size() != ext.size()) return false;
        for (std::size_t i = 0; i < e.size(); ++i)
            if (lower(static_cast<char>(e[i])) != ext[i]) return false;
        return true;
    };
    if (hasExtension(table, ".csv")) options.fallbackSeparator = ',';
    options.csvOutput = hasExtension(output, ".csv");
    std::string text = convertTable(file.bytes, options, settings, summary);
    file.bytes = std::string(); // give the table's memory back before the file is written
    if (summary.imported == 0) return ImportStatus::NothingImported;
    return replaceFileContents(output, text) ? ImportStatus::Written : ImportStatus::WriteFailed;
}

} // namespace rekal
