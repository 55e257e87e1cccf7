// The sentence control in a test window: wrapping of Japanese text and long words, pictures wider
// than the control, line breaks, empty texts, scroll ranges and scrolling, measuring, the copy
// menu and the clipboard, media windows with their timer, and painting without a window.
// Started with --shots, the program pauses after each scene and prints "SHOT name" so that a
// script can photograph the screen.

#include "wintest.h"

#include "core/base/fileio.h"
#include "core/display/markup.h"
#include "win/base/wintext.h"
#include "win/display/sentence.h"

#include <tlhelp32.h>
#include <zlib.h>

#include <cstring>
#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace rekal;
using namespace rekal::win;
using wintest::px;

constexpr int kControlId = 1055;
constexpr COLORREF kBackground = RGB(255, 255, 224);
constexpr COLORREF kTextColour = RGB(0, 0, 128);
constexpr int kInterval = 4;

bool g_shots = false;

// The control alone, served by the test: the line interval, and the question file that media
// paths are relative to.
struct TestHost final : SentenceHost {
    std::filesystem::path questionFile;
    std::filesystem::path mediaBase() override { return questionFile; }
    int lineInterval() override { return kInterval; }
    Notifier* notifier() override { return nullptr; }
};

TestHost& host() {
    static TestHost h;
    return h;
}

HBRUSH backgroundBrush() {
    static HBRUSH brush = CreateSolidBrush(kBackground);
    return brush;
}

LRESULT CALLBACK parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC) {
        SetTextColor(reinterpret_cast<HDC>(wParam), kTextColour);
        return reinterpret_cast<LRESULT>(backgroundBrush());
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void registerClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    setSentenceHost(&host());
    WNDCLASSW sentence{};
    sentence.lpfnWndProc = sentenceWindowProc;
    sentence.cbWndExtra = sizeof(void*);
    sentence.hInstance = instance;
    sentence.style = CS_HREDRAW | CS_VREDRAW;
    sentence.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    sentence.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    sentence.lpszClassName = kSentenceClass;
    RegisterClassW(&sentence);
    WNDCLASSW wc{};
    wc.lpfnWndProc = parentProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"SentenceTestParent";
    RegisterClassW(&wc);
}

// A parent window with one sentence control of the given client size and the question font.
struct Scene {
    HWND parent = nullptr;
    HWND control = nullptr;
    HFONT font = nullptr;

