#include "core/display/markup.h"

#include "core/display/wrap.h"

#include "core/base/sjis.h"

#include <climits>
#include <cstdint>

namespace rekal {

namespace {

std::size_t characterLength(std::string_view text, std::size_t i) {
    return isDoubleByteAt(text, i) ? 2 : 1;
}

// Position of the first byte c at or after `from` that is not the second byte of a character.
std::size_t findByte(std::string_view text, std::size_t from, char c) {
    for (std::size_t i = from; i < text.size(); i += characterLength(text, i)) {
        if (text[i] == c) return i;
    }
    return text.size();
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

// Calls visit(name, value) for each "name=value" item after the path, in order.
template <typename Visit> void forEachAttribute(std::string_view parameters, Visit visit) {
    std::size_t pos = findByte(parameters, 0, '|');
    while (pos < parameters.size()) {
        std::size_t start = pos + 1;
        std::size_t next = findByte(parameters, start, '|');
        std::string_view item = parameters.substr(start, next - start);
        std::size_t eq = item.find('=');
        if (eq != std::string_view::npos) visit(item.substr(0, eq), item.substr(eq + 1));
        pos = next;
    }
}

} // namespace

std::optional<MediaTag> nextMediaTag(std::string_view text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); i += characterLength(text, i)) {
        if (text[i] != kTagByte || i + 2 >= text.size() || text[i + 2] != '"') continue;
        if (text[i + 1] != 'i' && text[i + 1] != 'm') continue;
        MediaTag tag;
        tag.kind = text[i + 1] == 'i' ? TagKind::Picture : TagKind::Media;
        tag.begin = i;
        std::size_t open = i + 3;
        std::size_t close = findByte(text, open, '"');
        tag.parameters = text.substr(open, close - open);
        // A tag whose closing quote is missing runs to the end of the text.
        tag.end = close < text.size() ? close + 1 : text.size();
        return tag;
    }
    return std::nullopt;
}

int countMediaTags(std::string_view text) {
    int count = 0;
    for (auto tag = nextMediaTag(text, 0); tag; tag = nextMediaTag(text, tag->end))
        ++count;
    return count;
}

int TagValue::percentOf(int whole) const {
    return clampToInt(static_cast<std::int64_t>(whole) * value / 100);
}

TagValue parseTagValue(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    std::int64_t magnitude = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (text[i] - '0');
    }
    TagValue result;
    result.value = clampToInt(negative ? -magnitude : magnitude);
    result.percent = !negative && digits > 0 && i < text.size() && text[i] == '%';
    return result;
}

std::string_view tagPath(std::string_view parameters) {
    return parameters.substr(0, findByte(parameters, 0, '|'));
}

PictureAttributes parsePictureAttributes(std::string_view parameters) {
    PictureAttributes a;
    forEachAttribute(parameters, [&](std::string_view name, std::string_view value) {
        std::optional<TagValue>* field = nullptr;
        if (equalsIgnoringCase(name, "width"))
            field = &a.width;
        else if (equalsIgnoringCase(name, "height"))
            field = &a.height;
        else if (equalsIgnoringCase(name, "srcleft"))
            field = &a.srcLeft;
        else if (equalsIgnoringCase(name, "srctop"))
            field = &a.srcTop;
        else if (equalsIgnoringCase(name, "srcwidth"))
            field = &a.srcWidth;
        else if (equalsIgnoringCase(name, "srcheight"))
            field = &a.srcHeight;
        if (field) *field = parseTagValue(value);
    });
    return a;
}

MediaAttributes parseMediaAttributes(std::string_view parameters) {
    MediaAttributes a;
    forEachAttribute(parameters, [&](std::string_view name, std::string_view value) {
        std::optional<int>* number = nullptr;
        if (equalsIgnoringCase(name, "width"))
            a.width = parseTagValue(value);
        else if (equalsIgnoringCase(name, "height"))
            a.height = parseTagValue(value);
        else if (equalsIgnoringCase(name, "loop"))
            number = &a.loop;
        else if (equalsIgnoringCase(name, "autoplay"))
            number = &a.autoplay;
        else if (equalsIgnoringCase(name, "interval"))
            number = &a.interval;
        else if (equalsIgnoringCase(name, "showcontrol"))
            number = &a.showControl;
        if (number) *number = parseTagValue(value).value;
    });
    return a;
}

std::string clipboardText(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == kTagByte) c = '\\';
    }
    return out;
}

std::string plainText(std::string_view text) {
    std::string out;
    std::size_t at = 0;
    auto copy = [&](std::size_t end) {
        for (; at < end; ++at)
            if (text[at] != '\n') out += text[at];
    };
    while (std::optional<MediaTag> tag = nextMediaTag(text, at)) {
        copy(tag->begin);
        at = tag->end;
    }
    copy(text.size());
    return out;
}

} // namespace rekal
