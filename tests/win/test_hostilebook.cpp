// A book from someone else in the question list window: a question of 40 copies of a small PNG that
// declares a huge picture, 40 copies of a large one, a question of 300,000 characters, and tags
// naming another computer or a device. Each shows within a bound of time and memory, and nothing
// outside the book's drive is opened.

#include "dialogsteps.h"
#include "examtest.h"

#include "win/display/sentence.h"

#define PSAPI_VERSION 2
#include <psapi.h>
#include <zlib.h>

namespace {

using namespace examtest;

// A 1-bit grey PNG of w x h pixels, all black: its rows compress to almost nothing, so the file
// stays small whatever size it declares.
std::string blackPng(uint32_t w, uint32_t h) {
    auto be32 = [](std::string& out, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out += static_cast<char>((v >> shift) & 0xFF);
    };
    auto chunk = [&](std::string& out, const char* type, const std::string& data) {
        be32(out, static_cast<uint32_t>(data.size()));
        const std::string typed = std::string(type, 4) + data;
        out += typed;
        be32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()),
                                              static_cast<uInt>(typed.size()))));
    };
    std::string header;
    be32(header, w);
    be32(header, h);
    header += std::string("\x01\x00\x00\x00\x00", 5); // depth 1, grey, deflate, no filter, no interlace
    const std::string rows(static_cast<std::size_t>((w + 7) / 8 + 1) * h, '\0');
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    std::string data(size, '\0');
    compress2(reinterpret_cast<Bytef*>(data.data()), &size, reinterpret_cast<const Bytef*>(rows.data()),
              static_cast<uLong>(rows.size()), 9);
    data.resize(size);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", data);
    chunk(png, "IEND", "");
    return png;
}

std::string repeated(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

// Question 1: a 10 KB file claiming 8000 x 8000 pixels, 40 times; question 2: 4000 x 4000, 40 times;
// question 3: 300,000 characters of words and kana; question 4: another computer, a device path and
// a playlist beside a picture of the book's own folder.
struct HostileBook {
    fs::path dir;
    HostileBook() {
        dir = makeFolder(L"rekal-hostile");
        writeBytes(dir / L"huge.png", blackPng(8000, 8000));
        writeBytes(dir / L"big.png", blackPng(4000, 4000));
        writeBytes(dir / L"small.png", blackPng(16, 8));
        const std::string longText = repeated("あいうえお abc ", 30000); // 300,000 characters
        writeBytes(
            dir / L"hostile.rkf",
            "REKALDATA V1.6\r\n" + repeated("\\i\"huge.png\"", 40) + ",a,<00\r\n" +
                repeated("\\i\"big.png\"", 40) + ",a,<00\r\n" + longText + ",a,<00\r\n" +
                "\\i\"\\\\otherhost\\share\\x.png\"\\i\"\\\\.\\Z:\\x.png\"\\m\"\\\\otherhost\\share\\s.wav\""
                "\\i\"small.png\",a,<00\r\n");
        ok(start(dir, L"\"" + (dir / L"hostile.rkf").wstring() + L"\""), "start-up failed");
    }
    ~HostileBook() { removeFolder(dir); }
};

HWND listControl(int id) {
    return GetDlgItem(app().listWindow, id);
}
rekal::win::SentenceState* question() {
    return rekal::win::sentenceState(listControl(IDC_QUESTION));
}

// Shows question n in the list window and returns the milliseconds until it was painted.
DWORD showQuestion(int n) {
    HWND box = listControl(IDC_LIST_NUMBER);
    const DWORD begin = GetTickCount();
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    typeText(box, std::to_wstring(n));
    pump(60);
    UpdateWindow(app().listWindow);
    pump(10);
    return GetTickCount() - begin;
}

SIZE_T peakMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return std::max(counters.PeakWorkingSetSize, counters.PeakPagefileUsage);
}

constexpr DWORD kShowBoundMs = 5000;
constexpr SIZE_T kMemoryBound = SIZE_T{1} << 30;

} // namespace

WINTEST(hostileBookShowsWithinBoundsAndStaysOnItsDrive) {
    HostileBook book;
    command(CMD_LIST);
    ok(app().listWindow != nullptr, "no list window");
    if (!app().listWindow) return;
    ok(readBytes(book.dir / L"huge.png").size() < 12 * 1024, "the huge picture's file is %u bytes",
       static_cast<unsigned>(readBytes(book.dir / L"huge.png").size()));

    // Over the cap for one picture: every copy shows as missing, at once.
    DWORD ms = showQuestion(1);
    ok(ms < kShowBoundMs, "40 copies of an 8000 x 8000 picture took %lu ms", ms);
    rekal::win::SentenceState* s = question();
    ok(s && s->objects.size() == 40, "objects %u", s ? static_cast<unsigned>(s->objects.size()) : 0u);
    for (std::size_t k = 0; s && k < s->objects.size(); ++k)
        ok(!s->objects[k]->picture, "copy %u of the huge picture decoded", static_cast<unsigned>(k));

    // Within the cap: decoded once and shared by every copy (without it, the text's pixel budget
    // would leave all but a few missing).
    ms = showQuestion(2);
    ok(ms < kShowBoundMs, "40 copies of a 4000 x 4000 picture took %lu ms", ms);
    s = question();
    ok(s && s->objects.size() == 40 && s->objects[0]->picture && s->objects[0]->picture->width == 4000,
       "the big picture not decoded");
    for (std::size_t k = 1; s && k < s->objects.size(); ++k)
        ok(s->objects[k]->picture == s->objects[0]->picture, "copy %u decoded again",
           static_cast<unsigned>(k));

    // A run measured once: laid out, measured at its natural size and painted in the bound.
    ms = showQuestion(3);
    ok(ms < kShowBoundMs, "300,000 characters took %lu ms", ms);
    s = question();
    ok(s && s->text && s->text->size() == 450000 && s->naturalHeight > 0, "the long question not shown");
    SCROLLINFO vertical{};
    vertical.cbSize = sizeof vertical;
    vertical.fMask = SIF_RANGE;
    GetScrollInfo(listControl(IDC_QUESTION), SB_VERT, &vertical);
    ok(vertical.nMax > 1000, "the long question is %d pixels tall", vertical.nMax);

    // Another computer and a device path are never opened; the book's own picture is.
    showQuestion(4);
    s = question();
    ok(s && s->objects.size() == 4, "objects %u", s ? static_cast<unsigned>(s->objects.size()) : 0u);
    if (s && s->objects.size() == 4) {
        ok(!s->objects[0]->picture && !s->objects[1]->picture, "a picture outside the book's drive opened");
        ok(!s->objects[2]->window, "a medium on another computer opened");
        ok(s->objects[3]->picture && s->objects[3]->picture->width == 16, "the book's own picture not shown");
    }

    const SIZE_T peak = peakMemory();
    ok(peak > 0 && peak < kMemoryBound, "the process peaked at %lu MB",
       static_cast<unsigned long>(peak >> 20));
}

WINTEST_MAIN("hostilebook")
