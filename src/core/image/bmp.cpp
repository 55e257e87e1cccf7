#include "core/image/bmp.h"

#include "core/base/fileio.h"
#include "core/image/dib.h"

#include <array>

namespace rekal {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;

uint32_t readLe(std::string_view b, std::size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

} // namespace

bool BmpInfo::withinCap() const {
    return picturePixelsAllowed(width, height);
}

std::optional<BmpInfo> readBmpHeader(std::string_view bytes) {
    if (bytes.size() < kFileHeaderBytes + kCoreHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const uint32_t headerSize = readLe(bytes, kFileHeaderBytes, 4);
    const std::size_t h = kFileHeaderBytes + 4;
    BmpInfo info;
    if (headerSize == kCoreHeaderBytes) {
        info.width = readLe(bytes, h, 2);
        info.height = readLe(bytes, h + 2, 2);
        info.bitCount = static_cast<int>(readLe(bytes, h + 6, 2));
    } else if (headerSize >= kInfoHeaderBytes && bytes.size() >= kFileHeaderBytes + kInfoHeaderBytes) {
        const auto width = static_cast<int32_t>(readLe(bytes, h, 4));
        const auto height = static_cast<int32_t>(readLe(bytes, h + 4, 4));
        if (width <= 0 || height == INT32_MIN) return std::nullopt;
        info.width = static_cast<uint32_t>(width);
        info.height = static_cast<uint32_t>(height < 0 ? -height : height);
        info.bitCount = static_cast<int>(readLe(bytes, h + 10, 2));
        info.compression = readLe(bytes, h + 12, 4);
    } else {
        return std::nullopt;
    }
    if (info.width == 0 || info.height == 0) return std::nullopt;
    for (int depth : {1, 4, 8, 16, 24, 32})
        if (info.bitCount == depth) return info;
    return std::nullopt;
}

std::optional<BmpInfo> readBmpFileHeader(const std::filesystem::path& path) {
    if (!isPlainFile(path)) return std::nullopt;
    FilePtr file = openFile(path, "rb");
    if (!file) return std::nullopt;
    std::array<char, kFileHeaderBytes + kInfoHeaderBytes> head{};
    const std::size_t got = std::fread(head.data(), 1, head.size(), file.get());
    return readBmpHeader(std::string_view(head.data(), got));
}

} // namespace rekal
