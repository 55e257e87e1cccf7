// The sentence control window: its messages, the scroll layout, scrolling, and the copy menu.

#include "win/display/sentence.h"

#include "core/base/messages.h"
#include "core/display/markup.h"
#include "resource.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/display/sentencelayout.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace rekal::win {

namespace {

constexpr UINT kRecomputeLayout = WM_APP + 1;
constexpr UINT kCopyCommand = 61;
constexpr int kLineStep = 16; // 96 dpi
constexpr const char* kCannotAttach = "パラメータを設定できません。";

// Size messages that arrive while a control re-lays itself out (its scroll bars appearing or
// going) are ignored; one flag serves every control, as they all run on one thread.
bool g_sizing = false;
SentenceHost* g_host = nullptr;

SCROLLINFO scrollInfo(UINT mask) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = mask;
    return si;
}

int horizontalBarHeight(HWND hwnd) {
    return systemMetric(hwnd, SM_CYHSCROLL);
}
int verticalBarWidth(HWND hwnd) {
    return systemMetric(hwnd, SM_CXVSCROLL);
}

// The client rectangle with the room of the scroll bars now shown added back.
RECT areaWithoutBars(HWND hwnd) {
    RECT area{};
    GetClientRect(hwnd, &area);
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    if (style & WS_VSCROLL) area.right += verticalBarWidth(hwnd);
    if (style & WS_HSCROLL) area.bottom += horizontalBarHeight(hwnd);
    return area;
}

void setScrollPage(HWND hwnd, int bar, int page) {
    SCROLLINFO si = scrollInfo(SIF_PAGE);
    si.nPage = static_cast<UINT>(page > 0 ? page : 1);
    SetScrollInfo(hwnd, bar, &si, TRUE);
}

void setScrollRange(HWND hwnd, int bar, int maximum) {
    SCROLLINFO si = scrollInfo(SIF_RANGE);
    si.nMin = 0;
    si.nMax = maximum;
    SetScrollInfo(hwnd, bar, &si, TRUE);
}

// Measures the content for the area in two passes and sets both scroll ranges.
ScrollRanges updateScrollRanges(HWND hwnd, SentenceState& state, const RECT& area) {
    SentenceMeasure measure = [&](const DisplayRect& a) {
        return measureSentenceContent(hwnd, state, RECT{a.left, a.top, a.right, a.bottom});
    };
    ScrollRanges ranges = computeScrollRanges(measure, {area.left, area.top, area.right, area.bottom},
                                              horizontalBarHeight(hwnd), verticalBarWidth(hwnd));
    setScrollRange(hwnd, SB_HORZ, ranges.horizontalMax);
    setScrollRange(hwnd, SB_VERT, ranges.verticalMax);
    return ranges;
}

void updateScrollLayout(HWND hwnd, SentenceState& state) {
    RECT pageArea = areaWithoutBars(hwnd);
    for (int round = 0; round < 2; ++round) {
        if (round == 1) GetClientRect(hwnd, &pageArea);
        setScrollPage(hwnd, SB_HORZ, pageArea.right - pageArea.left);
        setScrollPage(hwnd, SB_VERT, pageArea.bottom - pageArea.top);
        updateScrollRanges(hwnd, state, areaWithoutBars(hwnd));
    }
}

void resetScrollBars(HWND hwnd) {
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO si = scrollInfo(SIF_RANGE | SIF_PAGE | SIF_POS);
        si.nMin = 0;
        si.nMax = 0;
        si.nPage = 1;
        si.nPos = 0;
        SetScrollInfo(hwnd, bar, &si, TRUE);
    }
}

