// Decoding of hand-made PNG files: chunk order, transparency, conversion to bitmap rows and the
// limits that protect against damaged or lying files.

#include "core/image/png.h"
#include "core/image/png_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace rekal {
namespace {

using test::bigEndian32;
using test::bytesOf;
using test::chunk;
using test::deflate;
using test::endChunk;
using test::headerChunk;
using test::signature;
using test::simplePng;

constexpr uint32_t kBackground = 0x00C08040; // red 0x40, green 0x80, blue 0xC0
const Rgb kBack{0x40, 0x80, 0xC0};

std::string plteChunk(std::initializer_list<Rgb> colours) {
    std::string data;
    for (const Rgb& c : colours)
        data += bytesOf({c.red, c.green, c.blue});
    return chunk("PLTE", data);
}

// --- conversion ------------------------------------------------------------------------------

TEST(PngConversion, TwoBitGreyWidensToFourBitsWithEvenLevels) {
    // One row 0, 1, 2, 3 then 3, 2, 1, 0: two bytes 0x1B and 0xE4.
    auto image = decodePng(simplePng(8, 1, 2, 0, bytesOf({0, 0x1B, 0xE4})), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->header.bitCount, 4);
    EXPECT_EQ(image->header.colorsUsed, 4u);
    const uint8_t levels[] = {0, 85, 170, 255, 255, 170, 85, 0};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(image->pixel(x, 0), (Rgb{levels[x], levels[x], levels[x]})) << x;
    // The widened values are the 2-bit ones, one per nibble, and the row is padded with zeros.
    EXPECT_EQ(image->rowBytes(), 4u);
    EXPECT_EQ(std::string(image->bits.begin(), image->bits.end()), bytesOf({0x01, 0x23, 0x32, 0x10}));
}

TEST(PngConversion, RowsAreStoredBottomUpAndPaddedToFourBytes) {
    // 1 x 3 RGB: red, green, blue from the top.
    std::string rows = bytesOf({0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255});
    auto image = decodePng(simplePng(1, 3, 8, 2, rows), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->header.size, 40u);
    EXPECT_EQ(image->header.width, 1);
    EXPECT_EQ(image->header.height, 3);
    EXPECT_EQ(image->header.planes, 1);
    EXPECT_EQ(image->header.bitCount, 24);
    EXPECT_EQ(image->header.compression, 0u);
    EXPECT_EQ(image->header.colorsUsed, 0u);
    EXPECT_EQ(image->header.imageSize, 12u);
    // Bottom row (blue) first, each pixel blue, green, red, then one zero byte of padding.
    EXPECT_EQ(std::string(image->bits.begin(), image->bits.end()),
              bytesOf({255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0}));
}

TEST(PngConversion, SixteenBitSamplesKeepTheirHighByte) {
    auto grey = decodePng(simplePng(2, 1, 16, 0, bytesOf({0, 0x12, 0x34, 0xAB, 0xCD})), kBackground);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->header.bitCount, 8);
    EXPECT_EQ(grey->header.colorsUsed, 256u);
    EXPECT_EQ(grey->pixel(0, 0), (Rgb{0x12, 0x12, 0x12}));
    EXPECT_EQ(grey->pixel(1, 0), (Rgb{0xAB, 0xAB, 0xAB}));

    auto rgb =
        decodePng(simplePng(1, 1, 16, 2, bytesOf({0, 0x10, 0xFF, 0x20, 0xFF, 0x30, 0xFF})), kBackground);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->pixel(0, 0), (Rgb{0x10, 0x20, 0x30}));
}

