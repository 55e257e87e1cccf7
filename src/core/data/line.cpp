// One line of a question file into one card. Fields are decoded into the builder's scratch space
// first; only when the whole line is accepted are they copied over their own bytes in the file text
// (a decoded field is never longer than its file text), so a rejected line stays byte for byte.

#include "core/data/field.h"
#include "core/data/reader.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace rekal {

namespace {

// A field decoded into the scratch space, waiting to be put in place.
struct Decoded {
    std::size_t src = 0; // where its file text starts in the line
    std::size_t off = 0; // where its decoded bytes start in the scratch space
    std::size_t len = 0;
    bool present = false;
    bool marks = false;      // holds group marks
    bool separators = false; // holds list separators
};

struct DirectiveKey {
    std::string_view key;
    int version;
    CardKind kind;
};

constexpr DirectiveKey kDirectives[] = {
    {"Group=", 14, CardKind::GroupNames},
    {"FontTitle=", 14, CardKind::FontTitle},
    {"FontQuestion=", 14, CardKind::FontQuestion},
    {"FontHint=", 15, CardKind::FontHint},
    {"FontAnswer=", 14, CardKind::FontAnswer},
    {"FontGroup=", 14, CardKind::FontGroup},
    {"FontComment=", 14, CardKind::FontComment},
    {"Message=", 14, CardKind::Message},
    {"TimeLimit=", 15, CardKind::TimeLimit},
    {"QuestionShowTime=", 16, CardKind::QuestionShowTime},
    {"AnswerStartTime=", 16, CardKind::AnswerStartTime},
};

// The most alternatives an answer or a list of wrong choices may have (far more than any drill needs).
constexpr std::ptrdiff_t kMaxAlternatives = 4096;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool startsWithIgnoringCase(std::string_view text, std::string_view key) {
    if (text.size() < key.size()) return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        char k = key[i];
        if (k >= 'a' && k <= 'z') k = static_cast<char>(k - 'a' + 'A');
        if (c != k) return false;
    }
    return true;
}

// Decimal digits from pos; the value stops growing at INT_MAX.
int readDigits(std::string_view s, std::size_t& pos) {
    long long value = 0;
    while (pos < s.size() && isDigit(s[pos])) {
        value = value * 10 + (s[pos] - '0');
        if (value > INT_MAX) value = INT_MAX;
        ++pos;
    }
    return static_cast<int>(value);
}

class LineParser {
  public:
    LineParser(BookBuilder& builder, char* line, std::size_t length, int version, bool isCsv,
               CharSets& charsets)
        : builder_(builder), line_(line), s_(line, length), version_(version), csv_(isCsv),
          charsets_(charsets), space_(builder.readerSpace()), scratch_(space_.scratch) {
        if (scratch_.size() < length) scratch_.resize(length);
    }

    LineResult parse() {
        if (s_.empty()) return commentCard(Decoded{});
        switch (s_[0]) {
        case '\'':
            return commentLine();
        case '#':
            return titleLine();
        case '$':
            if (version_ >= 14) return directiveLine();
            break;
        default:
            break;
        }
        return questionLine();
    }

  private:
    static LineResult rejected() { return {LineStatus::Rejected, nullptr}; }
    static LineResult outOfMemory() { return {LineStatus::OutOfMemory, nullptr}; }
    static LineResult accepted(Card* card) {
        return card ? LineResult{LineStatus::Accepted, card} : outOfMemory();
    }

    FieldRules rulesFor(FontClass textClass, unsigned options) const {
        FieldRules rules;
        rules.doubleByte = charsets_.doubleByte(textClass);
        rules.version = version_;
        rules.options = options;
        return rules;
    }
    FieldRules commentRules() const {
        FieldRules rules = rulesFor(CommentFont, FieldMedia);
        rules.stopComma = csv_;
        return rules;
    }

