// Pictures through the Windows half: PNG files and the program's PNG resources, JPEG and BMP files
// become bitmaps whose pixels, read back from the bitmap, are the decoded ones.

#include "wintest.h"

#include "core/image/jpeg.h"
#include "core/image/png.h"
#include "core/image/png_builder.h"
#include "resource.h"
#include "win/image/picture.h"

#include <jpeglib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace rekal::test;

// The pixels of a bitmap as 0x00RRGGBB, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int x, int y) const { return argb[static_cast<std::size_t>(y * width + x)] & 0xFFFFFF; }
};

Pixels readBack(HBITMAP bitmap) {
    Pixels p;
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return p;
    p.width = info.bmWidth;
    p.height = info.bmHeight;
    p.argb.resize(static_cast<std::size_t>(p.width * p.height));
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = p.width;
    bmi.bmiHeader.biHeight = -p.height; // top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(p.height), p.argb.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return p;
}

uint32_t rgbOf(COLORREF c) {
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}
uint32_t rgbOf(const rekal::Rgb& c) {
    return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
}

// A scratch folder with a Japanese name, so that CP932 paths are exercised.
fs::path scratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    fs::path dir = fs::path(temp) / L"画像テスト";
    fs::create_directories(dir);
    return dir;
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every pixel of the bitmap equals the decoded picture's.
void expectSameAsDecoded(const char* file, int line, HBITMAP bitmap, const rekal::DibImage& image) {
    const Pixels p = readBack(bitmap);
    if (!ok_at(file, line, p.width == image.header.width && p.height == image.header.height, "size %dx%d",
               p.width, p.height))
        return;
    int wrong = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y) != rgbOf(image.pixel(x, y)) && wrong++ == 0)
                ok_at(file, line, false, "pixel %d,%d is %06x, decoded %06x", x, y, p.at(x, y),
                      rgbOf(image.pixel(x, y)));
}

HDC screen() {
    return GetDC(nullptr);
}

// The pictures are drawn again at 1.5 x and 2 x for denser screens: the same content, larger.
WINTEST(program_pictures_at_three_sizes) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Drawing {
        int id, width, height;
    };
    const Drawing drawings[] = {{IDP_INFOPANE_150, 150, 84}, {IDP_INFOPANE_200, 200, 112},
                                {IDP_FIRST_150, 16, 15},     {IDP_FIRST_200, 22, 20},
                                {IDP_LAST_150, 16, 15},      {IDP_LAST_200, 22, 20}};
    for (const Drawing& d : drawings) {
        HDC dc = screen();
        HBITMAP picture = rekal::win::loadPngResource(dc, GetModuleHandleW(nullptr), d.id, face);
        ReleaseDC(nullptr, dc);
        const Pixels p = readBack(picture);
        DeleteObject(picture);
        ok(p.width == d.width && p.height == d.height, "picture %d is %dx%d", d.id, p.width, p.height);
        if (p.width != d.width) continue;
        ok(p.at(0, 0) == rgbOf(face), "picture %d: corner %06x, not the button face", d.id, p.at(0, 0));
        const bool pane = d.id / 10 == IDP_INFOPANE;
        const double scale = d.width / (pane ? 100.0 : 11.0);
        // A point of the white card, or of the glyph's bar (left for first, right for last).
        const int x = static_cast<int>((pane ? 20 : d.id / 10 == IDP_FIRST ? 1.5 : 9.5) * scale);
        const int y = static_cast<int>((pane ? 45 : 4.5) * scale);
        ok(p.at(x, y) == (pane ? 0xFFFFFFu : 0u), "picture %d at %d,%d: %06x", d.id, x, y, p.at(x, y));
    }
    // The window's dpi chooses the drawing.
    const int dpi = wintest::screenDpi();
    const int drawn = dpi < 120 ? 100 : dpi < 168 ? 150 : 200;
    HBITMAP chosen = rekal::win::loadPngArtwork(nullptr, IDP_INFOPANE, face);
    const Pixels c = readBack(chosen);
    DeleteObject(chosen);
    ok(c.width == drawn && c.height == 56 * drawn / 100, "the picture for %d dpi is %dx%d", dpi, c.width,
       c.height);
}

