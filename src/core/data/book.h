#pragma once
// The question book: the cards of one loaded question file, in file order, with the queries the exam,
// the list window, the writer and the export ask of it. Every card and card text lives in the book's
// arena, which is released as a whole when the book is discarded.

#include "core/base/fileio.h"
#include "core/data/encoding.h"
#include "core/settings/settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// Control bytes of stored texts.
inline constexpr char kLineBreak = 0x0A;     // the file's \n
inline constexpr char kMediaTag = 0x02;      // then 'i' or 'm', a double quote, the name, a double quote
inline constexpr char kListSeparator = 0x03; // between hints, answers, wrong choices, bracket options
inline constexpr char kGroupOpen = 0x04;     // [ of a mandatory choice group
inline constexpr char kGroupClose = 0x05;    // ]
inline constexpr char kOptionalOpen = 0x06;  // ( of an optional group
inline constexpr char kOptionalClose = 0x07; // )

// A stored text: zero-terminated CP932 in the book's arena, or absent.
struct StoredText {
    const char* p = nullptr;

    bool present() const { return p != nullptr; }
    bool empty() const { return p == nullptr || *p == '\0'; }
    std::string_view view() const { return p ? std::string_view(p) : std::string_view(); }
    const char* c_str() const { return p ? p : ""; }
};

// Items of a list text (cut at 0x03). An absent or empty text has no items; a non-empty one has one
// item more than it has separators.
int listItemCount(StoredText list);
// The i-th item as a fresh copy, or none. Item 0 of an empty (but present) text is the empty string.
std::optional<std::string> listItemAt(StoredText list, int i);

enum class CardKind : std::uint8_t {
    Title = 1,
    Question = 2,
    Comment = 3, // blank line, ' line, or a rejected line kept byte for byte
    GroupNames = 4,
    Message = 5,
    TimeLimit = 6,
    QuestionShowTime = 7,
    AnswerStartTime = 8,
    FontTitle = 17, // FontTitle + FontClass for the six stored text classes
    FontQuestion = 18,
    FontHint = 19,
    FontAnswer = 20,
    FontGroup = 21,
    FontComment = 22,
};

constexpr CardKind fontCardKind(FontClass textClass) {
    return static_cast<CardKind>(static_cast<int>(CardKind::FontTitle) + static_cast<int>(textClass));
}
constexpr bool isFontCardKind(CardKind kind) {
    return kind >= CardKind::FontTitle && kind <= CardKind::FontComment;
}
constexpr bool isValueCardKind(CardKind kind) {
    return kind == CardKind::TimeLimit || kind == CardKind::QuestionShowTime ||
           kind == CardKind::AnswerStartTime;
}

// Five bits of comparison leniency; -1 (every bit) where no title gives them.
using CompareOptions = int;
enum CompareBit : int {
    CompareIgnoreCase = 1,
    CompareIgnoreKana = 2,
    CompareIgnoreWidth = 4,
    CompareIgnoreSymbols = 8,
    CompareVague = 16,
};
inline constexpr CompareOptions kAllCompareOptions = -1;

// Five right/wrong results, bit 4 the most recent, 1 = right. 0 to 31.
using AnswerHistory = int;
inline constexpr AnswerHistory kMaxHistory = 31;
inline constexpr int kHistoryLength = 5;

// The history after the newest `count` results (0 to 5) of `source` are shifted into it, oldest first.
constexpr AnswerHistory historyWithResultsOf(AnswerHistory history, AnswerHistory source, int count) {
    if (count <= 0) return history;
    if (count >= kHistoryLength) return source;
    const AnswerHistory newest = (kMaxHistory << (kHistoryLength - count)) & kMaxHistory;
    return (history >> count) | (source & newest);
}

// The verdict on one asked question (the numbers the exam results store).
enum class Verdict : int { None = 0, Right = 1, Wrong = 2, Skipped = 3 };

constexpr AnswerHistory historyAfter(AnswerHistory history, Verdict verdict) {
    return verdict == Verdict::Right   ? (history >> 1) + 16
           : verdict == Verdict::Wrong ? history >> 1
                                       : history;
}

// The common part of every card. Cards are plain records in the arena (never destroyed one by one).
// (Its small fields come first and last, so that a kind's own small fields fit in the padding.)
struct Card {
    CardKind kind = CardKind::Comment;
    bool keptAsRead = false;    // a comment card of a line that code page 932 cannot hold (KeptLineCard)
    std::uint32_t position = 0; // place in the book from 0; the file line is position + 2
    Card* prev = nullptr;
    Card* next = nullptr;
    StoredText comment;
    std::int32_t kindIndex = 0; // place among the cards of its kind from 0
};