    // Decodes the field at pos into the scratch space.
    FieldScan field(std::size_t pos, const FieldRules& rules, Decoded& d) {
        std::size_t length = 0;
        FieldScan scan = scanField(s_, pos, rules, scratch_.data() + used_, length);
        d = {pos, used_, length, true, scan.marks, scan.separators};
        used_ += length;
        return scan;
    }
    std::string_view decodedText(const Decoded& d) const { return {scratch_.data() + d.off, d.len}; }

    // Copies a decoded field over its own file text and ends it with a zero byte (the byte after
    // a field is its delimiter or the line end, which are no longer needed).
    StoredText place(const Decoded& d) {
        if (!d.present) return {};
        std::memcpy(line_ + d.src, scratch_.data() + d.off, d.len);
        line_[d.src + d.len] = '\0';
        return {line_ + d.src};
    }

    // After the fields of a line: the line end, or ' or , and the comment.
    bool tail(std::size_t pos, Decoded& comment) {
        if (pos >= s_.size()) return true;
        if (s_[pos] != '\'' && s_[pos] != ',') return false;
        return field(pos + 1, commentRules(), comment).stop != FieldStop::BrokenTag;
    }

    LineResult commentCard(const Decoded& comment) {
        Card* card = builder_.make<Card>(CardKind::Comment);
        if (card) card->comment = place(comment);
        return accepted(card);
    }

    LineResult commentLine() {
        Decoded comment;
        if (field(1, commentRules(), comment).stop == FieldStop::BrokenTag) return rejected();
        return commentCard(comment);
    }

    LineResult titleLine() {
        FieldRules rules = rulesFor(TitleFont, 0);
        rules.stopComma = true;
        Decoded title, comment;
        FieldScan scan = field(1, rules, title);
        if (scan.stop != FieldStop::Comma) return rejected();
        std::size_t pos = scan.end + 1;
        if (pos + 6 > s_.size()) return rejected();
        for (std::size_t i = 0; i < 6; ++i)
            if (!isDigit(s_[pos + i])) return rejected();
        int choiceCount = s_[pos] - '0';
        int options = 0;
        for (int bit = 0; bit < 5; ++bit)
            if (s_[pos + 1 + static_cast<std::size_t>(bit)] != '0') options |= 1 << bit;
        if (!tail(pos + 6, comment)) return rejected();

        auto* card = builder_.make<TitleCard>(CardKind::Title);
        if (!card) return outOfMemory();
        card->title = place(title);
        card->choiceCount = static_cast<std::uint8_t>(choiceCount);
        card->compareOptions = static_cast<std::uint8_t>(options);
        card->comment = place(comment);
        return accepted(card);
    }

    // The list of alternatives of a decoded raw answer into out; false when its marks do not
    // balance. When the raw text itself is the list, expanded is false and the two share bytes.
    // More alternatives than kMaxAlternatives also reject the line: every use of a list takes its
    // items by number, each from the start of the list. So does an expansion beyond what is left of
    // the book's budget.
    bool expansion(const Decoded& raw, std::string& out, bool& expanded) {
        expanded = raw.present && (raw.marks || (raw.separators && answerNeedsExpansion(decodedText(raw))));
        if (expanded) {
            // Every expansion of the book draws on one budget: the lines beyond it are rejected.
            if (!expandAnswersInto(decodedText(raw), out, space_.expansion, space_.expansionLeft) ||
                out.size() > space_.expansionLeft)
                return false;
            space_.expansionLeft -= out.size();
        }
        if (!expanded && !raw.separators) return true;
        const std::string_view list = expanded ? std::string_view(out) : decodedText(raw);
        return std::count(list.begin(), list.end(), kListSeparator) < kMaxAlternatives;
    }
    StoredText placeAnswers(StoredText raw, const std::string& list, bool expanded, bool& ok) {
        if (!expanded) return raw;
        const char* copy = builder_.copyText(list);
        if (!copy) ok = false;
        return {copy};
    }

