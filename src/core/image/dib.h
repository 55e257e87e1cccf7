#pragma once
// A decoded picture in the layout of a device-independent bitmap: the 40-byte header, a colour
// table with room for 256 entries and the pixel rows, bottom-up, each padded with zero bytes to a
// multiple of 4 bytes. The Windows program hands it to the platform as it is; tests and the command
// line read its pixels directly.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rekal {

// The fields of the 40-byte bitmap information header, in their order and sizes.
struct DibHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0; // positive: the first stored row is the bottom one
    uint16_t planes = 1;
    uint16_t bitCount = 0; // 1, 4, 8 or 24
    uint32_t compression = 0;
    uint32_t imageSize = 0; // rowBytes * height
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t colorsUsed = 0;
    uint32_t colorsImportant = 0;
};
static_assert(sizeof(DibHeader) == 40);

// One colour-table entry, stored blue, green, red, 0.
struct DibColour {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
};
static_assert(sizeof(DibColour) == 4);

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct DibImage {
    DibHeader header;
    std::array<DibColour, 256> colours{};
    std::vector<uint8_t> bits; // header.height rows of rowBytes() bytes, bottom row first

    std::size_t rowBytes() const { return dibRowBytes(header.width, header.bitCount); }

    // Bytes of the row that shows image line y (0 = top).
    const uint8_t* row(int y) const {
        return bits.data() + static_cast<std::size_t>(header.height - 1 - y) * rowBytes();
    }
    uint8_t* row(int y) { return bits.data() + static_cast<std::size_t>(header.height - 1 - y) * rowBytes(); }

    // The colour shown at (x, y), y = 0 being the top line; resolves colour-table indices.
    Rgb pixel(int x, int y) const;

    static std::size_t dibRowBytes(int64_t width, int bitCount) {
        return static_cast<std::size_t>((width * bitCount + 31) / 32 * 4);
    }
};

// The caller's background colour: red in the lowest byte, then green, then blue.
inline Rgb backgroundRgb(uint32_t colour) {
    return {static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
            static_cast<uint8_t>(colour >> 16)};
}

// Largest picture any decoder accepts: the bytes of its decoded (inflated, unfiltered) data and of
// its bitmap rows. A header claiming more is refused before anything is allocated for it.
inline constexpr std::size_t kMaxImageDataBytes = std::size_t{1} << 28; // 256 MiB

// Largest picture any decoder accepts in pixels, whatever its depth: the screen-compatible bitmap
// the platform makes of it takes up to four bytes a pixel. A header claiming more is refused before
// anything is allocated, and the picture shows as missing.
inline constexpr uint64_t kMaxPicturePixels = uint64_t{1} << 25; // 32 Mi pixels, e.g. 8192 x 4096

inline constexpr bool picturePixelsAllowed(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= kMaxPicturePixels && height <= kMaxPicturePixels / width;
}

// The pictures of one sentence text together: after this many decoded pixels the rest show as
// missing. (A picture shown several times is decoded and counted once.)
inline constexpr uint64_t kMaxTextPicturePixels = uint64_t{1} << 26;

class PixelBudget {
  public:
    explicit PixelBudget(uint64_t pixels = kMaxTextPicturePixels) : left_(pixels) {}
    // Takes a picture's pixels from the budget; false (nothing taken) when they are not allowed for
    // one picture or more than what is left.
    bool take(uint64_t width, uint64_t height) {
        if (!picturePixelsAllowed(width, height) || width * height > left_) return false;
        left_ -= width * height;
        return true;
    }
    uint64_t left() const { return left_; }

  private:
    uint64_t left_;
};

// Sets `bytes` to `size` zero bytes; false instead of an exception when the memory cannot be had.
bool resizeZeroed(std::vector<uint8_t>& bytes, std::size_t size) noexcept;

// Makes an image of the given size and depth with zero-filled rows. False when the sizes are out of
// range or the memory cannot be had.
bool allocateDib(DibImage& image, uint32_t width, uint32_t height, int bitCount, uint32_t colorsUsed);

} // namespace rekal