    Scene(int width, int height, const wchar_t* caption = L"sentence") {
        registerClasses();
        parent = CreateWindowExW(0, L"SentenceTestParent", caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                 560, 420, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        control = CreateWindowExW(WS_EX_CLIENTEDGE, kSentenceClass, L"", WS_CHILD | WS_VISIBLE, 10, 10, 10,
                                  10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)),
                                  GetModuleHandleW(nullptr), nullptr);
        resizeClient(width, height);
        FontSpec fontSpec;
        fontSpec.size = 12;
        fontSpec.charSet = 128;
        fontSpec.face = "IPAGothic";
        font = createFontFromSpec(control, fontSpec);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        wintest::flushEvents();
    }
    ~Scene() {
        DestroyWindow(parent);
        DeleteObject(font);
        wintest::flushEvents(10);
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Sizes the control so that its client area without scroll bars is width x height.
    void resizeClient(int width, int height) {
        RECT r{0, 0, width, height};
        AdjustWindowRectEx(&r, WS_CHILD, FALSE, WS_EX_CLIENTEDGE);
        SetWindowPos(control, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    }

    void set(std::optional<std::string_view> text) {
        setSentenceText(parent, kControlId, text);
        wintest::flushEvents();
        UpdateWindow(control);
    }

    SentenceState& state() const { return *sentenceState(control); }

    int lineHeight() const {
        HDC dc = GetDC(control);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        return tm.tmHeight;
    }

    int textWidth(std::string_view cp932) const {
        HDC dc = GetDC(control);
        HGDIOBJ old = SelectObject(dc, font);
        std::wstring wide = toWide(cp932);
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        return size.cx;
    }

    int rangeMax(int bar) const {
        int low = -1, high = -1;
        GetScrollRange(control, bar, &low, &high);
        return high;
    }
    bool barShown(int bar) const {
        return (GetWindowLongW(control, GWL_STYLE) & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) != 0;
    }
    RECT client() const {
        RECT r{};
        GetClientRect(control, &r);
        return r;
    }
    COLORREF pixel(int x, int y) const {
        HDC dc = GetDC(control);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(control, dc);
        return c;
    }
    // Number of pixels of a colour in a row of the client area.
    int countInRow(int y, COLORREF colour) const {
        HDC dc = GetDC(control);
        int n = 0;
        for (int x = 0; x < client().right; ++x)
            n += GetPixel(dc, x, y) == colour;
        ReleaseDC(control, dc);
        return n;
    }
    // True when some pixel of the client area differs from the background.
    bool anyInk() const {
        RECT r = client();
        HDC dc = GetDC(control);
        bool ink = false;
        for (int y = 0; y < r.bottom && !ink; y += 2)
            for (int x = 0; x < r.right && !ink; x += 2)
                ink = GetPixel(dc, x, y) != kBackground;
        ReleaseDC(control, dc);
        return ink;
    }

    void shot(const char* name) const {
        if (!g_shots) return;
        std::printf("SHOT %s\n", name);
        std::fflush(stdout);
        wintest::flushEvents(1500);
    }
};

// Content height of n wrapped lines.
int linesHeight(int lines, int lineHeight) {
    return lines * lineHeight + (lines - 1) * wintest::px(kInterval);
}

// ---- Picture and sound files written for the tests ----

std::wstring testFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring dir = std::wstring(temp) + L"rekal-sentence\\";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

void writeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE f =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

void put32le(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void put16le(std::string& s, uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}
void put32be(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Colour of the test pictures at (x, y): vertical stripes of red, green and blue, 40 pixels each,
// darker towards the bottom.
COLORREF stripe(int x, int y, int height) {
    int shade = 255 - (y * 128) / (height > 0 ? height : 1);
    switch ((x / 40) % 3) {
    case 0:
        return RGB(shade, 0, 0);
    case 1:
        return RGB(0, shade, 0);
    default:
        return RGB(0, 0, shade);
    }
}

// A 24-bit BMP of stripes.
std::string stripesBmp(int width, int height) {
    int rowBytes = (width * 3 + 3) / 4 * 4;
    std::string s = "BM";
    put32le(s, 54 + rowBytes * height);
    put32le(s, 0);
    put32le(s, 54);
    put32le(s, 40);
    put32le(s, static_cast<uint32_t>(width));
    put32le(s, static_cast<uint32_t>(height));
    put16le(s, 1);
    put16le(s, 24);
    for (int i = 0; i < 6; ++i)
        put32le(s, 0);
    for (int y = height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            COLORREF c = stripe(x, y, height);
            row += static_cast<char>(GetBValue(c));
            row += static_cast<char>(GetGValue(c));
            row += static_cast<char>(GetRValue(c));
        }
        row.resize(static_cast<std::size_t>(rowBytes), '\0');
        s += row;
    }
    return s;
}

void pngChunk(std::string& png, const char* type, const std::string& data) {
    put32be(png, static_cast<uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    png += typed;
    put32be(png, crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size())));
}

// An RGB PNG of stripes.
std::string stripesPng(int width, int height) {
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            COLORREF c = stripe(x, y, height);
            raw += static_cast<char>(GetRValue(c));
            raw += static_cast<char>(GetGValue(c));
            raw += static_cast<char>(GetBValue(c));
        }
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    packed.resize(size);
    std::string header;
    put32be(header, static_cast<uint32_t>(width));
    put32be(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);
    std::string png = "\x89PNG\r\n\x1a\n";
    pngChunk(png, "IHDR", header);
    pngChunk(png, "IDAT", packed);
    pngChunk(png, "IEND", "");
    return png;
}

// A short PCM sound: 8 kHz, 8 bits, mono, `ms` long.
std::string silenceWav(int ms) {
    uint32_t samples = 8 * static_cast<uint32_t>(ms);
    std::string s = "RIFF";
    put32le(s, 36 + samples);
    s += "WAVEfmt ";
    put32le(s, 16);
    put16le(s, 1);
    put16le(s, 1);
    put32le(s, 8000);
    put32le(s, 8000);
    put16le(s, 1);
    put16le(s, 8);
    s += "data";
    put32le(s, samples);
    s += std::string(samples, '\x80');
    return s;
}

// A file of the test folder, written once; its CP932 full path.
std::string testFile(const wchar_t* name, const std::string& bytes) {
    std::wstring path = testFolder() + name;
    writeFile(path, bytes);
    return toCp932(path);
}

std::string pictureTag(const std::string& path, const std::string& attributes = "") {
    return std::string("\x02i\"") + path + attributes + "\"";
}

// ---- Tests ----

