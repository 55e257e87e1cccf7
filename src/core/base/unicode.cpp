#include "core/base/unicode.h"

#include <array>
#include <cstdint>
#include <memory>

namespace rekal {

namespace {

struct CodePair {
    std::uint16_t codePoint;
    std::uint16_t code;
};

constexpr CodePair kDoubleByte[] = {
#include "core/base/cp932_table.inc"
};

// Characters that other Japanese tables give for codes of code page 932.
constexpr CodePair kAlikes[] = {
    {0x00A2, 0x8191}, // CENT SIGN as ￠
    {0x00A3, 0x8192}, // POUND SIGN as ￡
    {0x00A5, 0x005C}, // YEN SIGN as the yen sign of Japanese fonts
    {0x00AC, 0x81CA}, // NOT SIGN as ￢
    {0x2014, 0x815C}, // EM DASH as ―
    {0x2016, 0x8161}, // DOUBLE VERTICAL LINE as ∥
    {0x2212, 0x817C}, // MINUS SIGN as －
    {0x301C, 0x8160}, // WAVE DASH as ～
};

// Code of every code point of the Basic Multilingual Plane (0 = none), built on first use.
using CodeTable = std::array<std::uint16_t, 0x10000>;

const CodeTable& codeTable() {
    static const std::unique_ptr<CodeTable> table = [] {
        auto t = std::make_unique<CodeTable>();
        t->fill(0);
        for (const CodePair& p : kDoubleByte)
            (*t)[p.codePoint] = p.code;
        for (const CodePair& p : kAlikes)
            (*t)[p.codePoint] = p.code;
        return t;
    }();
    return *table;
}

// Code point of every double-byte code 0x8100 to 0xFCFF (0 = none), built on first use: the reverse
// of the table, so that each character comes back to the code point it was written from.
constexpr std::uint16_t kFirstDoubleByte = 0x8100;
using CharacterTable = std::array<std::uint16_t, 0xFD00 - kFirstDoubleByte>;

const CharacterTable& characterTable() {
    static const std::unique_ptr<CharacterTable> table = [] {
        auto t = std::make_unique<CharacterTable>();
        t->fill(0);
        for (const CodePair& p : kDoubleByte)
            (*t)[p.code - kFirstDoubleByte] = p.codePoint;
        return t;
    }();
    return *table;
}

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

} // namespace

ByteOrderMark findByteOrderMark(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return {UnicodeForm::Utf8, 3};
    if (bytes.substr(0, 2) == "\xFF\xFE") return {UnicodeForm::Utf16Le, 2};
    if (bytes.substr(0, 2) == "\xFE\xFF") return {UnicodeForm::Utf16Be, 2};
    return {};
}

char32_t nextUtf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char c = byte(pos);
    if (c < 0x80) {
        ++pos;
        return c;
    }
    std::size_t length;
    char32_t cp;
    char32_t least;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2, cp = c & 0x1F, least = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3, cp = c & 0x0F, least = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4, cp = c & 0x07, least = 0x10000;
    } else {
        ++pos;
        return kMalformed;
    }
    if (pos + length > text.size()) {
        ++pos;
        return kMalformed;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!isContinuation(byte(pos + i))) {
            ++pos;
            return kMalformed;
        }
        cp = (cp << 6) | (byte(pos + i) & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kMalformed;
    }
    pos += length;
    return cp;
}

char32_t nextUtf16(std::string_view bytes, std::size_t& pos, bool bigEndian) {
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (char32_t{a} << 8) | b : (char32_t{b} << 8) | a;
    };
    if (pos + 2 > bytes.size()) {
        pos = bytes.size();
        return kMalformed;
    }
    const char32_t first = unit(pos);
    pos += 2;
    if (first < 0xD800 || first > 0xDFFF) return first;
    if (first >= 0xDC00 || pos + 2 > bytes.size()) return kMalformed;
    const char32_t second = unit(pos);
    if (second < 0xDC00 || second > 0xDFFF) return kMalformed;
    pos += 2;
    return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
}

bool isUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        if (nextUtf8(text, pos) == kMalformed) return false;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp > 0x10FFFF) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string unicodeToUtf8(std::string_view bytes, UnicodeForm form) {
    if (form != UnicodeForm::Utf16Le && form != UnicodeForm::Utf16Be) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    const bool bigEndian = form == UnicodeForm::Utf16Be;
    for (std::size_t pos = 0; pos < bytes.size();)
        appendUtf8(out, nextUtf16(bytes, pos, bigEndian));
    return out;
}

int codePointToCp932(char32_t cp, char out[2]) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp >= 0xFF61 && cp <= 0xFF9F) { // half-width katakana
        out[0] = static_cast<char>(cp - 0xFF61 + 0xA1);
        return 1;
    }
    if (cp > 0xFFFF) return 0;
    const std::uint16_t code = codeTable()[cp];
    if (code == 0) return 0;
    if (code < 0x100) {
        out[0] = static_cast<char>(code);
        return 1;
    }
    out[0] = static_cast<char>(code >> 8);
    out[1] = static_cast<char>(code & 0xFF);
    return 2;
}

bool isAlikeOfCp932Character(char32_t cp) {
    for (const CodePair& p : kAlikes)
        if (p.codePoint == cp) return true;
    return false;
}

