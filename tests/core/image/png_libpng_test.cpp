// The decoder against libpng: PNG files of every colour type and depth, interlaced and not, with
// and without a transparency chunk, each filter, several chunkings of the data, are written by
// libpng and decoded by both. libpng's expanded pixels blended onto the background by the same
// integer rule must equal the bitmap's pixels.

#include "core/image/png.h"

#include <gtest/gtest.h>
#include <png.h>

#include "support/libpng_memory.h"

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace rekal {
namespace {

struct Format {
    int colourType;
    int depth;
};

struct Picture {
    Format format;
    uint32_t width = 0, height = 0;
    int interlace = 0;
    bool transparency = false;
    int filters = PNG_ALL_FILTERS;
    int compressionLevel = 6;
    std::size_t chunkSize = 8192; // libpng's buffer: the largest IDAT it writes
};

int samplesOf(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

// Small deterministic generator, so that every run writes the same files.
struct Lcg {
    uint32_t state;
    uint32_t next() {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    }
};

void appendBytes(png_structp png, png_bytep data, png_size_t size) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), size);
}
void flushNothing(png_structp) {}

// Sample values mix smooth ramps (which the filters predict well) with noise; a few pixels repeat
// the first pixel, which is the transparency key where there is one.
std::string writePng(const Picture& p) {
    const int depth = p.format.depth;
    const int type = p.format.colourType;
    const int samples = samplesOf(type);
    const uint32_t maxValue = (1u << depth) - 1;
    Lcg rng{p.width * 7919u + p.height * 104729u + static_cast<uint32_t>(type * 31 + depth)};

    std::vector<png_color> palette;
    uint32_t limit = maxValue;
    if (type == PNG_COLOR_TYPE_PALETTE) {
        const uint32_t count = std::max(1u, (1u << depth) - (depth > 1 ? 1 : 0));
        for (uint32_t i = 0; i < count; ++i)
            palette.push_back({static_cast<png_byte>(rng.next()), static_cast<png_byte>(rng.next()),
                               static_cast<png_byte>(rng.next())});
        limit = count - 1;
    }

    const std::size_t rowBytes = (std::size_t{p.width} * samples * depth + 7) / 8;
    std::vector<std::vector<png_byte>> rows(p.height, std::vector<png_byte>(rowBytes, 0));
    std::vector<uint32_t> first(static_cast<std::size_t>(samples));
    for (uint32_t y = 0; y < p.height; ++y) {
        for (uint32_t x = 0; x < p.width; ++x) {
            for (int s = 0; s < samples; ++s) {
                uint32_t v = (x * 3 + y * 5 + static_cast<uint32_t>(s) * 40) * (maxValue / 64 + 1);
                if (rng.next() % 3 == 0) v = rng.next();
                v %= limit + 1;
                if (x == 0 && y == 0) first[static_cast<std::size_t>(s)] = v;
                if ((x * 7 + y * 3) % 11 == 5) v = first[static_cast<std::size_t>(s)];
                const std::size_t bit = (std::size_t{x} * samples + static_cast<std::size_t>(s)) * depth;
                png_byte* row = rows[y].data();
                if (depth == 16) {
                    row[bit / 8] = static_cast<png_byte>(v >> 8);
                    row[bit / 8 + 1] = static_cast<png_byte>(v);
                } else {
                    row[bit / 8] = static_cast<png_byte>(row[bit / 8] | v << (8 - depth - bit % 8));
                }
            }
        }
    }

    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    png_set_IHDR(png, info, p.width, p.height, depth, type, p.interlace, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, p.filters);
    png_set_compression_level(png, p.compressionLevel);
    png_set_compression_buffer_size(png, p.chunkSize);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (p.transparency) {
        png_color_16 key{};
        key.gray = static_cast<png_uint_16>(first[0]);
        key.red = static_cast<png_uint_16>(first[0]);
        if (samples >= 3) {
            key.green = static_cast<png_uint_16>(first[1]);
            key.blue = static_cast<png_uint_16>(first[2]);
        }
        std::vector<png_byte> alpha;
        if (type == PNG_COLOR_TYPE_PALETTE) {
            for (std::size_t i = 0; i < palette.size() / 2 + 1; ++i)
                alpha.push_back(static_cast<png_byte>(rng.next()));
            alpha[0] = 0;
        }
        png_set_tRNS(png, info, alpha.empty() ? nullptr : alpha.data(), static_cast<int>(alpha.size()), &key);
    }
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// libpng's pixels, expanded to 8-bit RGB or RGBA (16-bit samples cut to their high byte).
struct Reference {
    uint32_t width = 0, height = 0;
    int channels = 0;
    std::vector<std::vector<png_byte>> rows;
};

bool readWithLibpng(const std::string& bytes, Reference& ref) {
    test::PngMemoryReader reader{&bytes};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, test::readPngBytes);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    ref.width = png_get_image_width(png, info);
    ref.height = png_get_image_height(png, info);
    ref.channels = png_get_channels(png, info);
    ref.rows.assign(ref.height, std::vector<png_byte>(png_get_rowbytes(png, info)));
    std::vector<png_bytep> pointers;
    for (auto& row : ref.rows)
        pointers.push_back(row.data());
    png_read_image(png, pointers.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

uint8_t blendOnto(uint8_t value, uint8_t alpha, uint8_t back) {
    return static_cast<uint8_t>((value * alpha + (255 - alpha) * back) / 255);
}

constexpr uint32_t kBackground = 0x00306090; // red 0x90, green 0x60, blue 0x30

// Decodes `bytes` with both and compares every pixel; the failure names the first difference.
void expectSamePixels(const std::string& bytes) {
    Reference ref;
    ASSERT_TRUE(readWithLibpng(bytes, ref));
    auto image = decodePng(bytes, kBackground);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->header.width, static_cast<int32_t>(ref.width));
    ASSERT_EQ(image->header.height, static_cast<int32_t>(ref.height));
    const Rgb back = backgroundRgb(kBackground);
    for (uint32_t y = 0; y < ref.height; ++y) {
        for (uint32_t x = 0; x < ref.width; ++x) {
            const png_byte* p = ref.rows[y].data() + std::size_t{x} * ref.channels;
            Rgb expected{p[0], p[1], p[2]};
            if (ref.channels == 4)
                expected = {blendOnto(p[0], p[3], back.red), blendOnto(p[1], p[3], back.green),
                            blendOnto(p[2], p[3], back.blue)};
            const Rgb got = image->pixel(static_cast<int>(x), static_cast<int>(y));
            if (!(got == expected)) {
                FAIL() << "pixel " << x << "," << y << ": got " << int(got.red) << "," << int(got.green)
                       << "," << int(got.blue) << " expected " << int(expected.red) << ","
                       << int(expected.green) << "," << int(expected.blue);
            }
        }
    }
}

constexpr Format kFormats[] = {
    {PNG_COLOR_TYPE_GRAY, 1},        {PNG_COLOR_TYPE_GRAY, 2},      {PNG_COLOR_TYPE_GRAY, 4},
    {PNG_COLOR_TYPE_GRAY, 8},        {PNG_COLOR_TYPE_GRAY, 16},     {PNG_COLOR_TYPE_RGB, 8},
    {PNG_COLOR_TYPE_RGB, 16},        {PNG_COLOR_TYPE_PALETTE, 1},   {PNG_COLOR_TYPE_PALETTE, 2},
    {PNG_COLOR_TYPE_PALETTE, 4},     {PNG_COLOR_TYPE_PALETTE, 8},   {PNG_COLOR_TYPE_GRAY_ALPHA, 8},
    {PNG_COLOR_TYPE_GRAY_ALPHA, 16}, {PNG_COLOR_TYPE_RGB_ALPHA, 8}, {PNG_COLOR_TYPE_RGB_ALPHA, 16},
};

constexpr std::pair<uint32_t, uint32_t> kSizes[] = {{1, 1},   {2, 3},   {7, 5}, {9, 9},
                                                    {13, 17}, {33, 10}, {64, 3}};

constexpr int kFilters[] = {PNG_FILTER_NONE, PNG_FILTER_SUB,   PNG_FILTER_UP,
                            PNG_FILTER_AVG,  PNG_FILTER_PAETH, PNG_ALL_FILTERS};

using Case = std::tuple<int, int, bool>; // format index, interlace, transparency chunk

// Every format, interlaced and not; the types without an alpha channel also with a tRNS chunk.
std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (int f = 0; f < static_cast<int>(std::size(kFormats)); ++f) {
        const int type = kFormats[f].colourType;
        const bool keyable =
            type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_RGB || type == PNG_COLOR_TYPE_PALETTE;
        for (int interlace : {0, 1}) {
            cases.emplace_back(f, interlace, false);
            if (keyable) cases.emplace_back(f, interlace, true);
        }
    }
    return cases;
}