struct TitleCard : Card {
    std::uint8_t choiceCount = 0;    // 0 to 9; 0 = written answer
    std::uint8_t compareOptions = 0; // CompareOptions bits
    StoredText title;
};

struct QuestionCard : Card {
    std::uint8_t history = 0;      // AnswerHistory
    std::uint8_t group = 0;        // 0 to 9
    std::uint8_t displayIndex = 0; // 0 to 9: the alternative shown as the answer
    // Results shifted into the history since the book was read or last saved, at most five (the
    // newest bits of the history are theirs); a history clear counts as five.
    std::uint8_t sessionResults = 0;
    StoredText question;
    StoredText hints;           // list text; absent = no hints
    StoredText rawAnswer;       // with its group marks as read
    StoredText answers;         // list of accepted alternatives, no duplicates (may share rawAnswer's bytes)
    StoredText rawWrongChoices; // absent = none
    StoredText wrongChoices;    // absent = none
};

struct GroupNamesCard : Card {
    std::array<StoredText, 10> names; // each present, possibly empty
};

struct MessageCard : Card {
    StoredText message;
};

// Time limit, question show time or answer start time (seconds).
struct ValueCard : Card {
    int value = 0;
};

struct FontCard : Card {
    int size = 0;     // 0 = not given
    StoredText face;  // at most 31 bytes; empty = not given
    int charSet = -1; // -1 = not given

    FontClass textClass() const {
        return static_cast<FontClass>(static_cast<int>(kind) - static_cast<int>(CardKind::FontTitle));
    }
};

// A line of a UTF-8 or UTF-16 file with a character that code page 932 cannot hold: a comment card
// whose comment shows the line with "〓" for such characters, and which keeps the line's bytes as read
// so that saving writes them back unchanged.
struct KeptLineCard : Card {
    std::string_view original; // in the book's arena
};

// Checked downcasts: none when the card is not of that kind.
const TitleCard* asTitle(const Card* card);
const QuestionCard* asQuestion(const Card* card);
const GroupNamesCard* asGroupNames(const Card* card);
const MessageCard* asMessage(const Card* card);
const ValueCard* asValue(const Card* card);
const FontCard* asFont(const Card* card);
const KeptLineCard* asKeptLine(const Card* card);

// The settings font of a class as a font card in effect changes it: a non-zero size, a character
// set other than -1 and a non-empty face replace the settings' values; colours stay.
FontSpec applyFontCard(const FontSpec& base, const FontCard* card);

// Default name of group g (0 to 9): "全般", then the full-width digits.
std::string_view defaultGroupName(int g);

struct BookArena;
struct ReaderSpace;

class QuestionBook {
  public:
    QuestionBook();
    ~QuestionBook();
    QuestionBook(const QuestionBook&) = delete;
    QuestionBook& operator=(const QuestionBook&) = delete;

    bool isLoaded() const;
    int version() const { return version_; } // 12 to 16 while loaded
    // The encoding the file was read in, and a save writes in.
    TextEncoding encoding() const { return encoding_; }

    // The book's file, as the user chose it.
    const std::filesystem::path& file() const { return file_; }
    // The file's name as CP932 text for the exam log: the name itself or its short form; empty when
    // code page 932 cannot name the file.
    const std::string& path() const { return path_; }
    // Sets the file and works out its CP932 name (a short form needs the file to exist). Another
    // file than the book's forgets the stamp.
    void setFile(std::filesystem::path file);

    // What the file was when the book was read from it or last written to it; none for a book not
    // read from a file, or once the book names another file.
    const std::optional<FileStamp>& fileStamp() const { return stamp_; }
    void setFileStamp(std::optional<FileStamp> stamp) { stamp_ = std::move(stamp); }

    bool isDirty() const { return dirty_; }
    void setDirty(bool dirty) { dirty_ = dirty; }
    // Set while a running exam is ended because another file is loaded or the exam view closes.
    bool isReplacing() const { return replacing_; }
    void setReplacing(bool replacing) { replacing_ = replacing; }

    // Group 0 always takes part; groups 1 to 9 when their flag is on.
    bool groupEnabled(int g) const;
    void setGroupEnabled(int g, bool on);
    int rangeFirst() const { return rangeFirst_; }
    int rangeLast() const { return rangeLast_; }
    void setExamRange(int first, int last);

    // Cards in file order (follow Card::next).
    const Card* firstCard() const;
    const Card* lastCard() const;
    int cardCount() const;

    int questionCount() const;
    int titleCount() const;
    const QuestionCard* questionAt(int n) const;
    const TitleCard* titleAt(int n) const;
    const QuestionCard* nextQuestion(const Card* card) const;
    const TitleCard* enclosingTitle(const Card* card) const;
    // Cards of that kind from the first card up to and including this one, minus 1; -1 for no card.
    int indexOfKind(const Card* card, CardKind kind) const;
    int countInRange(int first, int last) const;
    std::optional<std::string> groupName(int g) const;