TEST(PngConversion, PaletteIndicesKeepTheirDepthAndTheTableHoldsThePalette) {
    std::string plte = plteChunk({{10, 20, 30}, {40, 50, 60}});
    auto image = decodePng(simplePng(3, 1, 1, 3, bytesOf({0, 0b01000000}), plte), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->header.bitCount, 1);
    EXPECT_EQ(image->header.colorsUsed, 2u);
    EXPECT_EQ(image->pixel(0, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(image->pixel(1, 0), (Rgb{40, 50, 60}));
    EXPECT_EQ(image->pixel(2, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(image->colours[1].blue, 60);
}

// --- transparency ----------------------------------------------------------------------------

TEST(PngTransparency, AlphaBlendsOntoTheBackgroundColourByteByByte) {
    // RGBA: alpha 0, alpha 255 and alpha 128 over the background (0x40, 0x80, 0xC0).
    std::string rows = bytesOf({0, 200, 100, 50, 0, 200, 100, 50, 255, 200, 100, 50, 128});
    auto image = decodePng(simplePng(3, 1, 8, 6, rows), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->header.bitCount, 24);
    EXPECT_EQ(image->pixel(0, 0), kBack);
    EXPECT_EQ(image->pixel(1, 0), (Rgb{200, 100, 50}));
    // (200 * 128 + 127 * 0x40) / 255 = 132, (100 * 128 + 127 * 0x80) / 255 = 113, (50 * 128 + 127 * 0xC0) /
    // 255 = 120
    EXPECT_EQ(image->pixel(2, 0), (Rgb{132, 113, 120}));
}

TEST(PngTransparency, GreyWithAlphaBlendsEachChannelOnItsOwn) {
    auto image = decodePng(simplePng(2, 1, 8, 4, bytesOf({0, 255, 0, 90, 255})), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), kBack);
    EXPECT_EQ(image->pixel(1, 0), (Rgb{90, 90, 90}));
}

TEST(PngTransparency, RgbKeyColourShowsTheBackground) {
    std::string trns = chunk("tRNS", bytesOf({0, 1, 0, 2, 0, 3}));
    auto image = decodePng(simplePng(2, 1, 8, 2, bytesOf({0, 1, 2, 3, 1, 2, 4}), trns), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), kBack);
    EXPECT_EQ(image->pixel(1, 0), (Rgb{1, 2, 4}));
}

TEST(PngTransparency, SixteenBitRgbKeyMatchesWholeSamples) {
    // The key is 0x0102 0x0304 0x0506. The first pixel is exactly that colour; the second has the
    // key's low bytes as its high bytes and must stay as it is.
    std::string trns = chunk("tRNS", bytesOf({1, 2, 3, 4, 5, 6}));
    std::string rows = bytesOf({0, 1, 2, 3, 4, 5, 6, 2, 0, 4, 0, 6, 0});
    auto image = decodePng(simplePng(2, 1, 16, 2, rows, trns), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), kBack);
    EXPECT_EQ(image->pixel(1, 0), (Rgb{2, 4, 6}));
}

TEST(PngTransparency, SixteenBitGreyKeyMatchesWholeSamples) {
    // Key 0x1234: the pixel 0x1234 shows the background, 0x1235 (same high byte) and 0x3400 do not.
    std::string trns = chunk("tRNS", bytesOf({0x12, 0x34}));
    std::string rows = bytesOf({0, 0x12, 0x34, 0x12, 0x35, 0x34, 0x00});
    auto image = decodePng(simplePng(3, 1, 16, 0, rows, trns), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), kBack);
    EXPECT_EQ(image->pixel(1, 0), (Rgb{0x12, 0x12, 0x12}));
    EXPECT_EQ(image->pixel(2, 0), (Rgb{0x34, 0x34, 0x34}));
}

TEST(PngTransparency, GreyKeyTurnsItsTableEntryIntoTheBackground) {
    std::string trns = chunk("tRNS", bytesOf({0, 2}));
    auto image = decodePng(simplePng(4, 1, 2, 0, bytesOf({0, 0x1B}), trns), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(1, 0), (Rgb{85, 85, 85}));
    EXPECT_EQ(image->pixel(2, 0), kBack);
    EXPECT_EQ(image->pixel(3, 0), (Rgb{255, 255, 255}));
}