char32_t nextCp932(std::string_view text, std::size_t& pos) {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c < 0x80) {
        ++pos;
        return c;
    }
    if (c >= 0xA1 && c <= 0xDF) { // half-width katakana
        ++pos;
        return 0xFF61 + (c - 0xA1);
    }
    if (pos + 1 < text.size() && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))) {
        const auto trail = static_cast<unsigned char>(text[pos + 1]);
        const std::uint16_t cp = characterTable()[((c << 8) | trail) - kFirstDoubleByte];
        if (cp != 0) {
            pos += 2;
            return cp;
        }
    }
    ++pos;
    return kMalformed;
}

namespace {

// The UTF-8 form of every code page 932 character, packed for writing without branches: its bytes
// from the lowest, and its length in the top byte. Double-byte codes 0x8100 to 0xFCFF (0 = none),
// and the single bytes from 0x80 (half-width katakana, or U+FFFD for a byte that starts no character).
struct Utf8Forms {
    std::array<std::uint32_t, 0xFD00 - kFirstDoubleByte> doubleByte{};
    std::array<std::uint32_t, 0x80> singleByte{};
};

std::uint32_t packedUtf8(char32_t cp) {
    std::string bytes;
    appendUtf8(bytes, cp);
    std::uint32_t packed = static_cast<std::uint32_t>(bytes.size()) << 24;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        packed |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return packed;
}

const Utf8Forms& utf8Forms() {
    static const std::unique_ptr<Utf8Forms> forms = [] {
        auto f = std::make_unique<Utf8Forms>();
        const CharacterTable& characters = characterTable();
        for (std::size_t i = 0; i < characters.size(); ++i)
            if (characters[i] != 0) f->doubleByte[i] = packedUtf8(characters[i]);
        for (unsigned c = 0x80; c < 0x100; ++c)
            f->singleByte[c - 0x80] = packedUtf8(c >= 0xA1 && c <= 0xDF ? 0xFF61 + (c - 0xA1) : 0xFFFD);
        return f;
    }();
    return *forms;
}

bool isLeadByte(unsigned c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace

std::size_t writeCp932AsUtf8(std::string_view cp932, char* out) {
    const Utf8Forms& forms = utf8Forms();
    const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
    const auto* const end = p + cp932.size();
    char* w = out;
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            *w++ = static_cast<char>(c);
            ++p;
            continue;
        }
        std::uint32_t packed = 0;
        if (isLeadByte(c) && p + 1 < end &&
            (packed = forms.doubleByte[((c << 8) | p[1]) - kFirstDoubleByte]) != 0) {
            p += 2;
        } else {
            packed = forms.singleByte[c - 0x80];
            ++p;
        }
        // Three bytes are always written (a character of two bytes has room for three); the length
        // says how many of them count.
        w[0] = static_cast<char>(packed & 0xFF);
        w[1] = static_cast<char>((packed >> 8) & 0xFF);
        w[2] = static_cast<char>((packed >> 16) & 0xFF);
        w += packed >> 24;
    }
    return static_cast<std::size_t>(w - out);
}

std::size_t writeCp932AsUtf16(std::string_view cp932, char* out, bool bigEndian) {
    const CharacterTable& table = characterTable();
    const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
    const auto* const end = p + cp932.size();
    char* w = out;
    const int high = bigEndian ? 0 : 1;
    while (p < end) {
        const unsigned c = *p;
        char32_t cp;
        if (c < 0x80) {
            cp = c;
            ++p;
        } else if (c >= 0xA1 && c <= 0xDF) {
            cp = 0xFF61 + (c - 0xA1);
            ++p;
        } else if (std::uint16_t found = 0; isLeadByte(c) && p + 1 < end &&
                                            (found = table[((c << 8) | p[1]) - kFirstDoubleByte]) != 0) {
            cp = found;
            p += 2;
        } else {
            cp = 0xFFFD;
            ++p;
        }
        w[high] = static_cast<char>(cp >> 8);
        w[1 - high] = static_cast<char>(cp & 0xFF);
        w += 2;
    }
    return static_cast<std::size_t>(w - out);
}

void appendCp932AsUtf8(std::string& out, std::string_view cp932) {
    const std::size_t start = out.size();
    out.resize(start + maxUtf8Size(cp932.size()));
    out.resize(start + writeCp932AsUtf8(cp932, out.data() + start));
}

void appendCp932AsUtf16(std::string& out, std::string_view cp932, bool bigEndian) {
    const std::size_t start = out.size();
    out.resize(start + maxUtf16Size(cp932.size()));
    out.resize(start + writeCp932AsUtf16(cp932, out.data() + start, bigEndian));
}

std::string utf8TextToCp932(std::string_view utf8, std::string_view replacement,
                            std::vector<Unrepresentable>* missing) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const char32_t cp = nextUtf8(utf8, pos);
        char code[2];
        const int length = cp == kMalformed ? 0 : codePointToCp932(cp, code);
        if (length > 0) {
            out.append(code, static_cast<std::size_t>(length));
            continue;
        }
        out += replacement;
        if (missing) missing->push_back({start, cp});
    }
    return out;
}

} // namespace rekal