    LineResult questionLine() {
        Decoded question, hints, answer, choices, comment;
        FieldRules rules = rulesFor(QuestionFont, FieldMedia);
        rules.stopComma = true;
        rules.stopEscape = version_ >= 15 ? 'h' : 0;
        FieldScan scan = field(0, rules, question);
        if (scan.stop != FieldStop::Comma && scan.stop != FieldStop::Escape) return rejected();
        if (scan.stop == FieldStop::Escape) {
            FieldRules hintRules = rulesFor(HintFont, FieldMedia | FieldHints);
            hintRules.stopComma = true;
            scan = field(scan.end + 2, hintRules, hints);
            if (scan.stop != FieldStop::Comma) return rejected();
            hints.present = hints.len > 0;
        }
        rules = rulesFor(AnswerFont, FieldMedia | FieldMarks);
        rules.stopComma = true;
        rules.stopEscape = version_ >= 15 ? 'c' : 0;
        scan = field(scan.end + 1, rules, answer);
        if (scan.stop != FieldStop::Comma && scan.stop != FieldStop::Escape) return rejected();
        if (scan.stop == FieldStop::Escape) {
            FieldRules choiceRules = rulesFor(AnswerFont, FieldMedia | FieldMarks | FieldChoices);
            choiceRules.stopComma = true;
            scan = field(scan.end + 2, choiceRules, choices);
            if (scan.stop != FieldStop::Comma) return rejected();
            choices.present = choices.len > 0;
        }
        // Group marks came with version 1.3: a raw mark byte in an older file's answer could be
        // read as a mark but never written back as one, so the line is kept as a comment card.
        if (version_ < 13 && (answer.marks || choices.marks)) return rejected();
        std::size_t pos = scan.end + 1;
        if (pos + 3 > s_.size()) return rejected();
        const unsigned char historyByte = static_cast<unsigned char>(s_[pos]);
        if (historyByte < 0x3C || historyByte > 0x5B || !isDigit(s_[pos + 1]) || !isDigit(s_[pos + 2]))
            return rejected();
        if (!tail(pos + 3, comment)) return rejected();
        bool answersExpanded = false, choicesExpanded = false;
        if (!expansion(answer, space_.answers, answersExpanded) ||
            !expansion(choices, space_.wrongChoices, choicesExpanded))
            return rejected();

        auto* card = builder_.make<QuestionCard>(CardKind::Question);
        if (!card) return outOfMemory();
        card->question = place(question);
        card->hints = place(hints);
        card->rawAnswer = place(answer);
        card->rawWrongChoices = place(choices);
        card->comment = place(comment);
        bool ok = true;
        card->answers = placeAnswers(card->rawAnswer, space_.answers, answersExpanded, ok);
        card->wrongChoices = placeAnswers(card->rawWrongChoices, space_.wrongChoices, choicesExpanded, ok);
        card->history = static_cast<std::uint8_t>(historyByte - 0x3C);
        card->group = static_cast<std::uint8_t>(s_[pos + 1] - '0');
        card->displayIndex = static_cast<std::uint8_t>(s_[pos + 2] - '0');
        return ok ? accepted(card) : outOfMemory();
    }

    LineResult directiveLine() {
        for (const DirectiveKey& d : kDirectives) {
            if (!startsWithIgnoringCase(s_.substr(1), d.key)) continue;
            if (version_ < d.version) return rejected();
            const std::size_t pos = 1 + d.key.size();
            if (d.kind == CardKind::GroupNames) return groupLine(pos);
            if (d.kind == CardKind::Message) return messageLine(pos);
            if (isValueCardKind(d.kind)) return valueLine(pos, d.kind);
            return fontLine(pos, d.kind);
        }
        return rejected();
    }

