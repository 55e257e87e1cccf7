#pragma once
// The header of a BMP file, read before the platform's loader gets the file: the loader allocates
// whatever the header claims, so a picture over the pixel cap must be refused first.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace rekal {

struct BmpInfo {
    uint32_t width = 0;
    uint32_t height = 0; // magnitude: a top-down file gives a negative height in its header
    int bitCount = 0;    // 1, 4, 8, 16, 24 or 32
    uint32_t compression = 0;

    // True when the pixels stay within the cap for one picture.
    bool withinCap() const;
};

// The size and depth a BMP file's headers claim (the 14-byte file header, then a core header of
// 12 bytes or an information header of 40 bytes or more); none for anything else, for an empty
// picture or an unknown depth.
std::optional<BmpInfo> readBmpHeader(std::string_view bytes);

// The same from the start of a file; none when it is not a plain file or cannot be read.
std::optional<BmpInfo> readBmpFileHeader(const std::filesystem::path& path);

} // namespace rekal