    int hintCount(const QuestionCard* q) const;
    std::optional<std::string> hintAt(const QuestionCard* q, int i) const;
    int answerCount(const QuestionCard* q) const;
    std::optional<std::string> answerAt(const QuestionCard* q, int i) const;
    int wrongChoiceCount(const QuestionCard* q) const;
    std::optional<std::string> wrongChoiceAt(const QuestionCard* q, int i) const;
    std::optional<std::string> displayAnswer(const QuestionCard* q) const;

    // For the time-limit, show-time and answer-start-time kinds: the value of the nearest such card at
    // or before the card; -1 when there is none.
    int valueInEffect(const Card* card, CardKind kind) const;
    const FontCard* fontInEffect(const Card* card, FontClass textClass) const;
    CompareOptions compareOptionsFor(const QuestionCard* q) const;

    // q must be a card of this book; false (nothing changed) otherwise or for h outside 0..31.
    bool setHistory(const QuestionCard* q, AnswerHistory h);
    // Right or wrong: shifted into the history and counted as a result of this session.
    void recordResult(const QuestionCard* q, Verdict verdict);
    void clearHistories();
    // Shifts the newest `count` results of `source` into q's history (see historyWithResultsOf) and
    // counts them as results of this session; false when q is not a card of this book.
    bool shiftInResults(const QuestionCard* q, AnswerHistory source, int count);
    // The file now holds every result: none counts as this session's any more.
    void forgetSessionResults();
    // Takes the cards of another loaded book (its arena, version and encoding) in place of this
    // book's, which are released; this book keeps its file, stamp and group flags, its exam range
    // is kept inside the new question count, and it is dirty. The other book is left empty.
    void adoptCards(QuestionBook& other);
    void discard();

    // Bytes held by the loaded book (arena, file text and index), for measurements.
    std::size_t memoryUsed() const;

  private:
    friend class BookBuilder;
    QuestionCard* ownQuestion(const QuestionCard* q);
    const Card* lastOfKindAtOrBefore(const Card* card, CardKind kind) const;

    std::unique_ptr<BookArena> arena_;
    std::filesystem::path file_;
    std::string path_;
    std::optional<FileStamp> stamp_;
    int version_ = 0;
    TextEncoding encoding_ = TextEncoding::Cp932;
    bool dirty_ = false;
    bool replacing_ = false;
    std::array<bool, 9> groupFilter_{};
    int rangeFirst_ = 0;
    int rangeLast_ = -1;
    Card* first_ = nullptr;
    Card* last_ = nullptr;
    std::uint32_t cardCount_ = 0;
    // Index: the cards of each kind in file order (slot of CardKind, see book.cpp).
    std::array<std::vector<Card*>, 14> byKind_;
    std::array<StoredText, 10> groupNames_; // first non-empty name of each group among the group-names cards
};

// Fills a book: the reader starts a new arena (adopting the file text, which it decodes in place),
// allocates and appends cards in file order, and commits. Allocation failures give null.
class BookBuilder {
  public:
    BookBuilder(QuestionBook& book, int version, std::string fileText,
                TextEncoding encoding = TextEncoding::Cp932);
    ~BookBuilder();
    BookBuilder(const BookBuilder&) = delete;
    BookBuilder& operator=(const BookBuilder&) = delete;
    char* text() const; // the adopted file text
    std::size_t textSize() const;

    template <class T> T* make(CardKind kind) {
        void* memory = allocate(sizeof(T), alignof(T));
        if (!memory) return nullptr;
        T* card = new (memory) T{};
        card->kind = kind;
        return card;
    }
    // A copy of bytes as a stored text in the arena; null when out of memory.
    const char* copyText(std::string_view bytes);
    void append(Card* card);
    // Builds the index, the group names, and (with at least one question) the range and flags.
    void commit();

    // Test hook: allocations fail once the arena holds more than this many bytes (0 = no limit).
    void limitArenaForTesting(std::size_t bytes);

    // Work space of the reader, kept for one load.
    ReaderSpace& readerSpace() { return *space_; }

  private:
    void* allocate(std::size_t size, std::size_t align);
    QuestionBook& book_;
    std::unique_ptr<ReaderSpace> space_;
};

// Hint window paging: one hint shown at a time, the counter "%d / %d".
struct HintPager {
    int position = 0; // 0-based
    int count = 0;

    // +1 or -1, wrapping to the first or last hint.
    void step(int delta);
    // Shows hint n when it exists; otherwise nothing changes. True when it exists.
    bool show(int n);
    std::string counterText() const;
};

} // namespace rekal
