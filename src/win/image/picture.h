#pragma once
// Pictures as device-dependent bitmaps compatible with a device context: PNG and JPEG through the
// core's decoders, BMP through the platform's loader. Every loader gives nullptr on failure and
// tells the user nothing; the caller leaves the picture out. The caller deletes the bitmap.

#include "core/image/dib.h"

#include <windows.h>

#include <string_view>

namespace rekal::win {

// The decoded picture as a bitmap compatible with `dc`.
HBITMAP createBitmapFromDib(HDC dc, const DibImage& image);

// A PNG file (CP932 path), transparent pixels blended onto `background`.
HBITMAP loadPngFile(HDC dc, std::string_view path, COLORREF background);

// A PNG kept as a raw-data (RCDATA) resource of `module`.
HBITMAP loadPngResource(HDC dc, HMODULE module, int id, COLORREF background);

// One of the program's own PNG pictures (idle panel, first/last glyphs) in its drawing for the
// window's dpi: `id` names the 1 x drawing.
HBITMAP loadPngArtwork(HWND window, int id, COLORREF background);

// A JPEG file (CP932 path).
HBITMAP loadJpegFile(HDC dc, std::string_view path);

// A BMP file (CP932 path), loaded by the platform as a device-dependent bitmap.
HBITMAP loadBmpFile(std::string_view path);

} // namespace rekal::win
