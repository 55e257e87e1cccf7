#include "core/data/table.h"

#include "core/base/unicode.h"

#include <algorithm>
#include <cstdint>

namespace rekal {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

std::size_t lineEnd(std::string_view text, std::size_t from) {
    const std::size_t end = text.find_first_of("\r\n", from);
    return end == std::string_view::npos ? text.size() : end;
}

std::size_t afterLineEnd(std::string_view text, std::size_t end) {
    if (end >= text.size()) return text.size();
    return end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

} // namespace

TableHeader readTableHeader(std::string_view text) {
    TableHeader header;
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == '#') {
        const std::size_t end = lineEnd(text, pos);
        const std::string_view line = text.substr(pos + 1, end - pos - 1);
        if (const std::size_t colon = line.find(':'); colon != std::string_view::npos) {
            std::string key(trimmed(line.substr(0, colon)));
            std::transform(key.begin(), key.end(), key.begin(), lower);
            header.entries.push_back({std::move(key), std::string(line.substr(colon + 1))});
        }
        pos = afterLineEnd(text, end);
        ++header.lines;
    }
    header.bodyStart = pos;
    return header;
}

char separatorByName(std::string_view name) {
    static constexpr struct {
        std::string_view name;
        char separator;
    } kNames[] = {{"tab", '\t'}, {"comma", ','}, {"semicolon", ';'},
                  {"pipe", '|'}, {"space", ' '}, {"colon", ':'}};
    for (const auto& n : kNames)
        if (equalsIgnoringCase(trimmed(name), n.name)) return n.separator;
    if (name.size() == 1 && static_cast<unsigned char>(name[0]) < 0x80 && name[0] != '"' && name[0] != '\r' &&
        name[0] != '\n' && name[0] != '\0')
        return name[0];
    return 0;
}

TableReader::TableReader(std::string_view text, char separator, std::size_t start, int firstRow)
    : text_(text), separator_(separator), pos_(std::min(start, text.size())), row_(firstRow - 1) {
    for (char c : {separator, '\r', '\n'})
        ends_[static_cast<unsigned char>(c)] = true;
}

bool TableReader::next() {
    if (pos_ >= text_.size()) return false;
    ++row_;
    count_ = 0;
    const std::size_t n = text_.size();
    const char* const s = text_.data();
    for (;;) {
        if (count_ == fields_.size()) {
            fields_.emplace_back();
            unescaped_.emplace_back();
        }
        std::size_t i = pos_;
        std::size_t run = i;
        if (i < n && s[i] == '"') {
            // A quoted field: up to the closing quote; what follows it before the separator is
            // kept as text.
            std::string& f = unescaped_[count_];
            f.clear();
            ++i;
            for (;;) {
                run = i;
                while (run < n && s[run] != '"' && s[run] != '\r')
                    ++run;
                f.append(s + i, run - i);
                i = run;
                if (i >= n) break;
                if (s[i] == '\r') { // CR LF or a lone CR inside quotes: one line break
                    f += '\n';
                    i = afterLineEnd(text_, i);
                    continue;
                }
                if (i + 1 < n && s[i + 1] == '"') {
                    f += '"';
                    i += 2;
                    continue;
                }
                ++i; // the closing quote
                break;
            }
            run = i;
            while (run < n && !ends_[static_cast<unsigned char>(s[run])])
                ++run;
            f.append(s + i, run - i);
            fields_[count_++] = std::string_view();
        } else {
            while (run < n && !ends_[static_cast<unsigned char>(s[run])])
                ++run;
            fields_[count_++] = text_.substr(i, run - i);
        }
        if (run < n && s[run] == separator_) {
            pos_ = run + 1;
            continue;
        }
        pos_ = afterLineEnd(text_, run);
        return true;
    }
}

