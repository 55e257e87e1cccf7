#include "cli/console.h"

#include "core/base/unicode.h"

namespace rekal::cli {

namespace {

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

// Bytes a UTF-8 sequence starting with this byte has; 1 for a byte that starts none.
std::size_t sequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

} // namespace

TextPath textPathFor(bool handleValid, bool characterDevice, bool consoleModeReadable) {
    return handleValid && characterDevice && consoleModeReadable ? TextPath::ConsoleWide
                                                                 : TextPath::Utf8Bytes;
}

std::u16string Utf8ToConsole::convert(std::string_view piece) {
    pending_.append(piece);
    // Keep back a last sequence whose remaining bytes are still to come.
    std::size_t complete = pending_.size();
    for (std::size_t back = 1; back <= 3 && back <= pending_.size(); ++back) {
        const auto c = static_cast<unsigned char>(pending_[pending_.size() - back]);
        if ((c & 0xC0) == 0x80) continue; // a continuation byte: look further back
        if (sequenceLength(c) > back) complete = pending_.size() - back;
        break;
    }
    std::u16string out;
    const std::string_view text(pending_.data(), complete);
    for (std::size_t pos = 0; pos < text.size();)
        appendUtf16(out, nextUtf8(text, pos));
    pending_.erase(0, complete);
    return out;
}

std::u16string Utf8ToConsole::finish() {
    std::u16string out;
    if (!pending_.empty()) out += u'\uFFFD';
    pending_.clear();
    return out;
}

std::string consoleInputToUtf8(std::u16string_view typed) {
    std::string out;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        char32_t cp = typed[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < typed.size() && typed[i + 1] >= 0xDC00 &&
            typed[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (typed[++i] - 0xDC00);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        } else if (cp == u'\r' && i + 1 < typed.size() && typed[i + 1] == u'\n') {
            continue; // the LF that follows ends the line
        }
        appendUtf8(out, cp);
    }
    return out;
}

bool isConsoleEndOfInput(std::string_view line) {
    return !line.empty() && line.front() == '\x1A';
}

} // namespace rekal::cli
