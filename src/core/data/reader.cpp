#include "core/data/reader.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "core/data/field.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <system_error>

namespace rekal {

namespace {

constexpr std::string_view kHeaderMagic = "REKALDATA V";
constexpr const char* kNotRekalData = "REKAL データではありません。";
constexpr const char* kBadHeader = "ヘッダの形式が違います。";
constexpr const char* kBadVersion = "データのバージョンが違います。";
constexpr const char* kRejectedLines = "次の行にエラーがありました：";
constexpr const char* kNoQuestions = "問題が見つかりません。";
constexpr const char* kMoreLines = "ほか %d 行";
constexpr const char* kWindowsForms = "%d 行目ほかの文字を Windows の形（～ － ∥ ￠ ￡ ￢）で読みました。"
                                      "保存するとこの形で書き込まれます。";
constexpr int kFirstBodyLine = 2; // the header is line 1

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Steps 1 to 4 of a load: end a running exam, prepare the windows, store the path, drop the old book.
void startLoad(QuestionBook& book, const std::filesystem::path& file, LoadHooks& hooks) {
    book.setReplacing(true);
    hooks.endRunningExam();
    book.setReplacing(false);
    hooks.beforeLoad();
    book.setFile(file);
    hooks.pathStored(file);
    book.discard();
    hooks.bookDiscarded();
}

bool failLoad(QuestionBook& book, LoadHooks& hooks) {
    book.discard();
    hooks.loadFinished(false);
    return false;
}

// A line of a Unicode file that code page 932 cannot hold: a comment card showing its stand-in and
// keeping its bytes as read.
Card* keptLineCard(BookBuilder& builder, const char* standIn, std::string_view original) {
    auto* card = builder.make<KeptLineCard>(CardKind::Comment);
    const char* copy = card ? builder.copyText(original) : nullptr;
    if (!copy) return nullptr;
    card->keptAsRead = true;
    card->comment = StoredText{standIn};
    card->original = std::string_view(copy, original.size());
    return card;
}

// Reads the lines after the header into cards. False when the arena ran out of memory.
bool readLines(BookBuilder& builder, std::size_t start, int version, bool isCsv, CharSets& charsets,
               const std::vector<UnconvertedLine>& unconverted, Notifier& notifier,
               std::vector<int>& rejectedLines) {
    char* text = builder.text();
    const std::size_t size = builder.textSize();
    int lineNumber = kFirstBodyLine;
    auto nextUnconverted = unconverted.begin();
    for (std::size_t pos = start; pos < size; ++lineNumber) {
        const char* found = static_cast<const char*>(std::memchr(text + pos, '\x01', size - pos));
        const std::size_t end = found ? static_cast<std::size_t>(found - text) : size;
        char* line = text + pos;
        while (nextUnconverted != unconverted.end() && nextUnconverted->where.line < lineNumber)
            ++nextUnconverted;
        LineResult result;
        if (nextUnconverted != unconverted.end() && nextUnconverted->where.line == lineNumber) {
            text[end] = '\0';
            result.card = keptLineCard(builder, line, nextUnconverted->original);
            if (!result.card) return false;
            rejectedLines.push_back(lineNumber);
        } else {
            result = readLine(builder, line, end - pos, version, isCsv, charsets);
        }
        if (result.status == LineStatus::OutOfMemory) return false;
        if (result.status == LineStatus::Rejected && !result.card) {
            // The line is kept byte for byte as the text of a comment card.
            result.card = builder.make<Card>(CardKind::Comment);
            if (!result.card) return false;
            text[end] = '\0';
            result.card->comment = StoredText{line};
            rejectedLines.push_back(lineNumber);
        }
        builder.append(result.card);
        if (const MessageCard* message = asMessage(result.card)) notifier.info(message->message.view());
        pos = end + 1;
    }
    return true;
}

bool readBook(QuestionBook& book, const std::filesystem::path& file, std::string text,
              const Settings& settings, Notifier& notifier, LoadHooks& hooks, LoadReport* report) {
    LoadReport local;
    LoadReport& found = report ? *report : local;
    Cp932Text converted;
    found.encoding = decodeFile(text, converted);
    std::vector<UnconvertedLine> unconverted;
    int windowsFormLine = 0;
    if (found.encoding != TextEncoding::Cp932) {
        std::string().swap(text); // the file's own bytes are no longer needed
        text = std::move(converted.text);
        unconverted = std::move(converted.rejected);
        windowsFormLine = converted.windowsFormLine;
    }
    normaliseLineEnds(text);
    // The buffer becomes the book's text; adding the last line end may have doubled it. (A text
    // converted from UTF-8 or UTF-16 is shorter than its buffer, which is no larger than the file.)
    if (text.capacity() > text.size() + text.size() / 8 + 64 &&
        (found.encoding == TextEncoding::Cp932 || text.capacity() > text.size() * 2 + 64))
        text.shrink_to_fit();
    const bool isCsv = isCsvPath(file);
    const std::optional<int> version = checkHeader(text, isCsv, notifier);
    if (!version) return failLoad(book, hooks);
    CharSets charsets = startingCharSets(settings);
    const std::size_t bodyStart = text.find('\x01') + 1;

    std::optional<BookBuilder> builder;
    bool read = false;
    const std::size_t textSize = text.size();
    try {
        builder.emplace(book, *version, std::move(text), found.encoding);
        builder->readerSpace().expansionLeft = bookExpansionBudget(textSize);
        read = readLines(*builder, bodyStart, *version, isCsv, charsets, unconverted, notifier,
                         found.rejectedLines);
    } catch (const std::bad_alloc&) {
        read = false; // the index or the arena could not grow
    }
    if (!read) {
        notifier.error(msg::kOutOfMemory);
        return failLoad(book, hooks);
    }
    for (const UnconvertedLine& line : unconverted)
        found.unconverted.push_back(line.where);
    if (!found.rejectedLines.empty())
        notifier.warning(std::string(kRejectedLines) + "\n" + rejectedLineList(found, kRejectedLinesNamed));
    builder->commit();
    if (book.questionCount() == 0) {
        book.discard();
        notifier.error(kNoQuestions);
        return failLoad(book, hooks);
    }
    if (windowsFormLine != 0)
        notifier.info(withNumber(kWindowsForms, static_cast<std::size_t>(windowsFormLine)));
    hooks.loadFinished(true);
    return true;
}

std::string hex(std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 15];
    return out;
}

} // namespace

