#pragma once
// Hand-made PNG files for the decoder's tests: chunks are put together byte by byte, so that any
// order, length or content (also invalid ones) can be written.

#include <zlib.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace rekal::test {

inline std::string bigEndian32(uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

inline std::string bytesOf(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

// A chunk with a length, a type, the data and a CRC of zero (the decoder does not check CRCs).
inline std::string chunk(std::string_view type, std::string_view data) {
    return bigEndian32(static_cast<uint32_t>(data.size())) + std::string(type) + std::string(data) +
           bigEndian32(0);
}

inline std::string signature() {
    return bytesOf({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A});
}

inline std::string headerChunk(uint32_t width, uint32_t height, int depth, int colourType,
                               int interlace = 0) {
    return chunk("IHDR",
                 bigEndian32(width) + bigEndian32(height) + bytesOf({depth, colourType, 0, 0, interlace}));
}

inline std::string endChunk() {
    return chunk("IEND", "");
}

// The zlib stream of `raw` (filter bytes included).
inline std::string deflate(std::string_view raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<Bytef> out(size);
    compress2(out.data(), &size, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
              9);
    return std::string(reinterpret_cast<const char*>(out.data()), size);
}

// Signature, header, the chunks in `middle`, one IDAT of `rows` and IEND.
inline std::string simplePng(uint32_t width, uint32_t height, int depth, int colourType,
                             std::string_view rows, std::string_view middle = {}) {
    return signature() + headerChunk(width, height, depth, colourType) + std::string(middle) +
           chunk("IDAT", deflate(rows)) + endChunk();
}

} // namespace rekal::test