WINTEST(emptyTextShowsOnlyTheBackground) {
    Scene s(300, 120);
    s.set(std::nullopt);
    ok(s.rangeMax(SB_HORZ) == 0 && s.rangeMax(SB_VERT) == 0, "ranges %d %d", s.rangeMax(SB_HORZ),
       s.rangeMax(SB_VERT));
    ok(!s.barShown(SB_HORZ) && !s.barShown(SB_VERT), "no scroll bars expected");
    ok(!s.anyInk(), "only the background expected");
    ok(s.pixel(150, 60) == kBackground, "background %06lx", s.pixel(150, 60));
    s.shot("empty");
    s.set("");
    ok(s.rangeMax(SB_HORZ) == 0 && s.rangeMax(SB_VERT) == 0, "empty string: ranges %d %d",
       s.rangeMax(SB_HORZ), s.rangeMax(SB_VERT));
    ok(!s.anyInk(), "empty string: only the background expected");
}

WINTEST(japaneseWithoutSpacesWrapsBetweenCharacters) {
    Scene s(200, 300);
    const std::string text = "日本語の文章は空白がなくても任意の二文字の間で折り返されます。";
    s.set(text);
    int h = s.lineHeight();
    int total = s.textWidth(text);
    int contentHeight = s.rangeMax(SB_VERT) + 1;
    ok(total > 400, "the sentence should be wider than two lines (%d)", total);
    // Each line is at most the width; the lines together hold the sentence.
    int lines = (contentHeight + wintest::px(kInterval)) / (h + wintest::px(kInterval));
    ok(contentHeight == linesHeight(lines, h), "height %d is not whole lines of %d", contentHeight, h);
    ok(lines >= (total + 199) / 200 && lines <= (total + 199) / 200 + 1, "%d lines for %d pixels", lines,
       total);
    ok(s.rangeMax(SB_HORZ) + 1 <= 200, "content width %d", s.rangeMax(SB_HORZ) + 1);
    ok(!s.barShown(SB_HORZ) && !s.barShown(SB_VERT), "no scroll bars expected");
    ok(s.state().naturalWidth == total, "natural width %d, text %d", s.state().naturalWidth, total);
    ok(s.state().naturalHeight == h, "natural height %d, line %d", s.state().naturalHeight, h);
    ok(s.anyInk(), "text expected");
    // Text is drawn in the parent's colour on its background.
    ok(s.countInRow(h / 2, kTextColour) > 0 || s.anyInk(), "text colour expected");
    s.shot("japanese");
}

WINTEST(longWordIsBrokenInside) {
    Scene s(120, 200);
    const std::string word = "Pneumonoultramicroscopicsilicovolcanoconiosis";
    s.set(word);
    int h = s.lineHeight();
    int contentHeight = s.rangeMax(SB_VERT) + 1;
    ok(contentHeight >= linesHeight(3, h), "a long word in three lines or more, height %d", contentHeight);
    ok(s.rangeMax(SB_HORZ) + 1 <= 120, "content width %d", s.rangeMax(SB_HORZ) + 1);
    ok(!s.barShown(SB_HORZ), "no horizontal bar expected");
    s.shot("longword");
}

WINTEST(trailingLineBreakAddsNothing) {
    Scene s(300, 200);
    int h = s.lineHeight();
    s.set("一行目");
    int plain = s.rangeMax(SB_VERT);
    s.set("一行目\n");
    ok(s.rangeMax(SB_VERT) == plain && plain == h - 1, "trailing break: %d, plain %d, line %d",
       s.rangeMax(SB_VERT), plain, h);
    s.set("一行目\r\n");
    ok(s.rangeMax(SB_VERT) == plain, "trailing CR LF: %d, plain %d", s.rangeMax(SB_VERT), plain);
    s.set("一行目\n二行目\n\n四行目");
    ok(s.rangeMax(SB_VERT) + 1 == linesHeight(4, h), "four lines: %d", s.rangeMax(SB_VERT) + 1);
    s.shot("linebreaks");
}