WINTEST(program_pictures_blend_onto_the_button_face) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    HDC dc = screen();
    HBITMAP info = rekal::win::loadPngResource(dc, GetModuleHandleW(nullptr), IDP_INFOPANE, face);
    HBITMAP first = rekal::win::loadPngResource(dc, GetModuleHandleW(nullptr), IDP_FIRST, face);
    HBITMAP last = rekal::win::loadPngResource(dc, GetModuleHandleW(nullptr), IDP_LAST, face);
    ReleaseDC(nullptr, dc);

    const Pixels pane = readBack(info);
    ok(pane.width == 100 && pane.height == 56, "information picture is %dx%d", pane.width, pane.height);
    if (pane.width == 100) {
        ok(pane.at(0, 0) == rgbOf(face), "transparent corner shows the button face, not %06x", pane.at(0, 0));
        ok(pane.at(20, 45) == 0xFFFFFF, "the card is white, not %06x", pane.at(20, 45));
    }
    for (HBITMAP glyph : {first, last}) {
        const Pixels g = readBack(glyph);
        ok(g.width == 11 && g.height == 10, "glyph is %dx%d", g.width, g.height);
        if (g.width != 11) continue;
        ok(g.at(0, 0) == rgbOf(face), "glyph background is the button face, not %06x", g.at(0, 0));
        const int bar = glyph == first ? 1 : 9;
        ok(g.at(bar, 4) == 0, "glyph bar is black, not %06x", g.at(bar, 4));
    }
    dc = screen();
    ok(rekal::win::loadPngResource(dc, GetModuleHandleW(nullptr), 9999, face) == nullptr,
       "a missing resource gives no bitmap");
    ReleaseDC(nullptr, dc);
    DeleteObject(info);
    DeleteObject(first);
    DeleteObject(last);
}

WINTEST(png_files_of_every_output_depth_keep_their_pixels) {
    const fs::path dir = scratchFolder();
    const COLORREF background = RGB(0x40, 0x80, 0xC0);
    struct Case {
        const wchar_t* name;
        std::string bytes;
    };
    const std::string palette =
        chunk("PLTE", bytesOf({255, 0, 0, 0, 255, 0, 0, 0, 255})) + chunk("tRNS", bytesOf({0}));
    const Case cases[] = {
        {L"rgba.png",
         simplePng(3, 2, 8, 6, bytesOf({0, 255, 0, 0, 255, 0,  255, 0,  128, 0,  0,  255, 0,
                                        1, 9,   9, 9, 255, 10, 10,  10, 255, 11, 11, 11,  255}))},
        {L"二ビット灰色.png", simplePng(5, 2, 2, 0, bytesOf({0, 0x1B, 0xC0, 0, 0xE4, 0x40}))},
        {L"palette1.png",
         simplePng(3, 1, 1, 3, bytesOf({0, 0b01000000}), chunk("PLTE", bytesOf({1, 2, 3, 200, 100, 50})))},
        {L"palette4.png", simplePng(3, 1, 4, 3, bytesOf({0, 0x01, 0x20}), palette)},
        {L"grey8.png", simplePng(2, 2, 8, 0, bytesOf({0, 0, 255, 2, 7, 7}))},
    };
    for (const Case& c : cases) {
        const fs::path path = dir / c.name;
        writeFile(path, c.bytes);
        auto decoded = rekal::decodePng(c.bytes, background);
        if (!ok(decoded.has_value(), "%s decodes", wintest::utf8(c.name).c_str())) continue;
        HDC dc = screen();
        HBITMAP bitmap = rekal::win::loadPngFile(dc, path, background);
        ReleaseDC(nullptr, dc);
        if (ok(bitmap != nullptr, "%s loads", wintest::utf8(c.name).c_str()))
            expectSameAsDecoded(__FILE__, __LINE__, bitmap, *decoded);
        DeleteObject(bitmap);
    }
    HDC dc = screen();
    ok(rekal::win::loadPngFile(dc, dir / L"無い.png", background) == nullptr, "a missing file gives none");
    writeFile(dir / L"not.png", "GIF89a");
    ok(rekal::win::loadPngFile(dc, dir / L"not.png", background) == nullptr, "a GIF gives none");
    ReleaseDC(nullptr, dc);
}

