#include "core/data/reader.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"

#include <cstring>
#include <new>
#include <string>

namespace rekal {

namespace {

constexpr std::string_view kHeaderMagic = "REKALDATA V";
constexpr const char* kNotRekalData = "REKAL データではありません。";
constexpr const char* kBadHeader = "ヘッダの形式が違います。";
constexpr const char* kBadVersion = "データのバージョンが違います。";
constexpr const char* kRejectedLines = "次の行にエラーがありました：";
constexpr const char* kNoQuestions = "問題が見つかりません。";
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

// Reads the lines after the header into cards. False when the arena ran out of memory.
bool readLines(BookBuilder& builder, std::size_t start, int version, bool isCsv, CharSets& charsets,
               Notifier& notifier, std::vector<int>& rejectedLines) {
    char* text = builder.text();
    const std::size_t size = builder.textSize();
    int lineNumber = kFirstBodyLine;
    for (std::size_t pos = start; pos < size; ++lineNumber) {
        const char* found = static_cast<const char*>(std::memchr(text + pos, '\x01', size - pos));
        const std::size_t end = found ? static_cast<std::size_t>(found - text) : size;
        char* line = text + pos;
        LineResult result = readLine(builder, line, end - pos, version, isCsv, charsets);
        if (result.status == LineStatus::OutOfMemory) return false;
        if (result.status == LineStatus::Rejected) {
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
    normaliseLineEnds(text);
    // The buffer becomes the book's text; adding the last line end may have doubled it.
    if (text.capacity() > text.size() + text.size() / 8 + 64) text.shrink_to_fit();
    const bool isCsv = isCsvPath(file);
    const std::optional<int> version = checkHeader(text, isCsv, notifier);
    if (!version) return failLoad(book, hooks);
    CharSets charsets = startingCharSets(settings);
    const std::size_t bodyStart = text.find('\x01') + 1;

    std::vector<int> rejected;
    std::optional<BookBuilder> builder;
    bool read = false;
    try {
        builder.emplace(book, *version, std::move(text));
        read = readLines(*builder, bodyStart, *version, isCsv, charsets, notifier, rejected);
    } catch (const std::bad_alloc&) {
        read = false; // the index or the arena could not grow
    }
    if (!read) {
        notifier.error(msg::kOutOfMemory);
        return failLoad(book, hooks);
    }
    if (!rejected.empty()) {
        std::string list = std::string(kRejectedLines) + "\n";
        for (std::size_t i = 0; i < rejected.size(); ++i) {
            if (i) list += ", ";
            list += std::to_string(rejected[i]);
        }
        notifier.warning(list);
    }
    if (report) report->rejectedLines = std::move(rejected);
    builder->commit();
    if (book.questionCount() == 0) {
        book.discard();
        notifier.error(kNoQuestions);
        return failLoad(book, hooks);
    }
    hooks.loadFinished(true);
    return true;
}

} // namespace

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
    if (report) report->rejectedLines.clear();
    const std::filesystem::path pathCopy(file); // the path may live in the book that is replaced
    startLoad(book, pathCopy, h);
    return readBook(book, pathCopy, std::move(bytes), settings, notifier, h, report);
}

bool loadBook(QuestionBook& book, const std::filesystem::path& file, const Settings& settings,
              Notifier& notifier, LoadHooks* hooks, LoadReport* report) {
    LoadHooks none;
    LoadHooks& h = hooks ? *hooks : none;
    if (report) report->rejectedLines.clear();
    const std::filesystem::path pathCopy(file);
    startLoad(book, pathCopy, h);
    std::optional<std::string> bytes = readWholeFile(pathCopy, notifier);
    if (!bytes) return failLoad(book, h);
    return readBook(book, pathCopy, std::move(*bytes), settings, notifier, h, report);
}

} // namespace rekal
