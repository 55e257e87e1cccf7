#include "core/data/encoding.h"

#include "core/base/unicode.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>

namespace rekal {

namespace {

constexpr std::string_view kStandIn = "\x81\xAC"; // 〓, for a character that code page 932 cannot hold
constexpr char32_t kYenSign = 0xA5;

// Name and byte-order mark of each TextEncoding, in its order.
struct EncodingForm {
    std::string_view name;
    std::string_view mark;
};
constexpr EncodingForm kEncodings[] = {
    {"CP932", {}},
    {"UTF-8", {}},
    {"UTF-8 (BOM)", "\xEF\xBB\xBF"},
    {"UTF-16LE (BOM)", "\xFF\xFE"},
    {"UTF-16BE (BOM)", "\xFE\xFF"},
};

bool isUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

// The code page 932 code of every character of the Basic Multilingual Plane from U+0080, as the
// Unicode helper gives it, looked up once so that a whole file is converted by indexing: 0 for
// none, a code of 1 or 2 bytes, or for a character of other tables (WAVE DASH and the like) its
// number 1 to 15 in `alikes` (no code is that small). The YEN SIGN has none: it would become the
// backslash, which starts an escape in a question file.
struct Cp932Codes {
    std::array<std::uint16_t, 0x10000> code{};
    std::array<std::uint16_t, 16> alikes{};
};

const Cp932Codes& cp932Codes() {
    static const std::unique_ptr<Cp932Codes> codes = [] {
        auto c = std::make_unique<Cp932Codes>();
        std::uint16_t alikes = 0;
        for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
            char bytes[2];
            const int n = cp == kYenSign ? 0 : codePointToCp932(cp, bytes);
            if (n == 0) continue;
            const auto first = static_cast<unsigned char>(bytes[0]);
            const auto code = static_cast<std::uint16_t>(
                n == 1 ? first : (first << 8) | static_cast<unsigned char>(bytes[1]));
            if (isAlikeOfCp932Character(cp) && alikes + 1u < c->alikes.size()) {
                c->alikes[++alikes] = code;
                c->code[cp] = alikes;
            } else {
                c->code[cp] = code;
            }
        }
        return c;
    }();
    return *codes;
}

// Converts the text of a Unicode file to code page 932 in one tight pass; the lines of the
// characters it cannot hold are found afterwards, as few files have any.
class Cp932Writer {
  public:
    // strict: a UTF-8 file without a byte-order mark, which is UTF-8 only while every sequence is
    // well-formed; run() then gives none at the first malformed one.
    Cp932Writer(std::string_view bytes, TextEncoding encoding, bool strict = false)
        : bytes_(bytes), utf16_(isUtf16(encoding)), bigEndian_(encoding == TextEncoding::Utf16Be),
          strict_(strict), codes_(cp932Codes()), start_(byteOrderMark(encoding).size()) {
        // Every character takes at least as many bytes in UTF-16 as in code page 932; in UTF-8 only
        // a byte that starts no character (one byte for a two-byte stand-in) takes fewer.
        out_.text.resize(bytes.size() + kStandIn.size() + 8);
    }

    std::optional<Cp932Text> run() {
        const std::size_t end = utf16_ ? utf16Text() : utf8Text();
        if (end == kFailed) return std::nullopt;
        out_.text.resize(used_);
        if (!misses_.empty() || windowsForm_ != kNone) findLines(end);
        return std::move(out_);
    }

  private:
    static constexpr std::size_t kNone = std::string_view::npos;
    static constexpr std::size_t kFailed = std::string_view::npos - 1;

    // A character that code page 932 cannot hold, by its place in the file.
    struct Miss {
        std::size_t offset;
        std::uint32_t value;
        bool notACharacter;
    };

    // The output as the loops write it: kept in locals (a write through a char pointer would make
    // the compiler reload every member after it). No character takes more bytes in code page 932
    // than in the file except a stand-in for a byte that starts no character, so the buffer needs
    // to grow only there; the loops write without asking.
    struct Output {
        std::string& text;
        char* w;
        char* limit;