class PngAgainstLibpng : public testing::TestWithParam<Case> {};

TEST_P(PngAgainstLibpng, SamePixels) {
    const auto [formatIndex, interlace, transparency] = GetParam();
    const Format format = kFormats[formatIndex];
    int variant = 0;
    for (const auto& [w, h] : kSizes) {
        for (int filters : kFilters) {
            Picture p{format, w, h, interlace, transparency, filters};
            // Vary the compression: stored blocks, and data split over many small IDAT chunks.
            p.compressionLevel = variant % 3 == 0 ? 0 : 9;
            p.chunkSize = variant % 2 == 0 ? 16 : 8192;
            ++variant;
            const std::string bytes = writePng(p);
            ASSERT_FALSE(bytes.empty());
            SCOPED_TRACE(testing::Message() << w << "x" << h << " filters " << filters);
            expectSamePixels(bytes);
            if (HasFatalFailure()) return;
        }
    }
}

std::string formatName(const testing::TestParamInfo<Case>& info) {
    const auto [formatIndex, interlace, transparency] = info.param;
    static const char* const kTypes[] = {"Grey", "", "Rgb", "Palette", "GreyAlpha", "", "RgbAlpha"};
    const Format f = kFormats[formatIndex];
    return std::string(kTypes[f.colourType]) + std::to_string(f.depth) + (interlace ? "_Adam7" : "") +
           (transparency ? "_Keyed" : "");
}

INSTANTIATE_TEST_SUITE_P(AllFormats, PngAgainstLibpng, testing::ValuesIn(allCases()), formatName);

TEST(PngAgainstLibpngLarge, PhotoSizedInterlacedPicturesMatch) {
    for (Format format : {Format{PNG_COLOR_TYPE_RGB_ALPHA, 8}, Format{PNG_COLOR_TYPE_GRAY, 2}}) {
        Picture p{format, 301, 203, 1, false};
        expectSamePixels(writePng(p));
    }
}

} // namespace
} // namespace rekal
