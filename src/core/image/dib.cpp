#include "core/image/dib.h"

#include <new>
#include <stdexcept>

namespace rekal {

bool resizeZeroed(std::vector<uint8_t>& bytes, std::size_t size) noexcept {
    try {
        bytes.assign(size, 0);
        return true;
    } catch (const std::bad_alloc&) {
        bytes = {};
        return false;
    } catch (const std::length_error&) {
        bytes = {};
        return false;
    }
}

bool allocateDib(DibImage& image, uint32_t width, uint32_t height, int bitCount, uint32_t colorsUsed) {
    if (!picturePixelsAllowed(width, height)) return false;
    const std::size_t rowBytes = DibImage::dibRowBytes(width, bitCount);
    if (rowBytes > kMaxImageDataBytes / height) return false;
    const std::size_t total = rowBytes * height;
    if (!resizeZeroed(image.bits, total)) return false;
    image.header = DibHeader{};
    image.header.width = static_cast<int32_t>(width);
    image.header.height = static_cast<int32_t>(height);
    image.header.bitCount = static_cast<uint16_t>(bitCount);
    image.header.imageSize = static_cast<uint32_t>(total);
    image.header.colorsUsed = colorsUsed;
    image.colours = {};
    return true;
}

Rgb DibImage::pixel(int x, int y) const {
    const uint8_t* line = row(y);
    const int bits = header.bitCount;
    if (bits == 24) return {line[x * 3 + 2], line[x * 3 + 1], line[x * 3]};
    if (bits != 1 && bits != 4 && bits != 8) return {};
    const int bitOffset = x * bits;
    const int index = (line[bitOffset / 8] >> (8 - bits - bitOffset % 8)) & ((1 << bits) - 1);
    const DibColour& c = colours[static_cast<std::size_t>(index)];
    return {c.red, c.green, c.blue};
}

} // namespace rekal