TEST(PngTransparency, ShortPaletteAlphaBlendsOnlyItsEntries) {
    std::string middle =
        plteChunk({{255, 255, 255}, {0, 0, 0}, {10, 20, 30}}) + chunk("tRNS", bytesOf({0, 255}));
    auto image = decodePng(simplePng(3, 1, 8, 3, bytesOf({0, 0, 1, 2}), middle), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), kBack);
    EXPECT_EQ(image->pixel(1, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(image->pixel(2, 0), (Rgb{10, 20, 30}));
}

TEST(PngTransparency, OverlongPaletteAlphaIsCutToTheTable) {
    std::string middle = plteChunk({{1, 2, 3}}) + chunk("tRNS", std::string(300, '\x80'));
    auto image = decodePng(simplePng(1, 1, 8, 3, bytesOf({0, 0}), middle), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), (Rgb{(1 * 128 + 127 * 0x40) / 255, (2 * 128 + 127 * 0x80) / 255,
                                       (3 * 128 + 127 * 0xC0) / 255}));
}

TEST(PngTransparency, KeyTooShortForItsColourTypeIsLeftAside) {
    auto rgb =
        decodePng(simplePng(1, 1, 8, 2, bytesOf({0, 0, 0, 0}), chunk("tRNS", bytesOf({0, 0}))), kBackground);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->pixel(0, 0), (Rgb{0, 0, 0}));
    auto grey = decodePng(simplePng(1, 1, 8, 0, bytesOf({0, 0}), chunk("tRNS", bytesOf({0}))), kBackground);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->pixel(0, 0), (Rgb{0, 0, 0}));
}

TEST(PngTransparency, BackgroundHasRedInItsLowestByte) {
    auto image = decodePng(simplePng(1, 1, 8, 4, bytesOf({0, 0, 0})), 0x00030201);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), (Rgb{1, 2, 3}));
}

// --- chunk order -----------------------------------------------------------------------------

std::string oneGreyPixelData() {
    return chunk("IDAT", deflate(bytesOf({0, 7})));
}

TEST(PngChunks, OutOfOrderChunksAreRejected) {
    const std::string ihdr = headerChunk(1, 1, 8, 3);
    const std::string plte = plteChunk({{1, 2, 3}});
    const std::string idat = oneGreyPixelData();
    EXPECT_TRUE(decodePng(signature() + ihdr + plte + idat + endChunk(), 0));
    EXPECT_FALSE(decodePng(signature() + ihdr + idat + plte + endChunk(), 0)) << "PLTE after IDAT";
    EXPECT_FALSE(decodePng(signature() + ihdr + plte + plte + idat + endChunk(), 0)) << "second PLTE";
    EXPECT_FALSE(decodePng(signature() + ihdr + ihdr + plte + idat + endChunk(), 0)) << "second IHDR";
    EXPECT_FALSE(decodePng(signature() + plte + ihdr + idat + endChunk(), 0)) << "PLTE before IHDR";
    EXPECT_FALSE(decodePng(signature() + ihdr + plte + idat + chunk("tEXt", "a") + idat + endChunk(), 0))
        << "two runs of IDAT";
    const std::string trns = chunk("tRNS", bytesOf({0}));
    EXPECT_FALSE(decodePng(signature() + ihdr + plte + trns + trns + idat + endChunk(), 0)) << "second tRNS";
    EXPECT_FALSE(decodePng(signature() + ihdr + plte + idat + trns + endChunk(), 0)) << "tRNS after IDAT";
    EXPECT_FALSE(decodePng(signature() + ihdr + plte + endChunk(), 0)) << "no IDAT";
    EXPECT_FALSE(decodePng(signature() + idat + endChunk(), 0)) << "no IHDR";
}

