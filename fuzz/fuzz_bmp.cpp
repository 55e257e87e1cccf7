// BMP header reader on arbitrary bytes: no crash, no access outside the buffer; whatever it accepts
// is a picture of some pixels at a depth the platform draws.

#include "core/image/bmp.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto info = rekal::readBmpHeader(bytes);
    if (!info) return 0;
    const int depth = info->bitCount;
    if (info->width == 0 || info->height == 0 ||
        (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32))
        std::abort();
    return info->withinCap() ? 1 : 0;
}