WINTEST(pictureWiderThanTheControl) {
    std::string bmp = testFile(L"wide.bmp", stripesBmp(400, 60));
    Scene s(200, 200);
    int h = s.lineHeight();
    s.set("上の文" + pictureTag(bmp) + "下の文");
    // Picture sizes are 96-dpi pixels: the band is the scaled picture and a pixel around it.
    ok(s.rangeMax(SB_HORZ) == px(400) + 1, "horizontal range %d, band %d expected", s.rangeMax(SB_HORZ),
       px(400) + 2);
    ok(s.barShown(SB_HORZ), "horizontal bar expected");
    ok(s.rangeMax(SB_VERT) + 1 == h + px(60) + 2 + h, "height %d", s.rangeMax(SB_VERT) + 1);
    // The picture is drawn at (1, h + 1): red stripe first, green from x = 41 (at 96 dpi).
    COLORREF red = s.pixel(10, h + 1);
    COLORREF green = s.pixel(px(60), h + 1);
    ok(GetRValue(red) > 200 && GetGValue(red) < 60, "red expected, got %06lx", red);
    ok(GetGValue(green) > 200 && GetRValue(green) < 60, "green expected, got %06lx", green);
    ok(s.pixel(10, h) == kBackground, "one pixel of border above the picture, got %06lx", s.pixel(10, h));
    s.shot("widepicture");

    // Scrolling right by one line moves the picture left by 16 pixels (at 96 dpi).
    SendMessageW(s.control, WM_HSCROLL, SB_LINEDOWN, 0);
    UpdateWindow(s.control);
    ok(GetScrollPos(s.control, SB_HORZ) == px(16), "position %d", GetScrollPos(s.control, SB_HORZ));
    COLORREF shifted = s.pixel(px(60) - px(16), h + 1);
    ok(GetGValue(shifted) > 200 && GetRValue(shifted) < 60, "green after scrolling, got %06lx", shifted);
    // A new text starts again at the left.
    s.set("短い文");
    ok(GetScrollPos(s.control, SB_HORZ) == 0, "position after a new text %d",
       GetScrollPos(s.control, SB_HORZ));
    ok(!s.barShown(SB_HORZ), "no bar for a short text");
}

WINTEST(textBesideAWidePictureIsPaintedAtTheBandWidth) {
    std::string bmp = testFile(L"wide.bmp", stripesBmp(400, 60));
    Scene s(px(200), px(260));
    std::string text = "あいうえおかきくけこさしすせそたちつてと";
    s.set(text + pictureTag(bmp));
    int h = s.lineHeight();
    ok(s.textWidth(text) > px(200) && s.textWidth(text) < px(400),
       "text between the control and the band (%d)", s.textWidth(text));
    // The ranges come from the text wrapped in the control's width: two lines and the band.
    ok(s.rangeMax(SB_VERT) + 1 == linesHeight(2, h) + px(60) + 2, "height %d", s.rangeMax(SB_VERT) + 1);
    ok(s.rangeMax(SB_HORZ) == px(400) + 1, "horizontal range %d", s.rangeMax(SB_HORZ));
    // Painted at the band's width the text takes one line, and the picture follows it.
    COLORREF below = s.pixel(10, h + 2);
    ok(GetRValue(below) > 200 && GetGValue(below) < 60, "picture right below one line, got %06lx", below);
    s.shot("bandwidth");
}

WINTEST(picturesAreCroppedScaledOrLeftOut) {
    std::string png = testFile(L"stripes.png", stripesPng(120, 50));
    Scene s(400, 300);
    int h = s.lineHeight();
    s.set("a" + pictureTag(png, "|width=50%|height=200%"));
    ok(s.rangeMax(SB_VERT) + 1 == h + px(100) + 2, "scaled picture: height %d", s.rangeMax(SB_VERT) + 1);
    ok(s.rangeMax(SB_HORZ) + 1 == px(60) + 2, "scaled picture: width %d", s.rangeMax(SB_HORZ) + 1);
    // The right third: blue, stretched to the whole width of 120.
    s.set(pictureTag(png, "|srcleft=80|srcwidth=100%"));
    ok(s.rangeMax(SB_HORZ) + 1 == px(120) + 2, "cropped picture: width %d", s.rangeMax(SB_HORZ) + 1);
    COLORREF left = s.pixel(3, 3);
    ok(GetBValue(left) > 200 && GetRValue(left) < 60, "blue expected, got %06lx", left);
    s.shot("cropped");
    // Another type, or a missing file, takes a band of 2 x 2.
    s.set("a" + pictureTag("C:\\nowhere\\a.gif") + pictureTag("C:\\nowhere\\a.png"));
    ok(s.rangeMax(SB_VERT) + 1 == h + 4, "left-out pictures: height %d", s.rangeMax(SB_VERT) + 1);
    ok(s.state().objects.size() == 2 && !s.state().objects[0]->picture, "objects without bitmaps");
}