TEST(PngChunks, UnknownChunksAreSteppedOver) {
    const std::string text = chunk("tEXt", "Comment\0x") + chunk("gAMA", bigEndian32(45455));
    auto image = decodePng(signature() + text + headerChunk(1, 1, 8, 0) + text + oneGreyPixelData() + text +
                               endChunk() + "trailing bytes",
                           0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), (Rgb{7, 7, 7}));
}

TEST(PngChunks, DataEndingBeforeItsEndChunkIsRejected) {
    const std::string whole = simplePng(1, 1, 8, 0, bytesOf({0, 7}));
    ASSERT_TRUE(decodePng(whole, 0));
    // Every shorter prefix either lacks IEND or cuts a chunk.
    for (std::size_t n = 0; n < whole.size(); ++n)
        EXPECT_FALSE(decodePng(whole.substr(0, n), 0)) << n;
    // A chunk whose length reaches past the end.
    std::string lying = signature() + headerChunk(1, 1, 8, 0) + bigEndian32(0x7FFFFFF0) + "tEXt" + endChunk();
    EXPECT_FALSE(decodePng(lying, 0));
}

TEST(PngChunks, NotAPngGivesNone) {
    EXPECT_FALSE(decodePng("", 0));
    EXPECT_FALSE(decodePng("BM6\0\0\0", 0));
    std::string almost = simplePng(1, 1, 8, 0, bytesOf({0, 7}));
    almost[1] = 'p';
    EXPECT_FALSE(decodePng(almost, 0));
}

TEST(PngChunks, HeaderFieldsOutsideTheAllowedSetAreRejected) {
    auto withHeader = [](uint32_t w, uint32_t h, int depth, int type, int interlace = 0) {
        return decodePng(signature() + headerChunk(w, h, depth, type, interlace) + oneGreyPixelData() +
                             endChunk(),
                         0)
            .has_value();
    };
    EXPECT_TRUE(withHeader(1, 1, 8, 0));
    for (int depth : {1, 2, 4, 8, 16})
        EXPECT_TRUE(withHeader(1, 1, depth, 0)) << depth;
    for (int depth : {3, 5, 32})
        EXPECT_FALSE(withHeader(1, 1, depth, 0)) << depth;
    for (int type : {2, 4, 6}) {
        EXPECT_FALSE(withHeader(1, 1, 4, type)) << type;
        EXPECT_TRUE(withHeader(1, 1, 8, type)) << type;
    }
    EXPECT_FALSE(withHeader(1, 1, 16, 3));
    EXPECT_FALSE(withHeader(1, 1, 8, 1));
    EXPECT_FALSE(withHeader(1, 1, 8, 7));
    EXPECT_FALSE(withHeader(1, 1, 8, 0, 2));
    EXPECT_FALSE(withHeader(0, 1, 8, 0));
    EXPECT_FALSE(withHeader(1, 0, 8, 0));
    EXPECT_FALSE(decodePng(signature() +
                               chunk("IHDR", bigEndian32(1) + bigEndian32(1) + bytesOf({8, 0, 0, 0})) +
                               oneGreyPixelData() + endChunk(),
                           0))
        << "short IHDR";
    EXPECT_FALSE(decodePng(signature() +
                               chunk("IHDR", bigEndian32(1) + bigEndian32(1) + bytesOf({8, 0, 1, 0, 0})) +
                               oneGreyPixelData() + endChunk(),
                           0))
        << "compression method 1";
}

TEST(PngChunks, PaletteLengthIsCheckedAgainstTheDepth) {
    auto withPalette = [](int depth, std::string_view plte) {
        return decodePng(signature() + headerChunk(1, 1, depth, 3) + chunk("PLTE", plte) +
                             oneGreyPixelData() + endChunk(),
                         0)
            .has_value();
    };
    EXPECT_TRUE(withPalette(1, std::string(6, 'x')));
    EXPECT_FALSE(withPalette(1, std::string(9, 'x')));
    EXPECT_FALSE(withPalette(8, std::string(7, 'x')));
    EXPECT_TRUE(withPalette(8, std::string(768, 'x')));
    EXPECT_FALSE(withPalette(8, std::string(771, 'x')));
}

