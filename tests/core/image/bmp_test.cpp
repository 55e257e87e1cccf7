// BMP headers read before the platform's loader gets the file.

#include "core/image/bmp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace rekal {
namespace {

std::string le(uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

// The file header and an information header of 40 bytes (or a core header of 12).
std::string bmpHeader(int32_t width, int32_t height, int bits, bool core = false) {
    std::string h = "BM" + le(0, 4) + le(0, 4) + le(54, 4);
    if (core)
        return h + le(12, 4) + le(static_cast<uint32_t>(width), 2) + le(static_cast<uint32_t>(height), 2) +
               le(1, 2) + le(static_cast<uint32_t>(bits), 2);
    return h + le(40, 4) + le(static_cast<uint32_t>(width), 4) + le(static_cast<uint32_t>(height), 4) +
           le(1, 2) + le(static_cast<uint32_t>(bits), 2) + std::string(24, '\0');
}

TEST(BmpHeader, SizeAndDepthAsClaimed) {
    auto info = readBmpHeader(bmpHeader(640, -480, 24)); // top-down
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 640u);
    EXPECT_EQ(info->height, 480u);
    EXPECT_EQ(info->bitCount, 24);
    EXPECT_TRUE(info->withinCap());
    info = readBmpHeader(bmpHeader(300, 200, 8, true));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 300u);
    EXPECT_EQ(info->bitCount, 8);

    // The 1-bit picture of 2^31 pixels that would have GDI allocate gigabytes.
    info = readBmpHeader(bmpHeader(65536, 32768, 1));
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->withinCap());
}

TEST(BmpHeader, AnythingElseIsNone) {
    EXPECT_FALSE(readBmpHeader(""));
    EXPECT_FALSE(readBmpHeader(bmpHeader(10, 10, 24).substr(0, 30)));
    EXPECT_FALSE(readBmpHeader("PK" + bmpHeader(10, 10, 24).substr(2)));
    EXPECT_FALSE(readBmpHeader(bmpHeader(0, 10, 24)));
    EXPECT_FALSE(readBmpHeader(bmpHeader(-5, 10, 24)));
    EXPECT_FALSE(readBmpHeader(bmpHeader(10, 0, 24)));
    EXPECT_FALSE(readBmpHeader(bmpHeader(10, INT32_MIN, 24)));
    EXPECT_FALSE(readBmpHeader(bmpHeader(10, 10, 7)));
}

TEST(BmpHeader, FromAPlainFileOnly) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("rekal_bmp_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "a.bmp", std::ios::binary) << bmpHeader(8000, 8000, 1) << std::string(100, '\0');
    auto info = readBmpFileHeader(dir / "a.bmp");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 8000u);
    EXPECT_FALSE(info->withinCap());
    EXPECT_FALSE(readBmpFileHeader(dir));
    EXPECT_FALSE(readBmpFileHeader(dir / "missing.bmp"));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace rekal