namespace {

struct Entity {
    std::string_view name;
    char32_t codePoint;
};

// Named character references worth knowing in flash cards; the others are kept as written.
constexpr Entity kEntities[] = {
    {"amp", '&'},      {"lt", '<'},       {"gt", '>'},       {"quot", '"'},      {"apos", '\''},
    {"nbsp", ' '},     {"ensp", ' '},     {"emsp", ' '},     {"thinsp", ' '},    {"times", 0xD7},
    {"divide", 0xF7},  {"deg", 0xB0},     {"plusmn", 0xB1},  {"hellip", 0x2026}, {"mdash", 0x2014},
    {"ndash", 0x2013}, {"yen", 0xA5},     {"cent", 0xA2},    {"pound", 0xA3},    {"sect", 0xA7},
    {"para", 0xB6},    {"larr", 0x2190},  {"rarr", 0x2192},  {"uarr", 0x2191},   {"darr", 0x2193},
    {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"ldquo", 0x201C}, {"rdquo", 0x201D},  {"middot", 0xB7},
    {"copy", 0xA9},    {"reg", 0xAE},     {"trade", 0x2122}, {"prime", 0x2032},  {"Prime", 0x2033},
};

// Elements shown as blocks: their starts and ends break the line.
constexpr std::string_view kBlocks[] = {
    "p",  "div", "li", "tr",         "h1",  "h2",    "h3", "h4",      "h5",      "h6",     "ul",    "ol",
    "dl", "dt",  "dd", "blockquote", "pre", "table", "hr", "section", "article", "header", "footer"};

// The code point of a character reference at s[i] == '&', moving i past it; none (i unchanged) when
// it is not one.
bool readReference(std::string_view s, std::size_t& i, char32_t& cp) {
    const std::size_t semi = s.find(';', i + 1);
    if (semi == std::string_view::npos || semi - i > 12 || semi == i + 1) return false;
    const std::string_view body = s.substr(i + 1, semi - i - 1);
    if (body[0] == '#') {
        const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
        const std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty()) return false;
        std::uint32_t value = 0;
        for (char c : digits) {
            int d = c >= '0' && c <= '9' ? c - '0' : -1;
            if (hex && d < 0) d = lower(c) >= 'a' && lower(c) <= 'f' ? lower(c) - 'a' + 10 : -1;
            if (d < 0) return false;
            value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
            if (value > 0x10FFFF) value = 0x110000; // stays out of range
        }
        cp = value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF ? 0xFFFD : value;
    } else {
        const Entity* found = nullptr;
        for (const Entity& e : kEntities)
            if (e.name == body) found = &e;
        if (!found) return false;
        cp = found->codePoint;
    }
    i = semi + 1;
    return true;
}

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

void htmlToText(std::string_view s, std::string& out) {
    out.clear();
    bool pendingSpace = false;
    auto lineBreak = [&](bool always) {
        pendingSpace = false;
        if (always || (!out.empty() && out.back() != '\n')) out += '\n';
    };
    auto text = [&](std::string_view t) {
        if (pendingSpace && !out.empty() && out.back() != '\n') out += ' ';
        pendingSpace = false;
        out += t;
    };
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (isSpace(c)) {
            pendingSpace = true;
            ++i;
            continue;
        }
        if (c == '&') {
            char32_t cp = 0;
            if (readReference(s, i, cp)) {
                std::string t;
                appendUtf8(t, cp);
                text(t);
            } else {
                text("&");
                ++i;
            }
            continue;
        }
        const bool tagStart = c == '<' && i + 1 < s.size() &&
                              (isNameChar(s[i + 1]) || s[i + 1] == '/' || s[i + 1] == '!' || s[i + 1] == '?');
        const std::size_t close = tagStart ? s.find('>', i + 1) : std::string_view::npos;
        if (close == std::string_view::npos) {
            std::size_t run = i + 1;
            while (run < s.size() && s[run] != '<' && s[run] != '&' && !isSpace(s[run]))
                ++run;
            text(s.substr(i, run - i));
            i = run;
            continue;
        }
        if (s.substr(i, 4) == "<!--") {
            const std::size_t end = s.find("-->", i + 4);
            i = end == std::string_view::npos ? s.size() : end + 3;
            continue;
        }
        const bool closing = s[i + 1] == '/';
        std::size_t nameEnd = i + (closing ? 2 : 1);
        while (nameEnd < close && isNameChar(s[nameEnd]))
            ++nameEnd;
        std::string name(s.substr(i + (closing ? 2 : 1), nameEnd - i - (closing ? 2 : 1)));
        std::transform(name.begin(), name.end(), name.begin(), lower);
        i = close + 1;
        if (name == "br") {
            lineBreak(true);
        } else if (!closing && (name == "script" || name == "style")) {
            // Their content is not text: skip to the closing tag.
            const std::string end = "</" + name;
            std::size_t at = i;
            while (at < s.size() && !equalsIgnoringCase(s.substr(at, end.size()), end))
                ++at;
            const std::size_t after = s.find('>', at);
            i = after == std::string_view::npos ? s.size() : after + 1;
        } else if (std::find(std::begin(kBlocks), std::end(kBlocks), name) != std::end(kBlocks)) {
            lineBreak(false);
        }
    }
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
}

} // namespace rekal