WINTEST(picturePathsAreRelativeToTheQuestionFile) {
    std::string bmp = testFile(L"wide.bmp", stripesBmp(400, 60));
    std::string folder = bmp.substr(0, bmp.size() - std::string("wide.bmp").size());
    host().questionFile = rekal::nativePath(folder + "sub\\q.rkf");
    Scene s(200, 200);
    auto loaded = [&](const std::string& tag) {
        s.set(pictureTag(tag));
        return s.state().objects.size() == 1 && s.state().objects[0]->picture != nullptr;
    };
    ok(loaded("..\\wide.bmp"), "parent folder of the question file");
    ok(loaded(".\\..\\sub\\..\\wide.bmp"), "dots resolved");
    ok(!loaded("wide.bmp"), "the question file's own folder has no picture");
    // A leading backslash goes on the question file's drive.
    ok(loaded(folder.substr(2) + "wide.bmp"), "drive of the question file");

    // A book in a folder whose name code page 932 lacks finds the pictures beside it.
    const std::wstring zoe = testFolder() + L"Zoë";
    CreateDirectoryW(zoe.c_str(), nullptr);
    writeFile(zoe + L"\\写真.bmp", stripesBmp(400, 60));
    host().questionFile = zoe + L"\\café.rkf";
    ok(loaded("写真.bmp"), "picture beside a book in a folder code page 932 lacks");
    host().questionFile.clear();
}