std::string encodeJpeg(int w, int h, int components, J_COLOR_SPACE space) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(w * components));
    while (cinfo.next_scanline < cinfo.image_height) {
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<JSAMPLE>(i * 7 + cinfo.next_scanline * 13);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

WINTEST(jpeg_files_keep_their_pixels) {
    const fs::path dir = scratchFolder();
    struct Case {
        const wchar_t* name;
        int components;
        J_COLOR_SPACE space;
    };
    for (const Case& c : {Case{L"写真.jpg", 3, JCS_RGB}, Case{L"grey.jpg", 1, JCS_GRAYSCALE},
                          Case{L"cmyk.jpg", 4, JCS_CMYK}}) {
        const fs::path path = dir / c.name;
        writeFile(path, encodeJpeg(37, 21, c.components, c.space));
        auto decoded = rekal::loadJpegFile(path);
        if (!ok(decoded.has_value(), "%s decodes", wintest::utf8(c.name).c_str())) continue;
        HDC dc = screen();
        HBITMAP bitmap = rekal::win::loadJpegFile(dc, path);
        ReleaseDC(nullptr, dc);
        if (ok(bitmap != nullptr, "%s loads", wintest::utf8(c.name).c_str()))
            expectSameAsDecoded(__FILE__, __LINE__, bitmap, *decoded);
        DeleteObject(bitmap);
    }
    writeFile(dir / L"broken.jpg", "\xFF\xD8\xFF\xE0 nothing more");
    HDC dc = screen();
    ok(rekal::win::loadJpegFile(dc, dir / L"broken.jpg") == nullptr, "a broken JPEG gives none");
    ok(rekal::win::loadJpegFile(dc, dir / L"無い.jpg") == nullptr, "a missing JPEG gives none");
    ReleaseDC(nullptr, dc);
}

std::string le32(uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
std::string le16(uint16_t v) {
    return {char(v), char(v >> 8)};
}

WINTEST(bmp_files_load_through_the_platform) {
    // 3 x 2, 24 bits, bottom-up: bottom row blue, green, red; top row white, black, grey.
    std::string pixels =
        bytesOf({255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0});
    std::string bmp = "BM" + le32(54 + static_cast<uint32_t>(pixels.size())) + le32(0) + le32(54) + le32(40) +
                      le32(3) + le32(2) + le16(1) + le16(24) + le32(0) +
                      le32(static_cast<uint32_t>(pixels.size())) + le32(2835) + le32(2835) + le32(0) +
                      le32(0) + pixels;
    const fs::path path = scratchFolder() / L"絵.bmp";
    writeFile(path, bmp);
    HBITMAP bitmap = rekal::win::loadBmpFile(path);
    const Pixels p = readBack(bitmap);
    if (ok(p.width == 3 && p.height == 2, "BMP is %dx%d", p.width, p.height)) {
        ok(p.at(0, 0) == 0xFFFFFF && p.at(1, 0) == 0 && p.at(2, 0) == 0x808080, "top row %06x %06x %06x",
           p.at(0, 0), p.at(1, 0), p.at(2, 0));
        ok(p.at(0, 1) == 0x0000FF && p.at(1, 1) == 0x00FF00 && p.at(2, 1) == 0xFF0000,
           "bottom row %06x %06x %06x", p.at(0, 1), p.at(1, 1), p.at(2, 1));
    }
    DIBSECTION section{};
    ok(GetObjectW(bitmap, sizeof section, &section) == sizeof(BITMAP),
       "the BMP is a device-dependent bitmap");
    DeleteObject(bitmap);
    ok(rekal::win::loadBmpFile(scratchFolder() / L"無い.bmp") == nullptr, "a missing BMP gives none");
}

} // namespace

WINTEST_MAIN("test_image")
