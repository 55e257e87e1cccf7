#include "core/match/search.h"

#include "core/base/sjis.h"
#include "core/match/widthtables.h"

#include <new>
#include <string>
#include <vector>

namespace rekal {

namespace {

constexpr unsigned char kVoicedMark = 0xDE;     // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF; // ﾟ
constexpr std::uint16_t kFullWidthVu = 0x8394;  // ヴ

std::uint16_t fullWidthOf(unsigned char c) {
    const std::uint16_t full = widthtables::kFullWidthOf[c];
    return full != 0 ? full : c;
}

// A single byte read with width folding, together with a following sound mark where they combine.
std::uint16_t readWideSingle(std::string_view text, std::size_t& pos) {
    const unsigned char c = static_cast<unsigned char>(text[pos++]);
    if (pos < text.size()) {
        const unsigned char mark = static_cast<unsigned char>(text[pos]);
        if (mark == kVoicedMark) {
            if ((c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE)) { // ｶ-ﾄ, ﾊ-ﾎ
                ++pos;
                return static_cast<std::uint16_t>(fullWidthOf(c) + 1);
            }
            if (c == 0xB3) { // ｳ
                ++pos;
                return kFullWidthVu;
            }
        } else if (mark == kSemiVoicedMark && c >= 0xCA && c <= 0xCE) { // ﾊ-ﾎ
            ++pos;
            return static_cast<std::uint16_t>(fullWidthOf(c) + 2);
        }
    }
    return fullWidthOf(c);
}

class PreparedPattern {
  public:
    PreparedPattern(std::string_view pattern, CompareOptions options) {
        for (std::size_t pos = 0; pos < pattern.size();)
            chars_.push_back(readSearchChar(pattern, pos, options));
        // The fewest bytes a text must have to hold the pattern. Without width folding every
        // character keeps its length; with it a double-byte character of the pattern may stand
        // for one single byte of the text, so only the character count is certain.
        shortest_ = (options & CompareIgnoreWidth) ? chars_.size() : pattern.size();
        // fallback_[j]: characters of the longest proper prefix of the first j characters that is
        // also their suffix.
        fallback_.assign(chars_.size() + 1, 0);
        std::size_t k = 0;
        for (std::size_t j = 1; j < chars_.size(); ++j) {
            while (k > 0 && chars_[j] != chars_[k])
                k = fallback_[k];
            if (chars_[j] == chars_[k]) ++k;
            fallback_[j + 1] = k;
        }
    }

    bool foundIn(std::string_view text, CompareOptions options) const {
        if (text.size() < shortest_) return false;
        if (chars_.empty()) return true;
        std::size_t matched = 0;
        for (std::size_t pos = 0; pos < text.size();) {
            const std::uint16_t c = readSearchChar(text, pos, options);
            while (matched > 0 && c != chars_[matched])
                matched = fallback_[matched];
            if (c == chars_[matched] && ++matched == chars_.size()) return true;
        }
        return false;
    }

  private:
    std::size_t shortest_ = 0;
    std::vector<std::uint16_t> chars_;
    std::vector<std::size_t> fallback_;
};

// The vague and symbol steps that both the pattern and every searched text go through.
void prepareSearchText(std::string_view text, CompareOptions options, const VagueReplacer& vague,
                       std::string& out) {
    out.clear();
    if (options & CompareVague) {
        vague.apply(text, out);
    } else {
        out.assign(text);
    }
    if (options & CompareIgnoreSymbols) removeSymbols(out);
}

} // namespace

std::uint16_t readSearchChar(std::string_view text, std::size_t& pos, CompareOptions options) {
    std::uint16_t code;
    if (isDoubleByteAt(text, pos)) {
        code = static_cast<std::uint16_t>((static_cast<unsigned char>(text[pos]) << 8) |
                                          static_cast<unsigned char>(text[pos + 1]));
        pos += 2;
    } else if (options & CompareIgnoreWidth) {
        code = readWideSingle(text, pos);
    } else {
        code = static_cast<unsigned char>(text[pos++]);
    }
    if (options & CompareIgnoreCase) {
        if (code >= 'a' && code <= 'z')
            code = static_cast<std::uint16_t>(code - 'a' + 'A');
        else if (code >= 0x8281 && code <= 0x829A)
            code -= 0x21;
    }
    if (options & CompareIgnoreKana) {
        if (code >= 0x8340 && code <= 0x837E)
            code -= 0xA1;
        else if (code >= 0x8380 && code <= 0x8393)
            code -= 0xA2;
    }
    return code;
}

bool containsFolded(std::string_view text, std::string_view pattern, CompareOptions options) {
    return PreparedPattern(pattern, options).foundIn(text, options);
}

int searchQuestions(const QuestionBook& book, int start, std::string_view pattern, bool down,
                    CompareOptions options, const VagueTable& table) {
    const QuestionCard* from = book.questionAt(start);
    if (!from) return -1;
    try {
        const VagueReplacer vague = (options & CompareVague) ? VagueReplacer(table) : VagueReplacer();
        std::string scratch;
        prepareSearchText(pattern, options, vague, scratch);
        const PreparedPattern prepared(scratch, options);
        auto contains = [&](StoredText field) {
            if (field.empty()) return false;
            prepareSearchText(field.view(), options, vague, scratch);
            return prepared.foundIn(scratch, options);
        };
        for (const Card* card = down ? from->next : from->prev; card; card = down ? card->next : card->prev) {
            const QuestionCard* q = asQuestion(card);
            if (!q) continue;
            if (contains(q->question) || contains(q->hints) || contains(q->answers) ||
                contains(q->wrongChoices) || contains(q->comment))
                return book.indexOfKind(q, CardKind::Question);
        }
    } catch (const std::bad_alloc&) {
        // Out of memory ends the search as if nothing were found.
    }
    return -1;
}

} // namespace rekal
