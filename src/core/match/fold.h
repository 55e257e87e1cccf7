#pragma once
// The folding of texts before an answer comparison: vague pairs, letter case, hiragana/katakana,
// full/half width and symbols, each selected by one bit of the compare options (CompareBit).

#include "core/data/book.h"
#include "core/settings/vague.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// A vague table prepared for fast replacement: at each position only the pairs whose first string
// starts with the byte found there are tried, still in table order. Holds its own copy of the
// pairs, so the table may change afterwards.
class VagueReplacer {
  public:
    VagueReplacer() = default; // replaces nothing
    explicit VagueReplacer(const VagueTable& table);

    // Appends text to out with the first matching pair applied at each position; where none
    // applies one character is copied. Pairs with an empty first string never apply.
    void apply(std::string_view text, std::string& out) const;

  private:
    struct Rule {
        std::uint32_t firstAt, firstSize, secondAt, secondSize; // into strings_
    };
    using ByteSet = std::array<std::uint64_t, 4>;

    bool mayStartAt(unsigned char first, std::string_view text, std::size_t i) const;

    std::string strings_;
    std::vector<Rule> rules_; // grouped by the first byte of the first string, table order kept
    // Rules of byte b are [bucketOf_[b], bucketOf_[b + 1]).
    std::array<std::uint32_t, 257> bucketOf_{};
    // For each first byte with rules: the second bytes that some rule of it may match (a first
    // string of one byte allows every one), so that most positions are passed over at once.
    std::vector<ByteSet> seconds_;
    std::array<std::uint16_t, 256> secondsOf_{};
};

// The single steps, in place (the vague step is VagueReplacer::apply).
void foldCase(std::string& text);  // a-z, ａ-ｚ and the other small letters as ANSI upper-casing
void foldKana(std::string& text);  // hiragana to katakana
void foldWidth(std::string& text); // full-width digits, letters, symbols and katakana to half width
// Drops punctuation, signs and box drawing, and a sound mark that stands alone; a half-width ﾞ or ﾟ
// after a half-width kana that takes it is part of that kana and stays.
void removeSymbols(std::string& text);

// The whole pipeline: vague, case, kana, width, symbols, each when its bit is set. The second
// form writes into out, reusing its storage (text must not be a view of out).
std::string foldForCompare(std::string_view text, CompareOptions options, const VagueReplacer& vague);
void foldForCompare(std::string_view text, CompareOptions options, const VagueReplacer& vague,
                    std::string& out);
std::string foldForCompare(std::string_view text, CompareOptions options, const VagueTable& table);

} // namespace rekal