        explicit Output(std::string& t) : text(t), w(t.data()), limit(t.data() + t.size()) {}
        // Room for a stand-in and for the rest of the file.
        void standIn(std::size_t rest) {
            if (static_cast<std::size_t>(limit - w) < rest + kStandIn.size() + 8) {
                const std::size_t used = static_cast<std::size_t>(w - text.data());
                text.resize(std::max(text.size() * 2, used + rest + kStandIn.size() + 8));
                w = text.data() + used;
                limit = text.data() + text.size();
            }
            std::memcpy(w, kStandIn.data(), kStandIn.size());
            w += kStandIn.size();
        }
        void code(std::uint16_t code) {
            if (code >= 0x100) *w++ = static_cast<char>(code >> 8);
            *w++ = static_cast<char>(code & 0xFF);
        }
        std::size_t used() const { return static_cast<std::size_t>(w - text.data()); }
    };

    // Converts up to the first zero character; gives where the text ends in the file.
    std::size_t utf8Text() {
        const auto* const base = reinterpret_cast<const unsigned char*>(bytes_.data());
        const std::uint16_t* const codes = codes_.code.data();
        const std::size_t n = bytes_.size();
        Output out(out_.text);
        std::size_t pos = start_;
        std::size_t end = n;
        while (pos < n) {
            const unsigned char c = base[pos];
            if (c < 0x80) {
                if (c == 0) { // the text ends at its first zero character
                    end = pos;
                    break;
                }
                *out.w++ = static_cast<char>(c);
                ++pos;
                // Then eight ASCII bytes at a time, up to a byte from 0x80 or a zero byte.
                while (pos + 8 <= n) {
                    std::uint64_t word;
                    std::memcpy(&word, base + pos, 8);
                    const bool zero = ((word - 0x0101010101010101u) & ~word & 0x8080808080808080u) != 0;
                    if ((word & 0x8080808080808080u) != 0 || zero) break;
                    std::memcpy(out.w, &word, 8);
                    out.w += 8;
                    pos += 8;
                }
                continue;
            }
            // Then a run of three-byte characters with double-byte codes (kana and kanji): their
            // lead bytes exclude the overlong forms (after E0) and the surrogates (after ED).
            if (c >= 0xE1 && c != 0xED && c <= 0xEF) {
                while (pos + 2 < n) {
                    const unsigned lead = base[pos], second = base[pos + 1], third = base[pos + 2];
                    if (lead < 0xE1 || lead > 0xEF || lead == 0xED || (second & 0xC0) != 0x80 ||
                        (third & 0xC0) != 0x80)
                        break;
                    const std::uint16_t code =
                        codes[((lead & 0x0Fu) << 12) | ((second & 0x3Fu) << 6) | (third & 0x3Fu)];
                    if (code < 0x100) break;
                    out.w[0] = static_cast<char>(code >> 8);
                    out.w[1] = static_cast<char>(code & 0xFF);
                    out.w += 2;
                    pos += 3;
                }
                if (pos >= n || base[pos] < 0x80) continue;
            }
            const std::size_t at = pos;
            const unsigned char lead = base[pos];
            char32_t cp;
            if (lead >= 0xE0 && lead <= 0xEF && pos + 2 < n && (base[pos + 1] & 0xC0) == 0x80 &&
                (base[pos + 2] & 0xC0) == 0x80 &&
                (cp = ((lead & 0x0Fu) << 12) | ((base[pos + 1] & 0x3Fu) << 6) | (base[pos + 2] & 0x3Fu)) >=
                    0x800 &&
                (cp < 0xD800 || cp > 0xDFFF)) {
                pos += 3;
            } else if (lead >= 0xC2 && lead <= 0xDF && pos + 1 < n && (base[pos + 1] & 0xC0) == 0x80) {
                cp = ((lead & 0x1Fu) << 6) | (base[pos + 1] & 0x3Fu);
                pos += 2;
            } else {
                cp = slowly(pos, [this](std::size_t& at) { return nextUtf8(bytes_, at); });
                if (cp == kMalformed && strict_) return kFailed;
            }
            put(out, codes, cp, at, n - pos);
        }
        used_ = out.used();
        return end;
    }