WINTEST(scrollingByLinesPagesAndThumb) {
    Scene s(200, 100);
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += "行" + std::to_string(i) + "\n";
    s.set(text);
    ok(s.barShown(SB_VERT), "vertical bar expected");
    int page = s.client().bottom;
    int maximum = s.rangeMax(SB_VERT);
    auto pos = [&] { return GetScrollPos(s.control, SB_VERT); };
    SendMessageW(s.control, WM_VSCROLL, SB_LINEUP, 0);
    ok(pos() == 0, "line up at the top: %d", pos());
    SendMessageW(s.control, WM_VSCROLL, SB_LINEDOWN, 0);
    ok(pos() == px(16), "line down: %d", pos());
    SendMessageW(s.control, WM_VSCROLL, SB_PAGEDOWN, 0);
    ok(pos() == px(16) + page, "page down: %d, page %d", pos(), page);
    SendMessageW(s.control, WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageW(s.control, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
    ok(pos() == px(16) + page, "bottom and final thumb position do nothing: %d", pos());
    for (int i = 0; i < 50; ++i)
        SendMessageW(s.control, WM_VSCROLL, SB_PAGEDOWN, 0);
    ok(pos() == maximum - page + 1, "at the end: %d, range %d, page %d", pos(), maximum, page);
    SendMessageW(s.control, WM_VSCROLL, SB_PAGEUP, 0);
    ok(pos() == maximum - 2 * page + 1, "page up: %d", pos());
    UpdateWindow(s.control);
    s.shot("scrolled");
    s.set("新しい文");
    ok(pos() == 0 && !s.barShown(SB_VERT), "a new text scrolls back: %d", pos());
}

// The wheel scrolls by the system's lines per notch, a fine wheel's small steps add up, and a wheel
// message passed on to the parent (from an edit that has the focus) scrolls the control under the
// cursor. Keys scroll a control that has the focus; a click gives it the focus only when it is a
// tab stop, so a question never takes the focus from the answer.
WINTEST(wheelAndKeysScroll) {
    Scene s(200, 100);
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "行" + std::to_string(i) + "\n";
    s.set(text);
    auto pos = [&] { return GetScrollPos(s.control, SB_VERT); };
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int notch = static_cast<int>(lines) * px(16);
    SendMessageW(s.control, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    ok(pos() == notch, "one notch down: %d, not %d", pos(), notch);
    SendMessageW(s.control, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
    SendMessageW(s.control, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
    ok(pos() == 0, "two half notches up: %d", pos());
    SendMessageW(s.control, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    ok(pos() == 0, "up at the top: %d", pos());

    RECT r{};
    GetWindowRect(s.control, &r);
    const LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ok(rekal::win::wheelToSentenceUnderCursor(s.parent, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), centre) &&
           pos() == notch,
       "passed on to the control under the cursor: %d", pos());
    ok(!rekal::win::wheelToSentenceUnderCursor(s.parent, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
                                               MAKELPARAM(r.right + 40, r.bottom + 40)),
       "passed on with the cursor elsewhere");

    HWND before = GetFocus();
    SendMessageW(s.control, WM_LBUTTONDOWN, 0, 0);
    ok(GetFocus() == before, "a click took the focus for a control that is no tab stop");
    SetWindowLongW(s.control, GWL_STYLE, GetWindowLongW(s.control, GWL_STYLE) | WS_TABSTOP);
    SendMessageW(s.control, WM_LBUTTONDOWN, 0, 0);
    ok(GetFocus() == s.control, "a click left a tab stop without the focus");
    ok(SendMessageW(s.control, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, "arrows go to the dialog");
    const int page = s.client().bottom;
    SendMessageW(s.control, WM_KEYDOWN, VK_HOME, 0);
    ok(pos() == 0, "Home: %d", pos());
    SendMessageW(s.control, WM_KEYDOWN, VK_DOWN, 0);
    ok(pos() == px(16), "Down: %d", pos());
    SendMessageW(s.control, WM_KEYDOWN, VK_NEXT, 0);
    ok(pos() == px(16) + page, "Page Down: %d", pos());
    SendMessageW(s.control, WM_KEYDOWN, VK_END, 0);
    ok(pos() == s.rangeMax(SB_VERT) - page + 1, "End: %d", pos());
    UpdateWindow(s.control);
    s.shot("focused");
}

WINTEST(privateMessageRecomputesOnlyWithoutParameters) {
    Scene s(200, 100);
    s.set("短い文");
    // A range within the page: the bar stays hidden and no size message recomputes it.
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 999;
    si.nPage = 1000;
    SetScrollInfo(s.control, SB_VERT, &si, FALSE);
    SendMessageW(s.control, WM_APP + 1, 1, 0);
    ok(s.rangeMax(SB_VERT) == 999, "a parameter: nothing recomputed (%d)", s.rangeMax(SB_VERT));
    SendMessageW(s.control, WM_APP + 1, 0, 1);
    ok(s.rangeMax(SB_VERT) == 999, "a parameter: nothing recomputed (%d)", s.rangeMax(SB_VERT));
    SendMessageW(s.control, WM_APP + 1, 0, 0);
    ok(s.rangeMax(SB_VERT) == s.lineHeight() - 1, "recomputed: %d", s.rangeMax(SB_VERT));
}

WINTEST(measuringGivesTheSizeNeeded) {
    Scene s(300, 200);
    const std::string shortText = "短い文です";
    s.set(shortText);
    int width = 400, height = 300;
    measureSentence(s.parent, kControlId, width, height);
    ok(width == s.textWidth(shortText) && height == s.lineHeight(), "short text: %d x %d", width, height);

    std::string tall;
    for (int i = 0; i < 10; ++i)
        tall += "行\n";
    s.set(tall);
    width = 200;
    height = 50;
    measureSentence(s.parent, kControlId, width, height);
    int content = linesHeight(10, s.lineHeight());
    ok(height == content, "tall text: height %d, content %d", height, content);
    ok(width == s.textWidth("行") + GetSystemMetrics(SM_CXVSCROLL), "tall text: width %d", width);
    ok(s.rangeMax(SB_VERT) == content - 1, "measuring sets the ranges: %d", s.rangeMax(SB_VERT));
    measureSentence(s.parent, 4242, width, height);
    ok(width == 0 && height == 0, "no such control: %d x %d", width, height);
}

// Chooses the first item of the context menu once it shows.
DWORD WINAPI chooseFirstMenuItem(void*) {
    for (int i = 0; i < 100; ++i) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu)) {
            Sleep(100);
            PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
            return 1;
        }
        Sleep(50);
    }
    return 0;
}

std::string clipboardBytes(UINT format) {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return "<no clipboard>";
    if (HANDLE h = GetClipboardData(format)) {
        if (void* p = GlobalLock(h)) {
            if (format == CF_UNICODETEXT)
                bytes = toCp932(static_cast<const wchar_t*>(p));
            else
                bytes = static_cast<const char*>(p);
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return bytes;
}

WINTEST(copyMenuPutsTheWrittenFormOnTheClipboard) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(572));
    ok(menu != nullptr, "menu resource 572");
    if (menu) {
        HMENU popup = GetSubMenu(menu, 0);
        wchar_t text[64] = {};
        GetMenuStringW(popup, 0, text, 64, MF_BYPOSITION);
        ok(GetMenuItemCount(popup) == 1 && GetMenuItemID(popup, 0) == 61 &&
               std::wcscmp(text, L"コピー(&C)") == 0,
           "menu item %s", wintest::utf8(text).c_str());
        DestroyMenu(menu);
    }

    Scene s(300, 200);
    const std::string stored = "問題\n\x02i\"name.png|width=50%\"\n答え";
    s.set(stored);
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    HANDLE helper = CreateThread(nullptr, 0, chooseFirstMenuItem, nullptr, 0, nullptr);
    RECT r{};
    GetWindowRect(s.control, &r);
    SendMessageW(s.control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(s.control),
                 MAKELPARAM(r.left + 20, r.top + 20));
    WaitForSingleObject(helper, 5000);
    CloseHandle(helper);
    const std::string written = "問題\n\\i\"name.png|width=50%\"\n答え";
    std::string text = clipboardBytes(CF_TEXT);
    ok(text == written, "clipboard text: %s", toUtf8(toWide(text)).c_str());
    std::string unicode = clipboardBytes(CF_UNICODETEXT);
    ok(unicode == written, "clipboard Unicode text: %s", toUtf8(toWide(unicode)).c_str());

    // An empty control has nothing to copy and shows no menu.
    s.set(std::nullopt);
    SendMessageW(s.control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(s.control),
                 MAKELPARAM(r.left + 20, r.top + 20));
    ok(FindWindowW(L"#32768", nullptr) == nullptr || !IsWindowVisible(FindWindowW(L"#32768", nullptr)),
       "no menu without a text");
}

WINTEST(mediaWindowsAndTheirTimer) {
    std::string wav = testFile(L"tone.wav", silenceWav(200));
    Scene s(300, 200);
    s.set("音声" + std::string("\x02m\"") + wav + "|loop=1|interval=0\"");
    SentenceState& state = s.state();
    ok(state.hasMedia, "has media");
    ok(state.objects.size() == 1, "one object");
    HWND media = state.objects.empty() ? nullptr : state.objects[0]->window;
    ok(media && IsWindow(media) && GetParent(media) == s.control, "media window, child of the control");
    ok(state.timer && state.timer->thread, "timer thread started");
    if (media) ok(!(GetWindowLongW(media, GWL_STYLE) & WS_BORDER), "media window without border");
    // Played once at once, then disabled when it has stopped again.
    DWORD start = GetTickCount();
    while (media && IsWindowEnabled(media) && GetTickCount() - start < 5000)
        wintest::flushEvents(100);
    ok(media && !IsWindowEnabled(media), "media window disabled after its plays");
    s.shot("media");

    // A new text closes the window and ends the thread before the new objects exist.
    s.set("次の文");
    ok(!IsWindow(media), "media window closed");
    ok(!state.timer && !state.hasMedia && state.objects.empty(), "timer and objects released");

    // Releasing keeps a quit request for the message loop.
    s.set(std::string("\x02m\"") + wav + "|autoplay=0\"");
    ok(state.timer != nullptr, "timer thread again");
    PostQuitMessage(7);
    setSentenceText(s.parent, kControlId, std::nullopt);
    MSG msg;
    bool quit = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    ok(quit && msg.wParam == 7, "quit request kept");

    // Destroying the control with a running timer ends it.
    s.set(std::string("\x02m\"") + wav + "\"");
    DestroyWindow(s.control);
    ok(!IsWindow(s.control), "control destroyed");
}

// Threads of this process.
int threadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int n = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        n += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return n;
}

// The window is closed while a sound question is shown: the release of the old text dispatches
// the close, which destroys the control and its state; the new text must not go into that state
// (it would start a timer thread that nothing ever stops).
WINTEST(controlDestroyedWhileItsTextIsReleased) {
    std::string wav = testFile(L"tone.wav", silenceWav(200));
    Scene s(300, 200);
    s.set(std::string("\x02m\"") + wav + "|autoplay=0\"");
    ok(s.state().timer != nullptr, "timer thread running");
    wintest::flushEvents(200);
    const int before = threadCount();
    PostMessageW(s.parent, WM_CLOSE, 0, 0);
    std::string next = "次の問題" + std::string("\x02m\"") + wav + "|autoplay=0\"";
    setSentenceText(s.parent, kControlId, next);
    ok(!IsWindow(s.parent) && !IsWindow(s.control), "window closed during the release");
    ok(sentenceState(s.control) == nullptr, "no state left");
    wintest::flushEvents(300);
    const int after = threadCount();
    ok(after < before, "the old timer ended and no new one started: %d threads, %d before", after, before);
}

// Closes a message box that shows within the time, returning whether one did.
DWORD WINAPI closeMessageBox(void*) {
    for (int i = 0; i < 20; ++i) {
        if (HWND box = FindWindowW(L"#32770", nullptr)) {
            PostMessageW(box, WM_CLOSE, 0, 0);
            return 1;
        }
        Sleep(50);
    }
    return 0;
}

WINTEST(missingMediaFileSaysNothing) {
    Scene s(300, 200);
    HANDLE helper = CreateThread(nullptr, 0, closeMessageBox, nullptr, 0, nullptr);
    s.set(std::string("x\x02m\"C:\\nowhere\\missing.wav\""));
    WaitForSingleObject(helper, 3000);
    DWORD shown = 0;
    GetExitCodeThread(helper, &shown);
    CloseHandle(helper);
    ok(shown == 0, "no message box expected");
    ok(s.state().objects.size() == 1 && s.state().hasMedia, "the object exists");
}

WINTEST(paintingWithoutAWindow) {
    Scene s(100, 100);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 60);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 200, 60};
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    FillRect(dc, &all, white);

    SentenceState state;
    state.font = s.font;
    loadSentenceObjects(s.parent, std::string_view("選択肢"), RGB(255, 255, 255), state);
    computeNaturalSize(nullptr, state);
    ok(state.naturalWidth == s.textWidth("選択肢") && state.naturalHeight == s.lineHeight(),
       "natural size %d x %d", state.naturalWidth, state.naturalHeight);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT r{10, 10, 190, 50};
    paintSentence(nullptr, dc, r, state);
    int ink = 0, outside = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) {
            bool dark = GetPixel(dc, x, y) != RGB(255, 255, 255);
            bool inside = x >= 10 && y >= 10 && x < 190 && y < 50;
            (inside ? ink : outside) += dark;
        }
    ok(ink > 20, "text drawn (%d pixels)", ink);
    ok(outside == 0, "nothing outside the rectangle (%d pixels)", outside);
    // A choice's text replaced without an explicit release: the old media window goes first.
    std::string wav = testFile(L"tone.wav", silenceWav(200));
    loadSentenceObjects(s.parent, std::string("\x02m\"") + wav + "|autoplay=0\"", RGB(255, 255, 255), state);
    HWND media = state.objects.empty() ? nullptr : state.objects[0]->window;
    ok(media && GetParent(media) == s.parent && state.timer,
       "media window of a choice, child of the given window");
    loadSentenceObjects(s.parent, std::string_view("次"), RGB(255, 255, 255), state);
    ok(!IsWindow(media) && !state.timer && state.objects.empty(), "replaced without a release");
    releaseSentenceObjects(state);
    ok(!state.text, "text released");
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

