#include "core/data/save.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "core/base/sjis.h"
#include "core/data/reader.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>

namespace rekal {

namespace {

constexpr const char* kReadOnlyQuestion = " は読み込み専用ファイルです。保存しますか？";
constexpr std::string_view kLineEnd = "\r\n";

// Character-set names as a font card is written with them (capitals); the numbers come from the
// reader's own table, so the two can never disagree.
constexpr std::string_view kCharSetNames[] = {
    "ANSI",  "DEFAULT", "SYMBOL", "MAC",    "SHIFTJIS", "HANGEUL", "JOHAB", "GB2312",     "CHINESE",
    "GREEK", "TURKISH", "HEBREW", "ARABIC", "BALTIC",   "RUSSIAN", "THAI",  "EASTEUROPE", "OEM",
};

// What the encoder does with the bytes of one field.
struct FieldEncoding {
    bool doubleByte = true;       // double-byte characters are copied whole
    bool pictures = false;        // 0x02 i tags are written as \i"name"
    bool movies = false;          // 0x02 m tags are written as \m"name"
    bool hintSeparators = false;  // 0x03 is written as \h
    bool marks = false;           // 0x03-0x07 are written as | [ ] ( ), the literal characters escaped
    bool escapeMarkBytes = false; // 0x04-0x07 are escaped (an answer before 1.3, whose reader rejects
                                  // a raw one but takes an escaped one as a plain byte)
    bool apostrophe = false;      // ' is escaped (texts that the reader ends at an apostrophe)
    bool leadingMark = false;     // a first # $ or ' is escaped (the question text)
    bool commaEnds = true;        // the reader ends the field at a comma
    bool apostropheEnds = false;  // the reader ends the field at an apostrophe
};

// Length of a media tag at i (0x02, letter, quoted name) that the field may hold, or 0.
std::size_t mediaTagLength(std::string_view text, std::size_t i, const FieldEncoding& e) {
    if (i + 2 >= text.size() || text[i + 2] != '"') return 0;
    if (!(text[i + 1] == 'i' && e.pictures) && !(text[i + 1] == 'm' && e.movies)) return 0;
    const std::size_t close = text.find('"', i + 3);
    return close == std::string_view::npos ? 0 : close + 1 - i;
}

char markCharacter(char c) {
    switch (c) {
    case kListSeparator:
        return '|';
    case kGroupOpen:
        return '[';
    case kGroupClose:
        return ']';
    case kOptionalOpen:
        return '(';
    default:
        return ')';
    }
}

// Bytes that some field writes otherwise than as they are (control bytes are all below 0x20).
constexpr bool mayNeedEscape(unsigned char c) {
    return c < 0x20 || c == '\\' || c == ',' || c == '\'' || c == '[' || c == ']' || c == '(' || c == ')' ||
           c == '|' || c == '#' || c == '$';
}

// Stored text to file text: the inverse of the reader's field decoding.
void encodeField(std::string& out, std::string_view text, const FieldEncoding& e) {
    bool afterLoneLead = false; // the last character was a lead byte that starts no character
    for (std::size_t i = 0; i < text.size();) {
        // Characters that are written as they are go out as one run.
        std::size_t run = i;
        while (run < text.size()) {
            const auto b = static_cast<unsigned char>(text[run]);
            if (e.doubleByte && isLeadByte(b)) {
                if (!isDoubleByteAt(text, run)) break;
                run += 2;
            } else if (!mayNeedEscape(b)) {
                ++run;
            } else {
                break;
            }
        }
        if (run > i) {
            out.append(text.substr(i, run - i));
            i = run;
            afterLoneLead = false;
            continue;
        }
        const char c = text[i];
        if (e.doubleByte && isDoubleByteAt(text, i)) {
            out.append(text.substr(i, 2));
            i += 2;
            afterLoneLead = false;
            continue;
        }
        const bool loneLead = afterLoneLead;
        afterLoneLead = e.doubleByte && isLeadByte(static_cast<unsigned char>(c));
        if (c == kLineBreak || c == '\r') {
            out += "\\n";
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == kLineBreak) ? 2 : 1;
            continue;
        }
        if (c == kMediaTag) {
            if (const std::size_t length = mediaTagLength(text, i, e)) {
                out += '\\';
                out.append(text.substr(i + 1, length - 1));
                i += length;
                continue;
            }
        }
        if (c == kListSeparator && e.hintSeparators) {
            out += "\\h";
        } else if (e.marks && c >= kListSeparator && c <= kOptionalClose) {
            out += markCharacter(c);
        } else if (loneLead && ((c == ',' && !e.commaEnds) || (c == '\'' && !e.apostropheEnds))) {
            // The backslash of an escape would join the lone lead byte as its second byte; where
            // the character does not end the field it needs no escape, so both read back as they are.
            out += c;
        } else if (c == '\\' || c == ',' || (c == '\'' && e.apostrophe) ||
                   (e.escapeMarkBytes && c >= kGroupOpen && c <= kOptionalClose) ||
                   (e.marks && (c == '[' || c == ']' || c == '(' || c == ')' || c == '|')) ||
                   (i == 0 && e.leadingMark && (c == '#' || c == '$' || c == '\''))) {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
        ++i;
    }
}

class BookWriter {
  public:
    BookWriter(CardLineFormat& format, std::string& out)
        : out_(out), version_(format.version), csv_(format.csv), charsets_(format.charsets) {}