    std::size_t utf16Text() {
        const auto* const base = reinterpret_cast<const unsigned char*>(bytes_.data());
        const std::uint16_t* const codes = codes_.code.data();
        const std::size_t n = bytes_.size();
        const int high = bigEndian_ ? 0 : 1;
        Output out(out_.text);
        std::size_t end = n;
        for (std::size_t pos = start_; pos < n;) {
            const std::size_t at = pos;
            char32_t cp;
            if (pos + 2 <= n &&
                ((cp = (char32_t{base[pos + high]} << 8) | base[pos + 1 - high]) < 0xD800 || cp > 0xDFFF))
                pos += 2;
            else
                cp = slowly(pos, [this](std::size_t& at) { return nextUtf16(bytes_, at, bigEndian_); });
            if (cp < 0x80) {
                if (cp == 0) { // the text ends at its first zero character
                    end = at;
                    break;
                }
                *out.w++ = static_cast<char>(cp);
                continue;
            }
            put(out, codes, cp, at, n - pos);
        }
        used_ = out.used();
        return end;
    }

    // A character read by a decoder that moves a place it is given by reference: through a copy,
    // so that the loops keep their own place in a register.
    template <class Decode> static char32_t slowly(std::size_t& pos, Decode decode) {
        std::size_t at = pos;
        const char32_t cp = decode(at);
        pos = at;
        return cp;
    }

    // A character from U+0080, or kMalformed; rest is what the file holds after it.
    void put(Output& out, const std::uint16_t* codes, char32_t cp, std::size_t at, std::size_t rest) {
        const std::uint16_t code = cp < 0x10000 ? codes[cp] : 0;
        if (code >= 0x40)
            out.code(code);
        else
            character(out, cp, code, at, rest);
    }

    // A character from U+0080 that code page 932 has only as a character of other tables (code 1
    // to 15), or does not have (code 0), or kMalformed; rest is what the file holds after it.
    void character(Output& out, char32_t cp, std::uint16_t code, std::size_t at, std::size_t rest) {
        if (code != 0) {
            if (windowsForm_ == kNone) windowsForm_ = at;
            out.code(codes_.alikes[code]);
            return;
        }
        // Only the first of a line counts; the lines are told apart later.
        if (misses_.empty() || lineEndBetween(misses_.back().offset, at))
            misses_.push_back({at, cp == kMalformed ? malformedValue(at) : static_cast<std::uint32_t>(cp),
                               cp == kMalformed});
        out.standIn(rest);
    }

