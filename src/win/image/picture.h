#pragma once
// Pictures as device-dependent bitmaps compatible with a device context: PNG and JPEG through the
// core's decoders, BMP through the platform's loader. Every loader gives nullptr on failure and
// tells the user nothing; the caller leaves the picture out. The caller deletes the bitmap.

#include "core/image/dib.h"

#include <windows.h>

#include <filesystem>

namespace rekal::win {

// The decoded picture as a bitmap compatible with `dc`.
HBITMAP createBitmapFromDib(HDC dc, const DibImage& image);

// A PNG file, transparent pixels blended onto `background`.
HBITMAP loadPngFile(HDC dc, const std::filesystem::path& path, COLORREF background);

// A PNG kept as a raw-data (RCDATA) resource of `module`.
HBITMAP loadPngResource(HDC dc, HMODULE module, int id, COLORREF background);

// One of the program's own PNG pictures (idle panel, first/last glyphs) in its drawing for the
// window's dpi: `id` names the 1 x drawing.
HBITMAP loadPngArtwork(HWND window, int id, COLORREF background);

// A JPEG file.
HBITMAP loadJpegFile(HDC dc, const std::filesystem::path& path);

// A BMP file, loaded by the platform as a device-dependent bitmap.
HBITMAP loadBmpFile(const std::filesystem::path& path);

} // namespace rekal::win
