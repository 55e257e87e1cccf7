// PNG decoder on arbitrary bytes: no crash, no access outside a buffer, no oversized allocation.
// Whatever decodes must be a consistent bitmap description.

#include "core/image/png.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto image = rekal::decodePng(bytes, 0x00C08040);
    if (!image) return 0;
    const auto& h = image->header;
    const std::size_t rows = static_cast<std::size_t>(h.height);
    if (h.width <= 0 || h.height <= 0 || image->bits.size() != image->rowBytes() * rows ||
        image->bits.size() > rekal::kMaxImageDataBytes || h.colorsUsed > 256)
        std::abort();
    // Touch every pixel, as the platform would.
    unsigned sum = 0;
    for (int y = 0; y < h.height; y += 1 + h.height / 64)
        for (int x = 0; x < h.width; x += 1 + h.width / 64)
            sum += image->pixel(x, y).red;
    return sum == 0xFFFFFFFF ? 1 : 0;
}