    LineResult groupLine(std::size_t pos) {
        // Names are found by the Group class's set but always decoded double-byte aware.
        FieldRules find = rulesFor(GroupFont, 0);
        find.stopComma = true;
        FieldRules decode = rulesFor(GroupFont, FieldNoLineBreaks);
        decode.doubleByte = true;
        std::array<Decoded, 10> names;
        Decoded comment;
        bool lineEnded = false;
        for (std::size_t g = 0; g < names.size(); ++g) {
            if (lineEnded) {
                names[g] = {s_.size(), used_, 0, true};
                continue;
            }
            find.stopApostrophe = g == names.size() - 1;
            std::size_t length = 0;
            FieldScan scan = scanField(s_, pos, find, scratch_.data() + used_, length);
            scanField(s_.substr(0, scan.end), pos, decode, scratch_.data() + used_, length);
            names[g] = {pos, used_, length, true};
            used_ += length;
            if (scan.stop == FieldStop::LineEnd) {
                lineEnded = true;
            } else if (g == names.size() - 1) {
                if (field(scan.end + 1, commentRules(), comment).stop == FieldStop::BrokenTag)
                    return rejected();
            }
            pos = scan.end + 1;
        }
        auto* card = builder_.make<GroupNamesCard>(CardKind::GroupNames);
        if (!card) return outOfMemory();
        for (std::size_t g = 0; g < names.size(); ++g)
            card->names[g] = place(names[g]);
        card->comment = place(comment);
        return accepted(card);
    }

    LineResult messageLine(std::size_t pos) {
        FieldRules rules = rulesFor(CommentFont, 0);
        rules.doubleByte = true;
        rules.stopComma = csv_;
        rules.stopApostrophe = !csv_;
        Decoded message, comment;
        FieldScan scan = field(pos, rules, message);
        if (scan.stop != FieldStop::LineEnd &&
            field(scan.end + 1, commentRules(), comment).stop == FieldStop::BrokenTag)
            return rejected();
        auto* card = builder_.make<MessageCard>(CardKind::Message);
        if (!card) return outOfMemory();
        card->message = place(message);
        card->comment = place(comment);
        return accepted(card);
    }

    LineResult valueLine(std::size_t pos, CardKind kind) {
        const int value = readDigits(s_, pos);
        Decoded comment;
        if (!tail(pos, comment)) return rejected();
        auto* card = builder_.make<ValueCard>(kind);
        if (!card) return outOfMemory();
        card->value = value;
        card->comment = place(comment);
        return accepted(card);
    }

    LineResult fontLine(std::size_t pos, CardKind kind) {
        const std::size_t n = s_.size();
        int size = 0, charSet = -1;
        Decoded face, comment;
        bool sizeNegative = false;
        if (pos < n && (s_[pos] == '+' || s_[pos] == '-')) sizeNegative = s_[pos++] == '-';
        size = readDigits(s_, pos);
        if (sizeNegative) size = -size;
        if (pos < n) {
            if (s_[pos] != ',') return rejected();
            ++pos;
            if (pos < n && isDigit(s_[pos])) {
                charSet = readDigits(s_, pos);
            } else {
                std::size_t end = s_.find(',', pos);
                if (end == std::string_view::npos) end = n;
                if (end > pos) {
                    charSet = charSetByName(s_.substr(pos, end - pos));
                    if (charSet < 0) return rejected();
                }
                pos = end;
            }
        }
        if (pos < n) {
            if (s_[pos] != ',') return rejected();
            FieldRules rules = rulesFor(CommentFont, 0);
            rules.doubleByte = true;
            rules.stopComma = true;
            rules.stopApostrophe = true;
            FieldScan scan = field(pos + 1, rules, face);
            if (face.len > kMaxFaceName || !tail(scan.end, comment)) return rejected();
        }
        auto* card = builder_.make<FontCard>(kind);
        if (!card) return outOfMemory();
        card->size = size;
        card->charSet = charSet;
        card->face = face.present ? place(face) : StoredText{builder_.copyText({})};
        if (!card->face.present()) return outOfMemory();
        card->comment = place(comment);
        if (charSet != -1) charsets_.sets[static_cast<std::size_t>(card->textClass())] = charSet;
        return accepted(card);
    }

    BookBuilder& builder_;
    char* line_;
    std::string_view s_;
    int version_;
    bool csv_;
    CharSets& charsets_;
    ReaderSpace& space_;
    std::string& scratch_;
    std::size_t used_ = 0;
};

} // namespace

LineResult readLine(BookBuilder& builder, char* line, std::size_t length, int version, bool isCsv,
                    CharSets& charsets) {
    return LineParser(builder, line, length, version, isCsv, charsets).parse();
}

} // namespace rekal