    void card(const Card& card) {
        if (const TitleCard* t = asTitle(&card)) return title(*t);
        if (const QuestionCard* q = asQuestion(&card)) return question(*q);
        if (const GroupNamesCard* g = asGroupNames(&card)) return groupNames(*g);
        if (const MessageCard* m = asMessage(&card)) return message(*m);
        if (const ValueCard* v = asValue(&card)) return value(*v);
        if (const FontCard* f = asFont(&card)) return font(*f);
        commentPart(card); // a comment card: blank line or ' and its text
    }

  private:
    FieldEncoding classEncoding(FontClass textClass) const {
        FieldEncoding e;
        e.doubleByte = charsets_.doubleByte(textClass);
        return e;
    }
    // A field that may hold media tags: only those its version reads back as tags are written as
    // tags (a file of an older version keeps such bytes as they are).
    FieldEncoding mediaEncoding(FontClass textClass) const {
        FieldEncoding e = classEncoding(textClass);
        e.pictures = version_ >= 14;
        e.movies = version_ >= 16;
        return e;
    }

    void field(StoredText text, const FieldEncoding& e) { encodeField(out_, text.view(), e); }

    void commentPart(const Card& card, char mark = '\'') {
        if (card.comment.empty()) return;
        out_ += mark;
        FieldEncoding e = mediaEncoding(CommentFont);
        e.commaEnds = csv_;
        field(card.comment, e);
    }

    void title(const TitleCard& t) {
        out_ += '#';
        field(t.title, classEncoding(TitleFont));
        out_ += ',';
        out_ += static_cast<char>('0' + t.choiceCount % 10);
        for (int bit = 0; bit < 5; ++bit)
            out_ += (t.compareOptions & (1 << bit)) ? '1' : '0';
        commentPart(t);
    }

    void question(const QuestionCard& q) {
        FieldEncoding e = mediaEncoding(QuestionFont);
        e.leadingMark = true;
        field(q.question, e);
        if (!q.hints.empty()) {
            out_ += "\\h";
            FieldEncoding h = mediaEncoding(HintFont);
            h.hintSeparators = true;
            field(q.hints, h);
        }
        out_ += ',';
        FieldEncoding a = mediaEncoding(AnswerFont);
        a.marks = version_ >= 13; // before, the marks are plain characters and 0x03-0x07 plain bytes
        a.escapeMarkBytes = !a.marks;
        field(q.rawAnswer, a);
        if (!q.rawWrongChoices.empty()) {
            out_ += "\\c";
            field(q.rawWrongChoices, a);
        }
        out_ += ',';
        out_ += static_cast<char>(0x3C + (q.history & 31));
        out_ += static_cast<char>('0' + q.group % 10);
        out_ += static_cast<char>('0' + q.displayIndex % 10);
        commentPart(q);
    }

    void groupNames(const GroupNamesCard& g) {
        out_ += "$Group=";
        int last = -1;
        if (!g.comment.empty()) {
            last = 9;
        } else {
            for (int i = 9; i >= 0 && last < 0; --i)
                if (!g.names[static_cast<std::size_t>(i)].empty()) last = i;
        }
        FieldEncoding e = classEncoding(GroupFont);
        for (int i = 0; i <= last; ++i) {
            if (i) out_ += ',';
            e.apostrophe = e.apostropheEnds = i == 9; // the tenth name ends at an apostrophe
            field(g.names[static_cast<std::size_t>(i)], e);
        }
        commentPart(g);
    }

    void message(const MessageCard& m) {
        out_ += "$Message=";
        FieldEncoding e; // messages are always read double-byte aware
        e.apostrophe = true;
        e.commaEnds = csv_;
        e.apostropheEnds = !csv_;
        field(m.message, e);
        // In a .csv file a message ends at a comma, not at an apostrophe: an apostrophe there would
        // make the comment part of the message.
        commentPart(m, csv_ ? ',' : '\'');
    }

    void value(const ValueCard& v) {
        out_ += v.kind == CardKind::TimeLimit          ? "$TimeLimit="
                : v.kind == CardKind::QuestionShowTime ? "$QuestionShowTime="
                                                       : "$AnswerStartTime=";
        out_ += std::to_string(v.value);
        commentPart(v);
    }

