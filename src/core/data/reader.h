#pragma once
// The question-file reader: turns a Shift-JIS question file into the cards of the book. Each step is
// usable alone; loadBook runs them in order and tells the user through the Notifier.

#include "core/base/notifier.h"
#include "core/data/book.h"
#include "core/settings/settings.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// Character-set numbers the reader knows by name (a font card may give either).
inline constexpr int kCharSetAnsi = 0;
inline constexpr int kCharSetDefault = 1;
inline constexpr int kCharSetShiftJis = 128;
// The number of a character-set name (letter case ignored), or -1.
int charSetByName(std::string_view name);

// The current character set of each of the six stored text classes during one load. A class's
// fields are read double-byte aware only while its set is DEFAULT or SHIFTJIS.
struct CharSets {
    std::array<int, kStoredFontCount> sets{};

    bool doubleByte(FontClass textClass) const {
        const int set = sets[static_cast<std::size_t>(textClass)];
        return set == kCharSetDefault || set == kCharSetShiftJis;
    }
};
CharSets startingCharSets(const Settings& settings);

// The steps of the window program around a load; the core knows nothing of windows. Every call has
// a do-nothing default.
class LoadHooks {
  public:
    virtual ~LoadHooks() = default;
    // While the book is marked replacing: end a running exam (it is logged and offers no retry).
    virtual void endRunningExam() {}
    // Close the question list window, show the wait cursor, put the exam view in its idle state.
    virtual void beforeLoad() {}
    // The file is stored in the book: recent-file list and menu, status text "読み込み中...".
    virtual void pathStored(const std::filesystem::path& file) {}
    // The old book is gone: disable the commands that need a book, plain caption.
    virtual void bookDiscarded() {}
    // Loaded: enable the commands, caption with the path; either way rebuild the information pane
    // and restore the cursor.
    virtual void loadFinished(bool loaded) {}
};

// What a load found besides its messages.
struct LoadReport {
    std::vector<int> rejectedLines;              // file line numbers, the header being line 1
    std::vector<LineCharacter> unconverted;      // those rejected for a character code page 932 cannot hold
    TextEncoding encoding = TextEncoding::Cp932; // what the file was written in
};

// A message with its first "%d" replaced by the number.
std::string withNumber(std::string_view text, std::size_t number);

// How many rejected lines the load's warning names; a count of the others follows them.
inline constexpr std::size_t kRejectedLinesNamed = 20;
// The rejected lines as the load's warning names them: their numbers joined by ", ", a line rejected
// for a character followed by that character ("7 (U+D55C)"), and after the first `limit` of them
// (0 = no limit) "ほか %d 行" with the rest counted.
std::string rejectedLineList(const LoadReport& report, std::size_t limit);

// Loads the file into the book (discarding what it held) and tells the user what went wrong.
// The caller has saved a dirty book first. False when no book is loaded afterwards. The book keeps
// the file's absolute path.
bool loadBook(QuestionBook& book, const std::filesystem::path& file, const Settings& settings,
              Notifier& notifier, LoadHooks* hooks = nullptr, LoadReport* report = nullptr);
// The same from bytes already in memory; file names the file (its extension selects the comma rules).
bool loadBookFromBytes(QuestionBook& book, const std::filesystem::path& file, std::string bytes,
                       const Settings& settings, Notifier& notifier, LoadHooks* hooks = nullptr,
                       LoadReport* report = nullptr);

// The file's bytes in one buffer (the string's own zero byte ends them), or none after telling why
// ("ファイルが見つかりません。", "ファイル読み込みに失敗しました。"); a missing file is told only
// when reportMissing.
std::optional<std::string> readWholeFile(const std::filesystem::path& file, Notifier& notifier,
                                         bool reportMissing = true);

// True for a name ending in ".csv" (letter case ignored).
bool isCsvPath(const std::filesystem::path& file);

// The data version (12 to 16) of a normalised text's header line, or none after its error message.
std::optional<int> checkHeader(std::string_view text, bool isCsv, Notifier& notifier);

enum class LineStatus { Accepted, Rejected, OutOfMemory };
struct LineResult {
    LineStatus status = LineStatus::Rejected;
    Card* card = nullptr; // the new card when accepted (not yet appended)
};
// Reads one line (length bytes, followed by its line end byte) into a card in the builder's arena.
// An accepted line's fields are decoded in place, each ended by a zero byte (the line end byte may
// become one); a rejected line is left as it was. A font card that names a character set changes
// the current set of its class.
LineResult readLine(BookBuilder& builder, char* line, std::size_t length, int version, bool isCsv,
                    CharSets& charsets);

// Which escapes and marks a field's decoding applies.
enum FieldOption : unsigned {
    FieldMedia = 1,        // \i"name" (version 14) and \m"name" (version 16) become media tags
    FieldHints = 2,        // \h is a list separator (version 15)
    FieldChoices = 4,      // \c is a list separator
    FieldMarks = 8,        // unescaped [ ] ( ) | are group marks and separators (version 13)
    FieldNoLineBreaks = 16 // \n is dropped instead of becoming a line break
};

// Decodes the file text of one field into a stored text; none for a broken media tag.
std::optional<std::string> decodeField(std::string_view text, int version, int charSet, unsigned options);

// The list text of all alternatives of a raw answer (or raw wrong choices), duplicates removed;
// none for unbalanced group marks.
std::optional<std::string> expandAnswers(std::string_view raw);

} // namespace rekal
