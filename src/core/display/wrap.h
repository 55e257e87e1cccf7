#pragma once
// The wrapped text run: lays a byte range out line by line in a rectangle, breaking after the last
// space, punctuation mark or double-byte character that still fits, inside a word that is longer
// than the line, and at forced line breaks (CR LF, CR or LF; a CR LF pair is one break).

#include <climits>
#include <cstdint>
#include <string_view>
#include <vector>

namespace rekal {

// Sums of sizes that come from a file: held at the ends of the int range instead of overflowing.
constexpr int clampToInt(std::int64_t v) {
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}
constexpr int addClamped(int a, int b) {
    return clampToInt(std::int64_t{a} + b);
}
constexpr int subtractClamped(int a, int b) {
    return clampToInt(std::int64_t{a} - b);
}

// The largest width or height a picture band, a media window or a text extent may take: the
// coordinates of the platform's drawing calls are safe within it.
inline constexpr int kMaxDisplayExtent = 32767;

constexpr int clampExtent(int v) {
    return v < 0 ? 0 : v > kMaxDisplayExtent ? kMaxDisplayExtent : v;
}

struct DisplayRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const DisplayRect&, const DisplayRect&) = default;
};

// What the run needs from a device: the font's line height, whether it reads double-byte
// characters, the extent of a byte range and drawing a byte range at a point.
class TextSurface {
  public:
    virtual ~TextSurface() = default;
    virtual int lineHeight() = 0;
    virtual bool doubleByteFont() = 0;
    // Width of the bytes as one piece of text in the current font.
    virtual int textWidth(std::string_view bytes) = 0;
    virtual void drawText(int x, int y, std::string_view bytes) = 0;
    // The widths of every beginning of the bytes, measured in one go: widths[i] is the width of
    // bytes[0 .. i] (for an i inside a double-byte character any value). False when the device
    // cannot; the run then measures each line piece with textWidth, as it grows.
    virtual bool prefixWidths(std::string_view bytes, std::vector<int>& widths) {
        (void)bytes;
        (void)widths;
        return false;
    }
};

enum WrapFlags : unsigned {
    WrapMeasureOnly = 1, // nothing is drawn; the rectangle's right and bottom get the measured extent
    WrapNoClip = 2,      // drawing is not clipped to the rectangle (the device side honours it)
};

// Lays the text out in rect and returns the height used. Lines are lineHeight apart plus
// lineInterval; there is no interval below the last line. With prefixWidths the whole run is
// measured once, and a line's width is the difference of two prefix widths.
int wrapTextRun(TextSurface& surface, std::string_view text, DisplayRect& rect, unsigned flags,
                int lineInterval);

// True for the bytes that belong to a word (a line is not broken after them): ASCII letters and digits.
constexpr bool isWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace rekal