    void font(const FontCard& f) {
        static constexpr const char* kKeys[] = {
            "$FontTitle=", "$FontQuestion=", "$FontHint=", "$FontAnswer=", "$FontGroup=", "$FontComment="};
        out_ += kKeys[f.textClass()];
        if (f.size != 0) out_ += std::to_string(f.size);
        const bool hasFace = !f.face.empty();
        const bool hasComment = !f.comment.empty();
        if (f.charSet != -1 || hasFace || hasComment) {
            out_ += ',';
            if (f.charSet != -1) out_ += charSetText(f.charSet);
        }
        if (hasFace || hasComment) {
            out_ += ',';
            FieldEncoding e; // face names are always read double-byte aware
            e.apostrophe = e.apostropheEnds = true;
            field(f.face, e);
            commentPart(f);
        }
        // The reader changes the class's current set only where a card names one; so does the
        // writer, or the lines after the card would be scanned differently when read back.
        if (f.charSet != -1) charsets_.sets[static_cast<std::size_t>(f.textClass())] = f.charSet;
    }

    static std::string charSetText(int set) {
        for (std::string_view name : kCharSetNames)
            if (charSetByName(name) == set) return std::string(name);
        return std::to_string(set);
    }

    std::string& out_;
    int version_;
    bool csv_;
    CharSets& charsets_;
};

bool isReadOnly(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    return !ec && std::filesystem::exists(status) &&
           (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
}

} // namespace

CardLineFormat::CardLineFormat(const Settings& settings, int version, bool csv)
    : version(version), csv(csv), charsets(startingCharSets(settings)) {}

void appendCardLine(std::string& out, const Card& card, CardLineFormat& format) {
    BookWriter(format, out).card(card);
}

std::string formatBook(const QuestionBook& book, const Settings& settings) {
    // No reservation up front: growing the text costs less than a block sized from the book's
    // memory, which measured slower for large books.
    const TextEncoding encoding = book.encoding();
    std::string out(byteOrderMark(encoding));
    // A file in another encoding is written in code page 932 into a buffer first, converted a piece
    // at a time, and lines kept as read are put between the pieces unchanged.
    std::string pending;
    std::string& text = encoding == TextEncoding::Cp932 ? out : pending;
    constexpr std::size_t kPiece = 64 * 1024;
    int cardsWritten = 0;
    const auto flush = [&] {
        if (&text == &out) return;
        appendInEncoding(out, pending, encoding);
        pending.clear();
        // After the first whole piece the text is reserved at its size per card (and a little
        // more, but never more than twice the book's memory), so that it is not copied as it grows;
        // a short guess only grows it as before.
        if (cardsWritten > 0 && out.size() >= kPiece && out.capacity() < kPiece * 4) {
            const std::size_t perCard = out.size() / static_cast<std::size_t>(cardsWritten) + 1;
            const std::size_t guess = perCard * static_cast<std::size_t>(book.cardCount()) * 9 / 8 + kPiece;
            out.reserve(std::min(guess, 2 * book.memoryUsed() + kPiece));
        }
    };
    text += "REKALDATA V";
    text += static_cast<char>('0' + book.version() / 10 % 10);
    text += '.';
    text += static_cast<char>('0' + book.version() % 10);
    CardLineFormat format(settings, book.version(), isCsvPath(book.file()));
    for (const Card* card = book.firstCard(); card; card = card->next) {
        text += kLineEnd;
        if (const KeptLineCard* kept = asKeptLine(card); kept && &text != &out) {
            flush();
            out += kept->original;
            continue;
        }
        appendCardLine(text, *card, format);
        ++cardsWritten;
        if (pending.size() >= kPiece) flush();
    }
    text += kLineEnd;
    flush();
    return out;
}

bool writeBook(QuestionBook& book, const Settings& settings, Notifier& notifier, SaveHooks* hooks) {
    const std::filesystem::path& path = book.file();
    if (isReadOnly(path)) {
        if (!notifier.ask(displayPath(path) + kReadOnlyQuestion)) return false;
        std::error_code ec;
        std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ec);
    }
    SaveHooks none;
    SaveHooks& h = hooks ? *hooks : none;
    h.saveStarted();
    const char* failure = nullptr;
    std::optional<FileStamp> stamp;
    try {
        const std::string text = formatBook(book, settings);
        if (replaceFileContents(path, text))
            stamp = stampFile(path, text);
        else
            failure = msg::kWriteFailed;
    } catch (const std::bad_alloc&) {
        failure = msg::kOutOfMemory;
    }
    h.saveFinished();
    if (failure) {
        notifier.error(failure);
        return false;
    }
    book.setFileStamp(std::move(stamp));
    book.forgetSessionResults();
    book.setDirty(false);
    return true;
}

bool saveBook(QuestionBook& book, const Settings& settings, Notifier& notifier, SaveHooks* hooks) {
    if (!book.isLoaded() || !book.isDirty()) return true;
    return writeBook(book, settings, notifier, hooks);
}

} // namespace rekal