// The background colour the parent chooses for the control (also setting its text colour on dc).
HBRUSH parentBackground(HWND hwnd, HDC dc) {
    HWND parent = GetParent(hwnd);
    auto brush =
        reinterpret_cast<HBRUSH>(SendMessageW(parent ? parent : hwnd, WM_CTLCOLORSTATIC,
                                              reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    return brush ? brush : GetSysColorBrush(COLOR_BTNFACE);
}

COLORREF brushColour(HBRUSH brush) {
    LOGBRUSH lb{};
    if (!GetObjectW(brush, sizeof lb, &lb)) return GetSysColor(COLOR_BTNFACE);
    return lb.lbColor;
}

bool onCreate(HWND hwnd) {
    std::unique_ptr<SentenceState> state(new (std::nothrow) SentenceState);
    if (!state) {
        tellSentenceError(msg::kOutOfMemory);
        return false;
    }
    SetLastError(0);
    if (!SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(state.get())) && GetLastError() != 0) {
        tellSentenceError(kCannotAttach);
        return false;
    }
    state.release(); // now owned by the window, freed on WM_DESTROY
    for (int bar : {SB_HORZ, SB_VERT}) {
        SetScrollRange(hwnd, bar, 0, 0, FALSE);
        SetScrollPos(hwnd, bar, 0, FALSE);
    }
    return true;
}

void onDestroy(HWND hwnd) {
    std::unique_ptr<SentenceState> state(sentenceState(hwnd));
    SetWindowLongPtrW(hwnd, 0, 0);
    if (state) releaseSentenceObjects(*state);
}

void onSize(HWND hwnd, SentenceState& state) {
    if (g_sizing) return;
    g_sizing = true;
    updateScrollLayout(hwnd, state);
    updateScrollLayout(hwnd, state);
    g_sizing = false;
}

void onPaint(HWND hwnd, SentenceState& state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rect{};
    GetClientRect(hwnd, &rect);
    SCROLLINFO si = scrollInfo(SIF_RANGE);
    if (GetScrollInfo(hwnd, SB_HORZ, &si)) rect.right = si.nMax + 1;
    FillRect(dc, &ps.rcPaint, parentBackground(hwnd, dc));
    paintSentence(hwnd, dc, rect, state);
    if (GetFocus() == hwnd) {
        RECT client{};
        GetClientRect(hwnd, &client);
        DrawFocusRect(dc, &client);
    }
    EndPaint(hwnd, &ps);
}

bool copyToClipboard(HWND hwnd, std::string_view text) {
    std::string bytes = clipboardText(text);
    std::wstring wide = toWide(bytes);
    HGLOBAL narrow = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    HGLOBAL unicode = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    void* narrowBytes = narrow ? GlobalLock(narrow) : nullptr;
    void* unicodeBytes = unicode ? GlobalLock(unicode) : nullptr;
    if (!narrowBytes || !unicodeBytes) {
        if (narrowBytes) GlobalUnlock(narrow);
        if (unicodeBytes) GlobalUnlock(unicode);
        if (narrow) GlobalFree(narrow);
        if (unicode) GlobalFree(unicode);
        tellSentenceError(msg::kOutOfMemory);
        return false;
    }
    std::memcpy(narrowBytes, bytes.c_str(), bytes.size() + 1);
    std::memcpy(unicodeBytes, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(narrow);
    GlobalUnlock(unicode);
    if (!OpenClipboard(hwnd)) {
        GlobalFree(narrow);
        GlobalFree(unicode);
        return false;
    }
    EmptyClipboard();
    // The bytes as they are, and the same text in UTF-16 so that programs reading Unicode see the
    // Japanese text whatever the system's code page.
    if (!SetClipboardData(CF_TEXT, narrow)) GlobalFree(narrow);
    if (!SetClipboardData(CF_UNICODETEXT, unicode)) GlobalFree(unicode);
    CloseClipboard();
    return true;
}

void onContextMenu(HWND hwnd, SentenceState& state, LPARAM lParam) {
    if (!state.text) return;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MENU_SENTENCE));
    if (!menu) return;
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: at the control's top-left corner.
        at = {0, 0};
        ClientToScreen(hwnd, &at);
    }
    int command = TrackPopupMenu(GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                 at.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
    if (command == static_cast<int>(kCopyCommand)) copyToClipboard(hwnd, *state.text);
}

// The step of a scroll request, or 0 for the requests that do nothing.
int scrollStep(HWND hwnd, int request, const SCROLLINFO& si) {
    switch (request) {
    case SB_LINEUP:
        return -scaled(hwnd, kLineStep);
    case SB_LINEDOWN:
        return scaled(hwnd, kLineStep);
    case SB_PAGEUP:
        return -static_cast<int>(si.nPage);
    case SB_PAGEDOWN:
        return static_cast<int>(si.nPage);
    case SB_THUMBTRACK:
        return si.nTrackPos - si.nPos;
    default:
        return 0;
    }
}

