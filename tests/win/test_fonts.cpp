// The fonts the system draws menus, captions, message boxes, tooltips and dialogs with hold
// Japanese glyphs under any display language: each character of "ファイル" drawn in them leaves
// ink, and no two look alike (a missing glyph is drawn as the same empty box every time).

#include <windows.h>

#include <string>
#include <vector>

#include "wintest.h"

namespace {

constexpr int kCell = 48;

// The character drawn black on white in a cell: one byte per pixel, 1 for ink.
std::vector<unsigned char> glyphImage(HFONT font, wchar_t c) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kCell;
    info.bmiHeader.biHeight = -kCell;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT all{0, 0, kCell, kCell};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 4, 4, &c, 1);
    GdiFlush();
    std::vector<unsigned char> image(kCell * kCell);
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < kCell * kCell; ++i)
        image[static_cast<std::size_t>(i)] = (pixels[i] & 0xFFFFFF) != 0xFFFFFF;
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return image;
}

int inkOf(const std::vector<unsigned char>& image) {
    int n = 0;
    for (unsigned char p : image)
        n += p;
    return n;
}

void checkDrawsJapanese(const char* file, int line, const char* what, LOGFONTW logFont) {
    if (logFont.lfHeight > -12 && logFont.lfHeight < 12) logFont.lfHeight = -12;
    HFONT font = CreateFontIndirectW(&logFont);
    const std::wstring text = L"ファイル";
    std::vector<std::vector<unsigned char>> images;
    for (wchar_t c : text)
        images.push_back(glyphImage(font, c));
    DeleteObject(font);
    for (std::size_t i = 0; i < images.size(); ++i) {
        ok_at(file, line, inkOf(images[i]) > 8, "%s (%s): character %d leaves no ink", what,
              wintest::utf8(logFont.lfFaceName).c_str(), static_cast<int>(i));
        for (std::size_t j = i + 1; j < images.size(); ++j)
            ok_at(file, line, images[i] != images[j], "%s (%s): characters %d and %d look alike (no glyphs)",
                  what, wintest::utf8(logFont.lfFaceName).c_str(), static_cast<int>(i), static_cast<int>(j));
    }
}
#define checkDrawsJapanese(what, font) checkDrawsJapanese(__FILE__, __LINE__, what, font)

LOGFONTW faceFont(const wchar_t* face) {
    LOGFONTW font{};
    font.lfHeight = -12;
    font.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

} // namespace

WINTEST(systemFontsHoldJapaneseGlyphs) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ok(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0), "no system metrics");
    checkDrawsJapanese("menu", metrics.lfMenuFont);
    checkDrawsJapanese("caption", metrics.lfCaptionFont);
    checkDrawsJapanese("message box", metrics.lfMessageFont);
    checkDrawsJapanese("status and tooltip", metrics.lfStatusFont);
    LOGFONTW gui{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    checkDrawsJapanese("default GUI font", gui);
    // The faces of dialogs that ask for the system's dialog font.
    for (const wchar_t* face : {L"MS Shell Dlg", L"MS Shell Dlg 2"})
        checkDrawsJapanese("dialog face", faceFont(face));
}

WINTEST_MAIN("fonts")
