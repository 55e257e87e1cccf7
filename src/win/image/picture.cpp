#include "win/image/picture.h"

#include "core/base/fileio.h"
#include "core/image/jpeg.h"
#include "core/image/png.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"

#include <cstring>
#include <optional>

namespace rekal::win {

namespace {

// The header followed by room for the whole colour table, as CreateDIBitmap reads it.
struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};
static_assert(sizeof(BITMAPINFOHEADER) == sizeof(DibHeader));
static_assert(sizeof(RGBQUAD) == sizeof(DibColour));

HBITMAP bitmapOrNull(HDC dc, const std::optional<DibImage>& image) {
    return image ? createBitmapFromDib(dc, *image) : nullptr;
}

} // namespace

HBITMAP createBitmapFromDib(HDC dc, const DibImage& image) {
    if (image.bits.empty()) return nullptr;
    BitmapInfo256 info{};
    std::memcpy(&info.header, &image.header, sizeof info.header);
    std::memcpy(info.colours, image.colours.data(), sizeof info.colours);
    return CreateDIBitmap(dc, &info.header, CBM_INIT, image.bits.data(), reinterpret_cast<BITMAPINFO*>(&info),
                          DIB_RGB_COLORS);
}

HBITMAP loadPngFile(HDC dc, const std::filesystem::path& path, COLORREF background) {
    return bitmapOrNull(dc, rekal::loadPngFile(path, background));
}

HBITMAP loadPngResource(HDC dc, HMODULE module, int id, COLORREF background) {
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!resource) return nullptr;
    HGLOBAL handle = LoadResource(module, resource);
    const DWORD size = SizeofResource(module, resource);
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data || size == 0) return nullptr;
    return bitmapOrNull(dc, decodePng(std::string_view(static_cast<const char*>(data), size), background));
}

HBITMAP loadPngArtwork(HWND window, int id, COLORREF background) {
    HDC dc = GetDC(window);
    HBITMAP picture =
        loadPngResource(dc, GetModuleHandleW(nullptr), artworkResource(id, windowDpi(window)), background);
    ReleaseDC(window, dc);
    return picture;
}

HBITMAP loadJpegFile(HDC dc, const std::filesystem::path& path) {
    return bitmapOrNull(dc, rekal::loadJpegFile(path));
}

HBITMAP loadBmpFile(const std::filesystem::path& path) {
    return static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

} // namespace rekal::win
