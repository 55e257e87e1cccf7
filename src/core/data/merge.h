#pragma once
// Saving a book whose file something else has written since it was read: an editor that added or
// corrected questions, a copy synchronised from another machine, a second instance of the program.
// The file is read again, the results this session shifted into the histories are carried onto the
// questions of the new text, and that is saved, so that neither the other writer's lines nor this
// session's answers are lost.

#include "core/base/fileio.h"
#include "core/base/notifier.h"
#include "core/data/book.h"
#include "core/data/save.h"
#include "core/settings/settings.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rekal {

// The book's file as it is now, against the stamp the book keeps. The bytes are read and hashed
// every time: a synchronised copy may keep its size and its time, and a touched file its bytes.
enum class BookFileState { Unchanged, Changed, Lost };
struct BookFileCheck {
    BookFileState state = BookFileState::Unchanged;
    std::string bytes;              // Changed: the file as it is now
    std::optional<FileStamp> stamp; // Changed: their stamp
};
// Unchanged for a book without a stamp (not read from a file, or given another file). Lost when
// the file is gone or cannot be read.
BookFileCheck checkBookFile(const QuestionBook& book);

// An answered question of the book that the new text no longer holds.
struct LostQuestion {
    int index = 0;    // its question index in the book
    std::string text; // its question text as stored
};

struct MergeReport {
    int carried = 0;                // answered questions whose results went onto the new text
    std::vector<LostQuestion> lost; // answered questions not found, in book order
    // For each question index of the old book its index in the new one, -1 when it was not found.
    std::vector<int> questionMap;
};

// Matches the questions of `from` with those of `into` (the same question text and the same raw
// answer; among equal ones the first with the first, the second with the second, and so on) and
// shifts this session's results of each matched question of `from` into the history of its match
// in `into`, where they count as this session's again.
MergeReport carrySessionResults(const QuestionBook& from, QuestionBook& into);

// How many lost questions the message names; a count of the others follows them.
inline constexpr std::size_t kLostQuestionsNamed = 20;
// What the user is told after a merge: how many questions' results were carried over and, when some
// were not found, the first `limit` of them by number and text, then "ほか %d 問".
std::string mergeMessage(const MergeReport& report, std::size_t limit = kLostQuestionsNamed);

// The book's file is gone or unreadable; the book stays loaded (the front end offers Save As).
std::string bookFileLostText(const std::filesystem::path& file);
// The Windows program's question after that text.
inline constexpr const char* kSaveAsQuestion = "名前を付けて保存しますか？";

enum class BookSave {
    Saved,      // written (or clean: nothing to write)
    Merged,     // the file had changed: read again, this session's results carried over, written
    FileLost,   // the file is gone or cannot be read: nothing written, the book is as it was
    NotWritten, // the write failed (told) or the user kept a read-only file: the book stays dirty
};
struct BookSaveResult {
    BookSave outcome = BookSave::Saved;
    // The loaded book became the one read again (also when its write then failed): the question
    // indices the front end holds must go through questionMap.
    bool merged = false;
    std::string message; // the merge message told to the user
    std::vector<int> questionMap;
};

// The save of both front ends: a dirty book is written to its file, unless something else wrote
// the file since the book was read or saved; then the file is read again, this session's results
// are carried onto it, the merge message is told (an information, nothing is asked), the loaded book
// becomes the merged one, and that is written. A gone or unreadable file is not told: the caller
// offers Save As (bookFileLostText).
BookSaveResult saveBookMerging(QuestionBook& book, const Settings& settings, Notifier& notifier,
                               SaveHooks* hooks = nullptr);

} // namespace rekal
