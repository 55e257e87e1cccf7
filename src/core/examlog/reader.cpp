#include "core/examlog/examlog.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "core/base/sjis.h"
#include "core/examlog/labels.h"

#include <algorithm>
#include <cstring>

namespace rekal {

namespace {

using namespace examlog;

constexpr std::size_t kMaxLabelBytes = 15;

enum class Label { None, Time, File, Range, Groups, Method, Mode, Rate, Elapsed };

Label labelOf(std::string_view name) {
    if (name == kLabelTime) return Label::Time;
    if (name == kLabelFile) return Label::File;
    if (name == kLabelRange) return Label::Range;
    if (name == kLabelGroups) return Label::Groups;
    if (name == kLabelMethod) return Label::Method;
    if (name == kLabelMode || name == kLabelModeOld) return Label::Mode;
    if (name == kLabelRate) return Label::Rate;
    if (name == kLabelElapsed) return Label::Elapsed;
    return Label::None;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::uint8_t clampByte(long long v) {
    return static_cast<std::uint8_t>(std::min<long long>(v, 255));
}

// The numbers of a time stamp text: each run of digits followed by 年, 月, 日, 時, 分 or 秒.
ExamLogTime parseTimeStamp(std::string_view value) {
    long long parts[6] = {0, 0, 0, 0, 0, 0};
    static constexpr std::string_view kUnits[6] = {kYear, kMonth, kDay, kHour, kMinute, kSecond};
    for (std::size_t i = 0; i < value.size();) {
        if (!isDigit(value[i])) {
            i += isDoubleByteAt(value, i) ? 2 : 1;
            continue;
        }
        long long number = 0;
        while (i < value.size() && isDigit(value[i])) {
            number = std::min<long long>(number * 10 + (value[i] - '0'), 1'000'000'000);
            ++i;
        }
        const std::string_view after = value.substr(i);
        for (int u = 0; u < 6; ++u) {
            if (after.starts_with(kUnits[u])) parts[u] = number;
        }
    }
    LocalTime t;
    t.year = static_cast<int>(parts[0]);
    t.month = static_cast<int>(parts[1]);
    t.day = static_cast<int>(parts[2]);
    t.hour = static_cast<int>(parts[3]);
    t.minute = static_cast<int>(parts[4]);
    t.second = static_cast<int>(parts[5]);
    ExamLogTime out;
    if (std::optional<std::int64_t> ms = calendarToMilliseconds(t)) {
        if (std::optional<LocalTime> normal = millisecondsToCalendar(*ms)) t = *normal;
        out.weekday = static_cast<std::uint8_t>(t.weekday);
    }
    // A date the calendar does not know keeps its numbers as read (weekday Sunday).
    out.year = static_cast<std::uint16_t>(std::min<long long>(t.year, 0xFFFF));
    out.month = clampByte(t.month);
    out.day = clampByte(t.day);
    out.hour = clampByte(t.hour);
    out.minute = clampByte(t.minute);
    out.second = clampByte(t.second);
    return out;
}

class LogParser {
  public:
    LogParser(char* text, std::size_t size, ExamLog& log) : s_(text), n_(size), log_(log) {}

    void run() {
        while (pos_ < n_) {
            const std::size_t end = lineEnd(pos_);
            if (end == pos_) {
                pos_ = nextLine(end);
            } else if (std::string_view(s_ + pos_, end - pos_).starts_with(kHeader)) {
                pos_ = nextLine(end);
                readEntry();
            } else {
                skipParagraph();
            }
        }
    }

  private:
    // The first CR or LF at or after p (neither can be the second byte of a double-byte character).
    std::size_t lineEnd(std::size_t p) const {
        while (p < n_ && s_[p] != '\r' && s_[p] != '\n')
            ++p;
        return p;
    }
    std::size_t nextLine(std::size_t end) const {
        if (end >= n_) return n_;
        return end + (s_[end] == '\r' && end + 1 < n_ && s_[end + 1] == '\n' ? 2 : 1);
    }
    bool atEmptyLine() const { return pos_ >= n_ || s_[pos_] == '\r' || s_[pos_] == '\n'; }

    // Stray text: this line and the following non-empty ones.
    void skipParagraph() {
        while (!atEmptyLine())
            pos_ = nextLine(lineEnd(pos_));
    }

    void readEntry() {
        ExamLogEntry entry;
        while (pos_ < n_ && s_[pos_] == '[') {
            const std::size_t end = lineEnd(pos_);
            const std::string_view line(s_ + pos_, end - pos_);
            std::size_t close = std::string_view::npos;
            for (std::size_t i = 1; i < line.size(); i += isDoubleByteAt(line, i) ? 2 : 1) {
                if (line[i] == ']') {
                    close = i;
                    break;
                }
            }
            if (close == std::string_view::npos) break; // read as a row
            std::string name;
            for (char c : line.substr(1, std::min(close - 1, kMaxLabelBytes))) {
                if (c != ' ') name += c;
            }
            std::size_t v = close + 1;
            while (v < line.size() && line[v] == ' ')
                ++v;
            assign(entry, labelOf(name), line.substr(v));
            pos_ = nextLine(end);
        }
        entry.firstRow = static_cast<std::uint32_t>(log_.rows.size());
        while (!atEmptyLine())
            readRow();
        entry.rowCount = static_cast<std::uint32_t>(log_.rows.size()) - entry.firstRow;
        log_.entries.push_back(entry);
    }

    static void assign(ExamLogEntry& entry, Label label, std::string_view value) {
        switch (label) {
        case Label::Time:
            entry.time = parseTimeStamp(value);
            break;
        case Label::File:
            entry.file = value;
            break;
        case Label::Range:
            entry.range = value;
            break;
        case Label::Groups:
            entry.groups = value;
            break;
        case Label::Method:
            entry.method = value;
            break;
        case Label::Mode:
            entry.mode = value;
            break;
        case Label::Rate:
            entry.rate = value;
            break;
        case Label::Elapsed:
            entry.elapsed = value;
            break;
        case Label::None:
            break;
        }
    }

    // One row of CSV fields. A quoted field is unquoted in place (its text only ever shrinks), so
    // every field is a view into the log's text. Commas, quotes and line ends are never the second
    // byte of a double-byte character, so the scan can go byte by byte.
    void readRow() {
        ExamLogRow row;
        row.firstField = static_cast<std::uint32_t>(log_.fields.size());
        for (;;) {
            const std::size_t start = pos_;
            std::size_t w = pos_;
            bool quoted = pos_ < n_ && s_[pos_] == '"';
            if (quoted) ++pos_;
            bool rowEnds = false;
            while (pos_ < n_) {
                const char c = s_[pos_];
                if (quoted) {
                    if (c == '"') {
                        if (pos_ + 1 < n_ && s_[pos_ + 1] == '"') {
                            s_[w++] = '"';
                            pos_ += 2;
                        } else {
                            quoted = false;
                            ++pos_;
                        }
                        continue;
                    }
                } else if (c == ',') {
                    break;
                } else if (c == '\r' || c == '\n') {
                    rowEnds = true;
                    break;
                }
                s_[w++] = c;
                ++pos_;
            }
            log_.fields.emplace_back(s_ + start, w - start);
            if (pos_ >= n_) break;
            if (rowEnds) {
                pos_ = nextLine(pos_);
                break;
            }
            ++pos_; // the comma
        }
        row.fieldCount = static_cast<std::uint32_t>(log_.fields.size()) - row.firstField;
        log_.rows.push_back(row);
    }

    char* s_;
    std::size_t n_;
    std::size_t pos_ = 0;
    ExamLog& log_;
};

} // namespace

ExamLog parseExamLog(std::string text) {
    ExamLog log;
    log.text_ = std::make_unique<std::string>(std::move(text));
    LogParser(log.text_->data(), log.text_->size(), log).run();
    return log;
}

std::optional<ExamLog> readExamLog(const std::filesystem::path& path, Notifier& notifier) {
    FileBytes file = readFileBytes(path);
    if (file.status == ReadStatus::NotFound) {
        notifier.error(msg::kFileNotFound);
        return std::nullopt;
    }
    if (file.status != ReadStatus::Ok) {
        notifier.error(msg::kReadFailed);
        return std::nullopt;
    }
    return parseExamLog(std::move(file.bytes));
}

} // namespace rekal