// --- image data ------------------------------------------------------------------------------

TEST(PngImageData, StreamSplitAcrossChunksIsJoined) {
    std::string rows;
    for (int y = 0; y < 4; ++y)
        rows += bytesOf({0, 10 * y, 10 * y + 1, 10 * y + 2});
    const std::string z = deflate(rows);
    std::string idats;
    for (std::size_t i = 0; i < z.size(); i += 3)
        idats += chunk("IDAT", z.substr(i, 3));
    auto image = decodePng(signature() + headerChunk(3, 4, 8, 0) + chunk("IDAT", "") + idats + endChunk(), 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(2, 3), (Rgb{32, 32, 32}));
}

TEST(PngImageData, LastChunkWithOnlyTheStreamEndDecodes) {
    // The final chunk carries only the checksum, after every pixel was produced.
    const std::string z = deflate(bytesOf({0, 1, 2, 0, 3, 4}));
    const std::string png = signature() + headerChunk(2, 2, 8, 0) + chunk("IDAT", z.substr(0, z.size() - 4)) +
                            chunk("IDAT", z.substr(z.size() - 4)) + endChunk();
    auto image = decodePng(png, 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(1, 1), (Rgb{4, 4, 4}));
}

TEST(PngImageData, ShortStreamLeavesTheMissingRowsZero) {
    // The compressed stream ends after the first row; the second stays at zero.
    auto image = decodePng(simplePng(2, 2, 8, 0, bytesOf({0, 9, 9})), 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), (Rgb{9, 9, 9}));
    EXPECT_EQ(image->pixel(1, 1), (Rgb{0, 0, 0}));
}

