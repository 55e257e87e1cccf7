// JPEG loading against libjpeg's own decoding of the same files: colour, greyscale and CMYK
// pictures, baseline and progressive, of sizes that are not multiples of the block size; and
// damaged files, which must give none without ending the process.

#include "core/image/jpeg.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <jpeglib.h>

namespace rekal {
namespace {

namespace fs = std::filesystem;

struct Jump {
    jpeg_error_mgr standard;
    std::jmp_buf jump;
};
[[noreturn]] void jumpBack(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<Jump*>(cinfo->err)->jump, 1);
}

struct Encoding {
    J_COLOR_SPACE space = JCS_RGB;
    int components = 3;
    bool progressive = false;
    int quality = 85;
    std::vector<jpeg_scan_info> scans = {}; // a scan script of the writer's own, when not empty
};

// A JPEG of `w` x `h` pixels with smooth ramps and a few hard edges, written by libjpeg.
std::string encodeJpeg(int w, int h, const Encoding& e) {
    jpeg_compress_struct cinfo;
    Jump errors;
    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = jumpBack;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = e.components;
    cinfo.in_color_space = e.space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, e.quality, TRUE);
    if (e.progressive) jpeg_simple_progression(&cinfo);
    if (!e.scans.empty()) {
        cinfo.scan_info = e.scans.data();
        cinfo.num_scans = static_cast<int>(e.scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(w * e.components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < e.components; ++c)
                row[static_cast<std::size_t>(x * e.components + c)] =
                    static_cast<JSAMPLE>((x * 255 / std::max(1, w - 1) + c * 70 + (y / 4 % 2) * 90) % 256);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

// libjpeg's decoding: RGB for colour and greyscale pictures, CMYK for CMYK ones.
struct Decoded {
    int width = 0, height = 0, components = 0;
    bool adobe = false;
    std::vector<JSAMPLE> samples;
};

bool decodeWithLibjpeg(const std::string& bytes, Decoded& out) {
    jpeg_decompress_struct cinfo;
    Jump errors;
    cinfo.err = jpeg_std_error(&errors.standard);
    errors.standard.error_exit = jumpBack;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    out.adobe = cinfo.saw_Adobe_marker;
    jpeg_start_decompress(&cinfo);
    out.width = static_cast<int>(cinfo.output_width);
    out.height = static_cast<int>(cinfo.output_height);
    out.components = cinfo.output_components;
    const std::size_t stride = cinfo.output_width * static_cast<std::size_t>(cinfo.output_components);
    out.samples.resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {out.samples.data() + cinfo.output_scanline * stride};
        jpeg_read_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

class JpegTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("rekal_jpeg_test_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path dir_;
};

Rgb expectedPixel(const Decoded& d, int x, int y) {
    const JSAMPLE* p = d.samples.data() + (static_cast<std::size_t>(y) * d.width + x) * d.components;
    if (d.components == 3) return {p[0], p[1], p[2]};
    // Adobe CMYK files store inverted ink amounts.
    int c = p[0], m = p[1], ye = p[2], k = p[3];
    if (!d.adobe) {
        c = 255 - c;
        m = 255 - m;
        ye = 255 - ye;
        k = 255 - k;
    }
    return {static_cast<uint8_t>(c * k / 255), static_cast<uint8_t>(m * k / 255),
            static_cast<uint8_t>(ye * k / 255)};
}

void expectSameAsLibjpeg(const fs::path& path, const std::string& bytes) {
    Decoded reference;
    ASSERT_TRUE(decodeWithLibjpeg(bytes, reference));
    auto image = loadJpegFile(path);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->header.width, reference.width);
    ASSERT_EQ(image->header.height, reference.height);
    EXPECT_EQ(image->header.bitCount, 24);
    EXPECT_EQ(image->header.imageSize, image->rowBytes() * static_cast<std::size_t>(reference.height));
    EXPECT_EQ(image->rowBytes(), static_cast<std::size_t>(3 * reference.width + 3) / 4 * 4);
    for (int y = 0; y < reference.height; ++y) {
        for (int x = 0; x < reference.width; ++x) {
            const Rgb want = expectedPixel(reference, x, y);
            const Rgb got = image->pixel(x, y);
            if (!(got == want))
                FAIL() << "pixel " << x << "," << y << ": got " << int(got.red) << "," << int(got.green)
                       << "," << int(got.blue) << " expected " << int(want.red) << "," << int(want.green)
                       << "," << int(want.blue);
        }
        // Row padding stays zero.
        const uint8_t* row = image->row(y);
        for (std::size_t i = 3 * static_cast<std::size_t>(reference.width); i < image->rowBytes(); ++i)
            ASSERT_EQ(row[i], 0) << "padding of row " << y;
    }
}

TEST_F(JpegTest, PixelsEqualLibjpegsForEveryKindOfPicture) {
    const Encoding kinds[] = {
        {JCS_RGB, 3, false, 85},      {JCS_RGB, 3, true, 60},   {JCS_GRAYSCALE, 1, false, 90},
        {JCS_GRAYSCALE, 1, true, 75}, {JCS_CMYK, 4, false, 90},
    };
    int n = 0;
    for (const Encoding& kind : kinds) {
        for (auto [w, h] : {std::pair{1, 1}, {17, 9}, {33, 65}, {130, 7}}) {
            const std::string bytes = encodeJpeg(w, h, kind);
            ASSERT_FALSE(bytes.empty());
            SCOPED_TRACE(testing::Message() << "space " << kind.space << " progressive " << kind.progressive
                                            << " " << w << "x" << h);
            expectSameAsLibjpeg(write("p" + std::to_string(n++) + ".jpg", bytes), bytes);
            if (HasFatalFailure()) return;
        }
    }
}

TEST_F(JpegTest, AdobeCmykPictureShowsItsColour) {
    // A pure red picture saved as CMYK by a common image editor (Adobe marker, inverted inks).
    auto image = loadJpegFile(fs::path(REKAL_TEST_DATA) / "image" / "cmyk_red_adobe.jpg");
    ASSERT_TRUE(image);
    const Rgb p = image->pixel(3, 3);
    EXPECT_GE(p.red, 250);
    EXPECT_LE(p.green, 5);
    EXPECT_LE(p.blue, 5);
}

TEST_F(JpegTest, GreyPictureBecomesEqualChannels) {
    const std::string bytes = encodeJpeg(8, 8, {JCS_GRAYSCALE, 1, false, 95});
    auto image = loadJpegFile(write("grey.jpg", bytes));
    ASSERT_TRUE(image);
    for (int x = 0; x < 8; ++x) {
        const Rgb p = image->pixel(x, 2);
        EXPECT_EQ(p.red, p.green);
        EXPECT_EQ(p.green, p.blue);
    }
}

TEST_F(JpegTest, UnreadableFilesGiveNoneAndTheProcessGoesOn) {
    EXPECT_FALSE(loadJpegFile(dir_ / "missing.jpg"));
    EXPECT_FALSE(loadJpegFile(write("empty.jpg", "")));
    EXPECT_FALSE(loadJpegFile(write("text.jpg", "this is not a picture")));
    const std::string good = encodeJpeg(40, 30, {});
    // Cut inside the headers: libjpeg cannot even learn the size.
    EXPECT_FALSE(loadJpegFile(write("cut.jpg", good.substr(0, 100))));
    // Cut inside the scan data: libjpeg pads the rest and warns; a picture comes back.
    EXPECT_TRUE(loadJpegFile(write("short.jpg", good.substr(0, good.size() * 3 / 4))));
}

TEST_F(JpegTest, LyingSizeIsRefused) {
    // A baseline header claiming 65000 x 65000 pixels, with no scan data behind it.
    std::string bytes = encodeJpeg(16, 16, {});
    const std::size_t sof = bytes.find("\xFF\xC0", 0, 2);
    ASSERT_NE(sof, std::string::npos);
    bytes[sof + 5] = bytes[sof + 7] = static_cast<char>(0xFD);
    bytes[sof + 6] = bytes[sof + 8] = static_cast<char>(0xE8);
    EXPECT_FALSE(loadJpegFile(write("huge.jpg", bytes)));
}

TEST_F(JpegTest, PictureOverThePixelCapIsRefused) {
    // 6000 x 6000 would fit the byte bound of the bitmap, not the cap on pixels.
    std::string bytes = encodeJpeg(16, 16, {});
    const std::size_t sof = bytes.find("\xFF\xC0", 0, 2);
    ASSERT_NE(sof, std::string::npos);
    bytes[sof + 5] = bytes[sof + 7] = static_cast<char>(6000 >> 8);
    bytes[sof + 6] = bytes[sof + 8] = static_cast<char>(6000 & 0xFF);
    EXPECT_FALSE(loadJpegFile(write("over.jpg", bytes)));
}

// A grey progressive picture whose scans each carry one coefficient, with `refinements` extra
// successive-approximation scans for the first ones: 1 + 63 + refinements scans in all.
std::vector<jpeg_scan_info> oneScanPerCoefficient(int refinements) {
    std::vector<jpeg_scan_info> scans;
    scans.push_back({1, {0, 0, 0, 0}, 0, 0, 0, 0});
    for (int k = 1; k <= 63; ++k) {
        const bool refined = k <= refinements;
        scans.push_back({1, {0, 0, 0, 0}, k, k, 0, refined ? 1 : 0});
        if (refined) scans.push_back({1, {0, 0, 0, 0}, k, k, 1, 0});
    }
    return scans;
}

TEST_F(JpegTest, ProgressiveScansAreCapped) {
    Encoding grey{JCS_GRAYSCALE, 1};
    grey.scans = oneScanPerCoefficient(kMaxJpegScans - 64);
    const std::string most = encodeJpeg(24, 24, grey);
    ASSERT_FALSE(most.empty());
    EXPECT_TRUE(loadJpegFile(write("most.jpg", most)));
    grey.scans = oneScanPerCoefficient(kMaxJpegScans - 63);
    const std::string tooMany = encodeJpeg(24, 24, grey);
    ASSERT_FALSE(tooMany.empty());
    EXPECT_FALSE(loadJpegFile(write("many.jpg", tooMany)));
}

TEST_F(JpegTest, OnlyPlainFilesAreOpened) {
    EXPECT_FALSE(loadJpegFile(dir_));
}

} // namespace
} // namespace rekal