    // The byte (UTF-16: code unit) that starts no character.
    std::uint32_t malformedValue(std::size_t at) const {
        const auto byte = [&](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[i]));
        };
        if (!utf16_ || at + 1 >= bytes_.size()) return byte(at);
        return bigEndian_ ? (byte(at) << 8) | byte(at + 1) : (byte(at + 1) << 8) | byte(at);
    }

    // The code unit at i (a byte of UTF-8).
    char32_t unitAt(std::size_t i) const {
        const auto byte = [&](std::size_t k) {
            return static_cast<char32_t>(static_cast<unsigned char>(bytes_[k]));
        };
        if (!utf16_) return byte(i);
        return bigEndian_ ? (byte(i) << 8) | byte(i + 1) : (byte(i + 1) << 8) | byte(i);
    }

    bool isLineEnd(char32_t unit) const { return unit == '\r' || unit == '\n' || unit == 0x01; }

    // Whether a line ends between two places of the file (each at a character).
    bool lineEndBetween(std::size_t from, std::size_t to) const {
        const std::size_t unit = utf16_ ? 2 : 1;
        for (std::size_t i = from; i + unit <= to; i += unit)
            if (isLineEnd(unitAt(i))) return true;
        return false;
    }

    // Numbers the lines of the misses and of the first character of other tables, as the reader
    // numbers them (CR LF, a lone CR, a lone LF and 0x01 each end a line), and keeps the bytes of
    // each line with a miss, which is rejected for its first one.
    void findLines(std::size_t end) {
        const std::size_t unit = utf16_ ? 2 : 1;
        auto miss = misses_.begin();
        int line = 1;
        std::size_t lineStart = start_;
        for (std::size_t i = start_;; i += unit) {
            const bool atEnd = i + unit > end;
            const char32_t u = atEnd ? 0 : unitAt(i);
            if (!atEnd && !isLineEnd(u)) continue;
            const std::size_t lineEnd = atEnd ? end : i; // (an odd last byte of UTF-16 belongs to the line)
            if (windowsForm_ >= lineStart && windowsForm_ < lineEnd) out_.windowsFormLine = line;
            if (miss != misses_.end() && miss->offset < lineEnd) {
                UnconvertedLine& rejected = out_.rejected.emplace_back();
                rejected.where = {line, miss->value, miss->notACharacter};
                rejected.original.assign(bytes_.substr(lineStart, lineEnd - lineStart));
                while (miss != misses_.end() && miss->offset < lineEnd)
                    ++miss;
            }
            if (atEnd) break;
            if (u == '\r' && i + 2 * unit <= end && unitAt(i + unit) == '\n') i += unit;
            lineStart = i + unit;
            ++line;
        }
    }

    std::string_view bytes_;
    bool utf16_;
    bool bigEndian_;
    bool strict_;
    const Cp932Codes& codes_;
    std::size_t start_; // after the byte-order mark
    Cp932Text out_;
    std::size_t used_ = 0;
    std::vector<Miss> misses_;
    std::size_t windowsForm_ = kNone; // where the first character of other tables is
};

} // namespace

std::string_view encodingName(TextEncoding encoding) {
    return kEncodings[static_cast<std::size_t>(encoding)].name;
}

std::string_view byteOrderMark(TextEncoding encoding) {
    return kEncodings[static_cast<std::size_t>(encoding)].mark;
}

TextEncoding detectEncoding(std::string_view bytes) {
    switch (findByteOrderMark(bytes).form) {
    case UnicodeForm::Utf8:
        return TextEncoding::Utf8Bom;
    case UnicodeForm::Utf16Le:
        return TextEncoding::Utf16Le;
    case UnicodeForm::Utf16Be:
        return TextEncoding::Utf16Be;
    default:
        break;
    }
    bool multiByte = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[pos]);
        if (c == 0) break; // the text ends here
        if (c < 0x80) {
            ++pos;
            continue;
        }
        if (nextUtf8(bytes, pos) == kMalformed) return TextEncoding::Cp932;
        multiByte = true;
    }
    return multiByte ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

Cp932Text convertToCp932(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp932) return {std::string(bytes), {}, 0};
    return *Cp932Writer(bytes, encoding).run();
}

TextEncoding decodeFile(std::string_view bytes, Cp932Text& converted) {
    if (findByteOrderMark(bytes).form != UnicodeForm::None) {
        const TextEncoding encoding = detectEncoding(bytes);
        converted = convertToCp932(bytes, encoding);
        return encoding;
    }
    // Nearly every Shift-JIS file shows itself at its first byte from 0x80, which starts no UTF-8
    // sequence; any other file is converted as UTF-8 until a sequence proves it is not.
    std::size_t pos = 0;
    while (pos < bytes.size() && static_cast<unsigned char>(bytes[pos] - 1) < 0x7F)
        ++pos;
    if (pos == bytes.size() || bytes[pos] == '\0' || nextUtf8(bytes, pos) == kMalformed)
        return TextEncoding::Cp932;
    std::optional<Cp932Text> text = Cp932Writer(bytes, TextEncoding::Utf8, true).run();
    if (!text) return TextEncoding::Cp932;
    converted = std::move(*text);
    return TextEncoding::Utf8;
}

void appendInEncoding(std::string& out, std::string_view cp932, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp932)
        out += cp932;
    else if (isUtf16(encoding))
        appendCp932AsUtf16(out, cp932, encoding == TextEncoding::Utf16Be);
    else
        appendCp932AsUtf8(out, cp932);
}

} // namespace rekal