WINTEST(wrappedTextRunOnADc) {
    Scene s(100, 100);
    HDC dc = GetDC(s.control);
    HGDIOBJ old = SelectObject(dc, s.font);
    int h = s.lineHeight();
    RECT r{0, 0, 10000, 0};
    int height = drawWrappedText(dc, "一行\r\n二行", r, DrawMeasureOnly, 3);
    ok(height == 2 * h + 3 && r.bottom == height, "two lines: %d, bottom %ld", height, r.bottom);
    ok(r.right == s.textWidth("一行"), "widest line %ld", r.right);
    // The caller's clipping region is put back.
    HRGN clip = CreateRectRgn(0, 0, 50, 50);
    SelectClipRgn(dc, clip);
    RECT d{0, 0, 30, 30};
    drawWrappedText(dc, "abc", d, 0, 0);
    RECT box{};
    GetClipBox(dc, &box);
    ok(box.right == 50 && box.bottom == 50, "clip box after drawing %ld x %ld", box.right, box.bottom);
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
    SelectObject(dc, old);
    ReleaseDC(s.control, dc);
}

WINTEST(japaneseTextWithAPicture) {
    std::string png = testFile(L"stripes.png", stripesPng(240, 90));
    Scene s(px(420), px(330), L"日本語と絵");
    s.set("次の図は三色の縞模様です。赤、緑、青の順に並んでいます。" + pictureTag(png) +
          "図の下にも文章が続きます。長い文は折り返されて、次の行に表示されます。\n"
          "改行のあとの行です。");
    ok(s.anyInk(), "content drawn");
    int h = s.lineHeight();
    COLORREF red = s.pixel(10, 2 * h + px(kInterval) + 10);
    ok(GetRValue(red) > 150 && GetGValue(red) < 80, "the picture below two lines, got %06lx", red);
    s.shot("japanese_picture");
}

} // namespace

int wmain() {
    g_shots = std::wcsstr(GetCommandLineW(), L"--shots") != nullptr;
    return wintest::runAll("test_sentence");
}
