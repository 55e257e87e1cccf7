#pragma once
// Writing the question book back to its file in the question-file format, so that the right/wrong
// histories survive. The file is rewritten through the crash-safe replace: a failed save never
// harms the old file.

#include "core/base/notifier.h"
#include "core/data/book.h"
#include "core/data/reader.h"
#include "core/settings/settings.h"

#include <string>
#include <string_view>

namespace rekal {

// What the window program does around a save; every call has a do-nothing default.
class SaveHooks {
  public:
    virtual ~SaveHooks() = default;
    // Wait cursor and the status text "保存中...".
    virtual void saveStarted() {}
    // Normal cursor and the idle status text.
    virtual void saveFinished() {}
};

// How the lines of one file are written: its version, its comma rules, and the current character
// set of each text class (a font card that names a set changes its class's set for the lines after it).
struct CardLineFormat {
    CardLineFormat(const Settings& settings, int version, bool csv);
    int version;
    bool csv;
    CharSets charsets;
};

// Appends the line a save writes for one card (without its line end), each text escaped so that the
// reader gives it back as it stands.
void appendCardLine(std::string& out, const Card& card, CardLineFormat& format);

// The whole file as a save writes it: the header with the book's version, then one line per card,
// every line ended by CR LF. The settings give the starting character set of each text class.
std::string formatBook(const QuestionBook& book, const Settings& settings);

// Writes a loaded book to its path whether or not it is dirty: the steps of saveBook after its
// check. On success the book is clean, its stamp is that of the written file and none of its
// results counts as this session's any more.
bool writeBook(QuestionBook& book, const Settings& settings, Notifier& notifier, SaveHooks* hooks = nullptr);

// Writes a loaded, dirty book to its path; does nothing for a clean or empty book. A read-only file
// is written only when the user agrees (its read-only attribute is then cleared). The book becomes
// clean only after the whole file was written. False when the book is still dirty afterwards.
bool saveBook(QuestionBook& book, const Settings& settings, Notifier& notifier, SaveHooks* hooks = nullptr);

} // namespace rekal
