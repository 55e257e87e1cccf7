#pragma once
// Full-width / half-width character tables of code page 932, shared by the comparison folding and
// the search's character reading. Written as byte values; the comments show the characters.

#include <array>
#include <cstdint>

namespace rekal::widthtables {

// Double-byte symbols 0x8140-0x8197 that have a half-width form.
struct SymbolForm {
    std::uint16_t code;
    std::uint8_t half;
};
// clang-format off
inline constexpr SymbolForm kSymbolForms[] = {
    {0x8140, 0x20}, {0x8141, 0xA4}, {0x8142, 0xA1}, {0x8143, 0x2C}, // 　 、 。 ，
    {0x8144, 0x2E}, {0x8145, 0xA5}, {0x8146, 0x3A}, {0x8147, 0x3B}, // ． ・ ： ；
    {0x8148, 0x3F}, {0x8149, 0x21}, {0x814A, 0xDE}, {0x814B, 0xDF}, // ？ ！ ゛ ゜
    {0x814D, 0x60}, {0x814F, 0x5E}, {0x8151, 0x5F}, {0x815B, 0xB0}, // ｀ ＾ ＿ ー
    {0x815E, 0x2F}, {0x8162, 0x7C}, {0x8166, 0x27}, {0x8168, 0x22}, // ／ ｜ ’ ”
    {0x8169, 0x28}, {0x816A, 0x29}, {0x816D, 0x5B}, {0x816E, 0x5D}, // （ ） ［ ］
    {0x816F, 0x7B}, {0x8170, 0x7D}, {0x8175, 0xA2}, {0x8176, 0xA3}, // ｛ ｝ 「 」
    {0x817B, 0x2B}, {0x817C, 0x2D}, {0x8181, 0x3D}, {0x8183, 0x3C}, // ＋ － ＝ ＜
    {0x8184, 0x3E}, {0x818F, 0x5C}, {0x8190, 0x24}, {0x8193, 0x25}, // ＞ ￥ ＄ ％
    {0x8194, 0x23}, {0x8195, 0x26}, {0x8196, 0x2A}, {0x8197, 0x40}, // ＃ ＆ ＊ ＠
};

// Half-width forms of the katakana 0x8340-0x8396, one or two bytes (ﾞ 0xDE or ﾟ 0xDF second);
// {0, 0} = no half-width form.
inline constexpr std::uint8_t kKatakanaFirst = 0x40, kKatakanaLast = 0x96; // trail bytes after 0x83
inline constexpr std::uint8_t kKatakanaForms[][2] = {
    {0xA7, 0}, {0xB1, 0}, {0xA8, 0}, {0xB2, 0},                 // ァ ア ィ イ
    {0xA9, 0}, {0xB3, 0}, {0xAA, 0}, {0xB4, 0},               // ゥ ウ ェ エ
    {0xAB, 0}, {0xB5, 0}, {0xB6, 0}, {0xB6, 0xDE},            // ォ オ カ ガ
    {0xB7, 0}, {0xB7, 0xDE}, {0xB8, 0}, {0xB8, 0xDE},         // キ ギ ク グ
    {0xB9, 0}, {0xB9, 0xDE}, {0xBA, 0}, {0xBA, 0xDE},         // ケ ゲ コ ゴ
    {0xBB, 0}, {0xBB, 0xDE}, {0xBC, 0}, {0xBC, 0xDE},         // サ ザ シ ジ
    {0xBD, 0}, {0xBD, 0xDE}, {0xBE, 0}, {0xBE, 0xDE},         // ス ズ セ ゼ
    {0xBF, 0}, {0xBF, 0xDE}, {0xC0, 0}, {0xC0, 0xDE},         // ソ ゾ タ ダ
    {0xC1, 0}, {0xC1, 0xDE}, {0xAF, 0}, {0xC2, 0},            // チ ヂ ッ ツ
    {0xC2, 0xDE}, {0xC3, 0}, {0xC3, 0xDE}, {0xC4, 0},         // ヅ テ デ ト
    {0xC4, 0xDE}, {0xC5, 0}, {0xC6, 0}, {0xC7, 0},            // ド ナ ニ ヌ
    {0xC8, 0}, {0xC9, 0}, {0xCA, 0}, {0xCA, 0xDE},            // ネ ノ ハ バ
    {0xCA, 0xDF}, {0xCB, 0}, {0xCB, 0xDE}, {0xCB, 0xDF},      // パ ヒ ビ ピ
    {0xCC, 0}, {0xCC, 0xDE}, {0xCC, 0xDF}, {0xCD, 0},         // フ ブ プ ヘ
    {0xCD, 0xDE}, {0xCD, 0xDF}, {0xCE, 0}, {0xCE, 0xDE},      // ベ ペ ホ ボ
    {0xCE, 0xDF}, {0xCF, 0}, {0xD0, 0}, {0, 0},               // ポ マ ミ (0x837F: no character)
    {0xD1, 0}, {0xD2, 0}, {0xD3, 0}, {0xAC, 0},               // ム メ モ ャ
    {0xD4, 0}, {0xAD, 0}, {0xD5, 0}, {0xAE, 0},               // ヤ ュ ユ ョ
    {0xD6, 0}, {0xD7, 0}, {0xD8, 0}, {0xD9, 0},               // ヨ ラ リ ル
    {0xDA, 0}, {0xDB, 0}, {0, 0}, {0xDC, 0},                  // レ ロ ヮ ワ
    {0, 0}, {0, 0}, {0xA6, 0}, {0xDD, 0},                     // ヰ ヱ ヲ ン
    {0xB3, 0xDE}, {0xB6, 0}, {0xB6, 0},                       // ヴ ヵ ヶ
};
// clang-format on
static_assert(std::size(kKatakanaForms) == kKatakanaLast - kKatakanaFirst + 1);

inline constexpr std::uint16_t kFullWidthTilde = 0x8160; // ～

// The full-width form of each single byte (0 = the byte has none): printable ASCII and the
// half-width punctuation and katakana 0xA1-0xDF. Derived from the tables above so the two
// directions always agree.
inline constexpr std::array<std::uint16_t, 256> kFullWidthOf = [] {
    std::array<std::uint16_t, 256> table{};
    for (int c = 0; c < 10; ++c)
        table['0' + c] = static_cast<std::uint16_t>(0x824F + c);
    for (int c = 0; c < 26; ++c) {
        table['A' + c] = static_cast<std::uint16_t>(0x8260 + c);
        table['a' + c] = static_cast<std::uint16_t>(0x8281 + c);
    }
    for (const SymbolForm& s : kSymbolForms)
        table[s.half] = s.code;
    table['~'] = kFullWidthTilde;
    // The first katakana with a one-byte form wins (カ before ヵ and ヶ).
    for (int i = std::size(kKatakanaForms) - 1; i >= 0; --i) {
        if (kKatakanaForms[i][0] != 0 && kKatakanaForms[i][1] == 0)
            table[kKatakanaForms[i][0]] = static_cast<std::uint16_t>(0x8300 + kKatakanaFirst + i);
    }
    return table;
}();

} // namespace rekal::widthtables