std::string withNumber(std::string_view text, std::size_t number) {
    std::string out(text);
    if (const std::size_t at = out.find("%d"); at != std::string::npos)
        out.replace(at, 2, std::to_string(number));
    return out;
}

std::string rejectedLineList(const LoadReport& report, std::size_t limit) {
    std::string list;
    const std::vector<int>& lines = report.rejectedLines;
    const std::size_t named = limit == 0 ? lines.size() : std::min(limit, lines.size());
    auto character = report.unconverted.begin();
    for (std::size_t i = 0; i < named; ++i) {
        if (i) list += ", ";
        list += std::to_string(lines[i]);
        while (character != report.unconverted.end() && character->line < lines[i])
            ++character;
        if (character != report.unconverted.end() && character->line == lines[i]) {
            list += character->notACharacter
                        ? " (0x" + hex(character->value, character->value > 0xFF ? 4 : 2)
                        : " (U+" + hex(character->value, character->value > 0xFFFF ? 5 : 4);
            list += ')';
        }
    }
    if (named < lines.size()) list += " " + withNumber(kMoreLines, lines.size() - named);
    return list;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path, Notifier& notifier,
                                         bool reportMissing) {
    FileBytes file = readFileBytes(path);
    if (file.status == ReadStatus::NotFound) {
        if (reportMissing) notifier.error(msg::kFileNotFound);
        return std::nullopt;
    }
    if (file.status != ReadStatus::Ok) {
        notifier.error(msg::kReadFailed);
        return std::nullopt;
    }
    return std::move(file.bytes);
}

bool isCsvPath(const std::filesystem::path& file) {
    const auto& name = file.native();
    if (name.size() < 4) return false;
    static constexpr std::string_view kCsv = ".csv";
    for (std::size_t i = 0; i < 4; ++i) {
        auto c = name[name.size() - 4 + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<decltype(c)>(c - 'A' + 'a');
        if (c != static_cast<decltype(c)>(kCsv[i])) return false;
    }
    return true;
}

std::optional<int> checkHeader(std::string_view text, bool isCsv, Notifier& notifier) {
    if (text.substr(0, kHeaderMagic.size()) != kHeaderMagic) {
        notifier.error(kNotRekalData);
        return std::nullopt;
    }
    const std::size_t p = kHeaderMagic.size();
    if (text.size() < p + 4 || !isDigit(text[p]) || text[p + 1] != '.' || !isDigit(text[p + 2]) ||
        !(text[p + 3] == '\x01' || (isCsv && text[p + 3] == ','))) {
        notifier.error(kBadHeader);
        return std::nullopt;
    }
    const int version = (text[p] - '0') * 10 + (text[p + 2] - '0');
    if (version < 12 || version > 16) {
        notifier.error(kBadVersion);
        return std::nullopt;
    }
    return version;
}

bool loadBookFromBytes(QuestionBook& book, const std::filesystem::path& file, std::string bytes,
                       const Settings& settings, Notifier& notifier, LoadHooks* hooks, LoadReport* report) {
    LoadHooks none;
    LoadHooks& h = hooks ? *hooks : none;
    if (report) *report = LoadReport{};
    const std::filesystem::path pathCopy(file); // the path may live in the book that is replaced
    startLoad(book, pathCopy, h);
    return readBook(book, pathCopy, std::move(bytes), settings, notifier, h, report);
}

bool loadBook(QuestionBook& book, const std::filesystem::path& file, const Settings& settings,
              Notifier& notifier, LoadHooks* hooks, LoadReport* report) {
    LoadHooks none;
    LoadHooks& h = hooks ? *hooks : none;
    if (report) *report = LoadReport{};
    // The book's path is absolute from here on: its media are found from its folder and its root
    // (drive or share), never from whatever the current folder later becomes.
    std::error_code error;
    std::filesystem::path pathCopy = std::filesystem::absolute(file, error);
    if (error) pathCopy = file;
    startLoad(book, pathCopy, h);
    std::optional<std::string> bytes = readWholeFile(pathCopy, notifier);
    if (!bytes) return failLoad(book, h);
    std::optional<FileStamp> stamp = stampFile(pathCopy, *bytes);
    if (!readBook(book, pathCopy, std::move(*bytes), settings, notifier, h, report)) return false;
    book.setFileStamp(std::move(stamp));
    return true;
}

} // namespace rekal