TEST(PngImageData, ShortStreamRowsShowAZeroPixel) {
    // RGBA 2 x 5 whose stream holds the first row only: the other four are transparent black,
    // which shows the background.
    auto image = decodePng(simplePng(2, 5, 8, 6, bytesOf({0, 1, 2, 3, 255, 4, 5, 6, 255})), kBackground);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(1, 0), (Rgb{4, 5, 6}));
    for (int y = 1; y < 5; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(image->pixel(x, y), kBack) << x << "," << y;
    // Interlaced: only the first pass (pixel 0,0 of an 8 x 8 grey picture) arrives.
    auto interlaced = decodePng(
        signature() + headerChunk(8, 8, 8, 0, 1) + chunk("IDAT", deflate(bytesOf({0, 200}))) + endChunk(), 0);
    ASSERT_TRUE(interlaced);
    EXPECT_EQ(interlaced->pixel(0, 0), (Rgb{200, 200, 200}));
    EXPECT_EQ(interlaced->pixel(4, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(interlaced->pixel(7, 7), (Rgb{0, 0, 0}));
}

TEST(PngImageData, DamagedStreamIsRejected) {
    std::string z = deflate(bytesOf({0, 1, 2}));
    z[0] = 0x79; // not a deflate method
    EXPECT_FALSE(decodePng(signature() + headerChunk(2, 1, 8, 0) + chunk("IDAT", z) + endChunk(), 0));
}

TEST(PngImageData, FiltersUseTheRowAboveAndTheFilterDistance) {
    // 2 x 2 RGB; row 0 Sub, row 1 Paeth. Unfiltered: (10,20,30) (15,25,35) / (11,22,33) (16,27,38).
    // Paeth of the second pixel of row 1: left (11,22,33), above (15,25,35), upper-left (10,20,30)
    // predict above, so the stored differences are 1,2,3 again.
    std::string rows = bytesOf({1, 10, 20, 30, 5, 5, 5, 4, 1, 2, 3, 1, 2, 3});
    auto image = decodePng(simplePng(2, 2, 8, 2, rows), 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(image->pixel(1, 0), (Rgb{15, 25, 35}));
    EXPECT_EQ(image->pixel(0, 1), (Rgb{11, 22, 33}));
    EXPECT_EQ(image->pixel(1, 1), (Rgb{16, 27, 38}));
}

TEST(PngImageData, UnknownFilterLeavesTheRowAsStored) {
    auto image = decodePng(simplePng(2, 1, 8, 0, bytesOf({9, 40, 50})), 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), (Rgb{40, 40, 40}));
    EXPECT_EQ(image->pixel(1, 0), (Rgb{50, 50, 50}));
}

TEST(PngImageData, InterlacedSinglePixelDecodes) {
    // Only the first of the seven passes has a pixel: one filter byte and one sample.
    const std::string png =
        signature() + headerChunk(1, 1, 8, 2, 1) + chunk("IDAT", deflate(bytesOf({0, 7, 8, 9}))) + endChunk();
    auto image = decodePng(png, 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), (Rgb{7, 8, 9}));
}

TEST(PngImageData, LyingHeaderIsRefusedBeforeAllocating) {
    auto withSize = [](uint32_t w, uint32_t h, int depth, int type, int interlace) {
        return decodePng(signature() + headerChunk(w, h, depth, type, interlace) + oneGreyPixelData() +
                             endChunk(),
                         0)
            .has_value();
    };
    EXPECT_FALSE(withSize(0x7FFFFFFF, 0x7FFFFFFF, 16, 6, 0));
    EXPECT_FALSE(withSize(0x80000000, 1, 1, 0, 0));
    EXPECT_FALSE(withSize(1, 0x80000000, 1, 0, 0));
    EXPECT_FALSE(withSize(0xFFFFFFFF, 0xFFFFFFFF, 1, 0, 1));
    // 8192 x 8192 RGBA is 256 MiB of data and more: refused. 4096 x 4096 grey is 16 MiB: decoded,
    // its missing rows left at zero.
    EXPECT_FALSE(withSize(8192, 8192, 8, 6, 0));
    EXPECT_TRUE(withSize(4096, 4096, 8, 0, 0));
    // Pixels are capped whatever the depth: a 1-bit picture is small in bytes, not on the screen.
    EXPECT_TRUE(withSize(8192, 4096, 1, 0, 0));
    EXPECT_FALSE(withSize(8192, 4097, 1, 0, 0));
    EXPECT_FALSE(withSize(0x10000, 0x8000, 1, 0, 0));
}

TEST(PictureBudget, PixelsOfOneTextAreShared) {
    PixelBudget budget(1000);
    EXPECT_TRUE(budget.take(20, 30));
    EXPECT_FALSE(budget.take(20, 21)); // 420 of 400 left: nothing taken
    EXPECT_TRUE(budget.take(20, 20));
    EXPECT_EQ(budget.left(), 0u);
    PixelBudget text;
    EXPECT_FALSE(text.take(kMaxPicturePixels, 2)); // over the cap of one picture
    EXPECT_FALSE(text.take(0xFFFFFFFFu, 0xFFFFFFFFu));
    EXPECT_TRUE(text.take(8192, 4096));
    EXPECT_TRUE(text.take(8192, 4096));
    EXPECT_FALSE(text.take(1, 1));
}

TEST(PngFile, LoadsFromDiskAndMissingFilesGiveNone) {
    const auto dir = std::filesystem::temp_directory_path() / "rekal_png_file_test";
    std::filesystem::create_directories(dir);
    const auto path = dir / "one.png";
    {
        std::ofstream out(path, std::ios::binary);
        out << simplePng(1, 1, 8, 0, bytesOf({0, 42}));
    }
    auto image = loadPngFile(path, 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixel(0, 0), (Rgb{42, 42, 42}));
    EXPECT_FALSE(loadPngFile(dir / "missing.png", 0));
    EXPECT_FALSE(loadPngFile(dir, 0));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace rekal