// Moves the content by `step` pixels along `bar`, within its range; false when it did not move.
bool scrollBy(HWND hwnd, SentenceState& state, int bar, int step) {
    SCROLLINFO si = scrollInfo(SIF_ALL);
    if (!GetScrollInfo(hwnd, bar, &si)) return false;
    step = clampScrollStep(si.nPos, step, si.nMax);
    if (step == 0) return false;
    SetScrollPos(hwnd, bar, si.nPos + step, TRUE);
    // The platform keeps the position within the range less the page: scroll by what it took.
    int moved = GetScrollPos(hwnd, bar) - si.nPos;
    if (moved == 0) return false;
    if (bar == SB_HORZ)
        ScrollWindowEx(hwnd, -moved, 0, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    else
        ScrollWindowEx(hwnd, 0, -moved, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    // Media windows move with the paint, and the focus frame stays at the edge.
    if (state.hasMedia || GetFocus() == hwnd) InvalidateRect(hwnd, nullptr, FALSE);
    return true;
}

void onScroll(HWND hwnd, SentenceState& state, int bar, int request) {
    SCROLLINFO si = scrollInfo(SIF_ALL);
    if (!GetScrollInfo(hwnd, bar, &si)) return;
    scrollBy(hwnd, state, bar, scrollStep(hwnd, request, si));
}

// The wheel: the system's lines per notch (or a page) along the bar. The vertical wheel scrolls
// sideways when the content is only wider than the control.
void onWheel(HWND hwnd, SentenceState& state, bool horizontalWheel, int delta) {
    int bar = horizontalWheel ? SB_HORZ : SB_VERT;
    SCROLLINFO si = scrollInfo(SIF_ALL);
    if (!horizontalWheel && GetScrollInfo(hwnd, SB_VERT, &si) && si.nMax < static_cast<int>(si.nPage)) {
        SCROLLINFO h = scrollInfo(SIF_ALL);
        if (GetScrollInfo(hwnd, SB_HORZ, &h) && h.nMax >= static_cast<int>(h.nPage)) bar = SB_HORZ;
    }
    si = scrollInfo(SIF_ALL);
    if (!GetScrollInfo(hwnd, bar, &si)) return;
    UINT lines = 3;
    SystemParametersInfoW(horizontalWheel ? SPI_GETWHEELSCROLLCHARS : SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int perNotch =
        lines == WHEEL_PAGESCROLL ? kWheelPageScroll : static_cast<int>(std::min(lines, 1000u));
    int& carried = horizontalWheel ? state.horizontalWheelCarried : state.wheelCarried;
    // The vertical wheel turned away from the user goes up.
    const WheelStep step = wheelScrollStep(horizontalWheel ? delta : -delta, carried, perNotch,
                                           scaled(hwnd, kLineStep), static_cast<int>(si.nPage));
    carried = step.carried;
    scrollBy(hwnd, state, bar, step.pixels);
}

// The keys of a control that has the focus (one that is a tab stop takes it when clicked).
struct KeyScroll {
    UINT key;
    int bar;
    int request;
};
constexpr KeyScroll kKeyScrolls[] = {
    {VK_UP, SB_VERT, SB_LINEUP},     {VK_DOWN, SB_VERT, SB_LINEDOWN}, {VK_PRIOR, SB_VERT, SB_PAGEUP},
    {VK_NEXT, SB_VERT, SB_PAGEDOWN}, {VK_LEFT, SB_HORZ, SB_LINEUP},   {VK_RIGHT, SB_HORZ, SB_LINEDOWN},
    {VK_HOME, SB_VERT, SB_TOP},      {VK_END, SB_VERT, SB_BOTTOM},
};

bool onKey(HWND hwnd, SentenceState& state, UINT key) {
    for (const KeyScroll& k : kKeyScrolls) {
        if (k.key != key) continue;
        SCROLLINFO si = scrollInfo(SIF_ALL);
        if (!GetScrollInfo(hwnd, k.bar, &si)) return true;
        const int step = k.request == SB_TOP      ? -si.nPos
                         : k.request == SB_BOTTOM ? si.nMax - si.nPos
                                                  : scrollStep(hwnd, k.request, si);
        scrollBy(hwnd, state, k.bar, step);
        return true;
    }
    return false;
}

HWND sentenceControl(HWND parent, int controlId) {
    return GetDlgItem(parent, controlId);
}

} // namespace

void setSentenceHost(SentenceHost* host) {
    g_host = host;
}

bool wheelToSentenceUnderCursor(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL) return false;
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(parent, &at);
    HWND child = ChildWindowFromPointEx(parent, at, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
    if (!child || child == parent || !sentenceState(child)) return false;
    SendMessageW(child, message, wParam, lParam);
    return true;
}

std::filesystem::path sentenceMediaBase() {
    return g_host ? g_host->mediaBase() : std::filesystem::path();
}

int sentenceLineInterval() {
    return g_host ? g_host->lineInterval() : 0;
}

void tellSentenceError(std::string_view text) {
    if (Notifier* notifier = g_host ? g_host->notifier() : nullptr) notifier->error(text);
}

SentenceState* sentenceState(HWND control) {
    return control ? reinterpret_cast<SentenceState*>(GetWindowLongPtrW(control, 0)) : nullptr;
}

LRESULT CALLBACK sentenceWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return onCreate(hwnd) ? 0 : -1;
    if (message == WM_DESTROY) {
        onDestroy(hwnd);
        return 0;
    }
    SentenceState* state = sentenceState(hwnd);
    if (!state) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
        onSize(hwnd, *state);
        return 0;
    case WM_PAINT:
        onPaint(hwnd, *state);
        return 0;
    case WM_SETFONT:
        state->font = reinterpret_cast<HFONT>(wParam);
        updateScrollLayout(hwnd, *state);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_CONTEXTMENU:
        onContextMenu(hwnd, *state, lParam);
        return 0;
    case WM_HSCROLL:
        onScroll(hwnd, *state, SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_VSCROLL:
        onScroll(hwnd, *state, SB_VERT, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        onWheel(hwnd, *state, message == WM_MOUSEHWHEEL, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_KEYDOWN:
        if (onKey(hwnd, *state, static_cast<UINT>(wParam))) return 0;
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
        if (GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP) SetFocus(hwnd);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, FALSE);
        break;
    case WM_DPICHANGED_AFTERPARENT:
        // Pictures and the line interval are scaled by the new dpi: measure everything again.
        computeNaturalSize(hwnd, *state);
        updateScrollLayout(hwnd, *state);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case kRecomputeLayout:
        if (wParam == 0 && lParam == 0) {
            updateScrollLayout(hwnd, *state);
            return 0;
        }
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

namespace {

// The control's window text is the plain text it shows (tags and line feeds removed), so the name
// screen readers take from it is the sentence; every new text is announced where they listen.
void announceSentence(HWND control, std::optional<std::string_view> text) {
    const std::wstring spoken = toWide(plainText(text.value_or(std::string_view())));
    SetWindowTextW(control, spoken.c_str());
    if (!spoken.empty()) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace

void setSentenceText(HWND parent, int controlId, std::optional<std::string_view> text) {
    HWND control = sentenceControl(parent, controlId);
    SentenceState* state = sentenceState(control);
    if (!state) return;
    // The release below dispatches messages while a media timer ends; one of them may close the
    // window that holds the text or the control itself. So the text is copied first, and the
    // control and its state are looked up again afterwards.
    std::optional<std::string> copy;
    if (text) copy.emplace(*text);
    resetScrollBars(control);
    HDC dc = GetDC(control);
    COLORREF background = brushColour(parentBackground(control, dc));
    ReleaseDC(control, dc);
    for (;;) {
        releaseSentenceObjects(*state);
        control = sentenceControl(parent, controlId);
        state = sentenceState(control);
        if (!state) return;
        if (!state->timer) break; // else a text set meanwhile started a timer of its own
    }
    loadSentenceObjects(control, copy, background, *state);
    announceSentence(control, copy);
    computeNaturalSize(control, *state);
    InvalidateRect(control, nullptr, TRUE);
    PostMessageW(control, kRecomputeLayout, 0, 0);
}

void measureSentence(HWND parent, int controlId, int& width, int& height) {
    HWND control = sentenceControl(parent, controlId);
    SentenceState* state = sentenceState(control);
    if (!state) {
        width = height = 0;
        return;
    }
    ScrollRanges ranges = updateScrollRanges(control, *state, RECT{0, 0, width, height});
    ContentSize needed = sentenceSizeNeeded(ranges, horizontalBarHeight(control), verticalBarWidth(control));
    width = needed.width;
    height = needed.height;
}

} // namespace rekal::win
