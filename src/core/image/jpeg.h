#pragma once
// JPEG pictures, decoded by libjpeg into the same bitmap description as PNG ones: 24 bits per pixel,
// rows bottom-up. Greyscale and CMYK pictures are turned into RGB on the way.

#include "core/image/dib.h"

#include <cstdio>
#include <filesystem>
#include <optional>

namespace rekal {

// The most scans a progressive file may have.
inline constexpr int kMaxJpegScans = 100;

// Opens the file (a plain file only) in binary read mode and decodes it; none when it cannot be opened or
// libjpeg fails at any point. Reports nothing.
std::optional<DibImage> loadJpegFile(const std::filesystem::path& path);

// Decodes a JPEG from an open stdio stream, reading from its current position.
std::optional<DibImage> decodeJpegStream(std::FILE* file);

} // namespace rekal
