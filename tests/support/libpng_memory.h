#pragma once
// libpng reading a PNG file held in memory (the cross-check tests and the decode benchmark).

#include <png.h>

#include <cstring>
#include <string>

namespace rekal::test {

struct PngMemoryReader {
    const std::string* bytes;
    std::size_t pos = 0;
};

inline void readPngBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* reader = static_cast<PngMemoryReader*>(png_get_io_ptr(png));
    if (reader->bytes->size() - reader->pos < size) png_error(png, "short");
    std::memcpy(data, reader->bytes->data() + reader->pos, size);
    reader->pos += size;
}

} // namespace rekal::test
