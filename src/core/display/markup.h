#pragma once
// Inline media tags of a sentence text. In a stored text a tag is the byte 0x02, the letter i
// (picture) or m (sound or video), a double quote, the parameters and a closing double quote.
// The parameters are a path followed by zero or more "|name=value" attributes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace rekal {

inline constexpr char kTagByte = 0x02;

enum class TagKind { Picture, Media };

// One tag found in a sentence text: its kind, the byte range it covers (from the 0x02 byte to just
// after the closing quote, or to the end of the text when the quote is missing) and its parameters.
struct MediaTag {
    TagKind kind = TagKind::Picture;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string_view parameters;
};

// The first tag at or after `from`, or none. Double-byte characters are stepped over whole, so a
// trail byte is never taken for the tag byte or a quote. A 0x02 byte not followed by i or m and a
// quote is ordinary text. `from` must be a character boundary.
std::optional<MediaTag> nextMediaTag(std::string_view text, std::size_t from);

// Number of tags in the text.
int countMediaTags(std::string_view text);

// An attribute value: a decimal integer with an optional leading minus sign, read up to the first
// byte that is not a digit (no digits give 0); digits followed directly by '%' make a percentage.
// Values beyond the int range are held at its ends.
struct TagValue {
    int value = 0;
    bool percent = false;

    // value percent of `whole`, truncated, held within the int range.
    int percentOf(int whole) const;
    friend bool operator==(const TagValue&, const TagValue&) = default;
};

TagValue parseTagValue(std::string_view text);

// Attributes of a picture tag; an attribute not given stays none.
struct PictureAttributes {
    std::optional<TagValue> width, height, srcLeft, srcTop, srcWidth, srcHeight;
};

// Attributes of a sound or video tag.
struct MediaAttributes {
    std::optional<TagValue> width, height;
    std::optional<int> loop, autoplay, interval, showControl;
};

// The path part of the parameters (everything before the first '|').
std::string_view tagPath(std::string_view parameters);

// Attribute lists: names without regard to case, unknown names and items without '=' ignored, a
// later attribute of a name overriding an earlier one.
PictureAttributes parsePictureAttributes(std::string_view parameters);
MediaAttributes parseMediaAttributes(std::string_view parameters);

// The text as a tooltip shows it: every tag removed and every line feed dropped.
std::string plainText(std::string_view text);

// The text as it goes to the clipboard: every tag byte becomes a backslash, so the tags read as
// they were written in the question file.
std::string clipboardText(std::string_view text);

} // namespace rekal
