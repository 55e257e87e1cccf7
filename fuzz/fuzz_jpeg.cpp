// JPEG loading on arbitrary bytes, through a stdio stream as from a file: libjpeg's errors must
// come back as none, never end the process, and a lying header must not allocate beyond the bound.

#include "core/image/jpeg.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file) return 0;
    const auto image = rekal::decodeJpegStream(file);
    std::fclose(file);
    if (!image) return 0;
    const auto& h = image->header;
    if (h.bitCount != 24 || h.width <= 0 || h.height <= 0 ||
        image->bits.size() != image->rowBytes() * static_cast<std::size_t>(h.height))
        std::abort();
    return 0;
}
