#pragma once
// The program's own PNG decoder. zlib inflates the image data; everything else (chunk walk,
// unfiltering, Adam7, conversion) is here. Every transparent or partly transparent pixel is blended
// onto the caller's background colour, because the bitmaps made from the result are copied without
// any transparency support.

#include "core/image/dib.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace rekal {

// Decodes PNG bytes into a bitmap description. `background` has red in the lowest byte, then green,
// then blue. None for anything that is not a well-formed PNG of a supported kind, for pictures
// larger than kMaxImageDataBytes, and when memory runs short. Reports nothing.
std::optional<DibImage> decodePng(std::string_view bytes, uint32_t background);

// Reads the whole file and decodes it; none when it cannot be opened, sized or read.
std::optional<DibImage> loadPngFile(const std::filesystem::path& path, uint32_t background);

} // namespace rekal
