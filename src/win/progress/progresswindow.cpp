#include "win/progress/progresswindow.h"

#include "core/exam/clock.h"
#include "core/examlog/examlog.h"
#include "core/examlog/stats.h"
#include "core/shell/helpcontexts.h"
#include "core/examlog/progresschart.h"
#include "resource.h"
#include "win/base/dpi.h"
#include "win/base/waitcursor.h"
#include "win/base/wintext.h"
#include "win/dialogs/commandtable.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"
#include "win/program/app.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace rekal::win {

namespace {

constexpr int kMinTrackSize = 250;
constexpr int kInterfacePoints = 9;
constexpr const char* kInterfaceFace = "ＭＳ Ｐゴシック";
constexpr const char* kCaption = "学習グラフ";
constexpr const char* kStandingTitle = "問題の状態";

struct ProgressState {
    ExamLog log; // read once per refresh
    LogDate today;
    std::vector<DayTally> days; // the period, oldest first
    StudySummary summary;
    std::vector<GroupStanding> standing; // the open book's; empty for every book
    OwnedFont font;
    HWND lastFocus = nullptr;
};

ProgressState* stateOf(HWND window) {
    return window ? reinterpret_cast<ProgressState*>(GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

// ---- the children ----

enum class ChildKind { Label, Radio, Button, Summary };

struct Child {
    int id;
    ChildKind kind;
    DWORD style; // besides child and visible
    const char* text;
};

// The row of choices and buttons, in tab order, then the summary. Each radio group starts a group;
// only its checked radio is a tab stop (arrows move within the group).
constexpr Child kChildren[] = {
    {IDC_GRAPH_BOOKS_LABEL, ChildKind::Label, SS_LEFT | SS_CENTERIMAGE, "対象："},
    {IDC_GRAPH_OPEN_BOOK, ChildKind::Radio, BS_AUTORADIOBUTTON | WS_GROUP, "開いている問題集(&B)"},
    {IDC_GRAPH_ALL_BOOKS, ChildKind::Radio, BS_AUTORADIOBUTTON, "すべての問題集(&A)"},
    {IDC_GRAPH_PERIOD_LABEL, ChildKind::Label, SS_LEFT | SS_CENTERIMAGE | WS_GROUP, "期間："},
    {IDC_GRAPH_30_DAYS, ChildKind::Radio, BS_AUTORADIOBUTTON | WS_GROUP, "30日(&3)"},
    {IDC_GRAPH_90_DAYS, ChildKind::Radio, BS_AUTORADIOBUTTON, "90日(&9)"},
    {IDC_GRAPH_YEAR, ChildKind::Radio, BS_AUTORADIOBUTTON, "1年(&Y)"},
    {IDC_GRAPH_HELP, ChildKind::Button, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, "ヘルプ(&H)"},
    {IDOK, ChildKind::Button, BS_DEFPUSHBUTTON | WS_TABSTOP, "閉じる"},
    {IDC_GRAPH_SUMMARY, ChildKind::Summary, SS_LEFT | SS_NOPREFIX | WS_GROUP, ""},
};
constexpr std::size_t kRowChildren = std::size(kChildren) - 1;

constexpr int kBookRadios[] = {IDC_GRAPH_OPEN_BOOK, IDC_GRAPH_ALL_BOOKS};
constexpr int kPeriodRadios[] = {IDC_GRAPH_30_DAYS, IDC_GRAPH_90_DAYS, IDC_GRAPH_YEAR};
static_assert(std::size(kPeriodRadios) == std::size(kStudyPeriodDays));

HWND control(HWND window, int id) {
    return GetDlgItem(window, id);
}

// Checks one radio of a group and makes it the group's only tab stop.
void checkRadio(HWND window, std::span<const int> group, int chosen) {
    for (int id : group) {
        HWND radio = control(window, id);
        SendMessageW(radio, BM_SETCHECK, id == chosen ? BST_CHECKED : BST_UNCHECKED, 0);
        const LONG_PTR style = GetWindowLongPtrW(radio, GWL_STYLE);
        SetWindowLongPtrW(radio, GWL_STYLE, id == chosen ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

bool bookOpen() {
    return app().book.isLoaded();
}

// Every book when chosen, or when no book is open.
bool allBooks() {
    return app().settings.graphAllBooks || !bookOpen();
}

int periodDayCount() {
    return kStudyPeriodDays[std::clamp(app().settings.graphPeriod, 0, 2)];
}

// ---- measuring ----

// Measures texts in the window's font; the text's "&" marks a mnemonic.
class TextMeter {
  public:
    explicit TextMeter(HWND window, HFONT font) : window_(window), dc_(GetDC(window)) {
        old_ = SelectObject(dc_, font);
        TEXTMETRICW metric{};
        GetTextMetricsW(dc_, &metric);
        height_ = metric.tmHeight;
    }
    ~TextMeter() {
        SelectObject(dc_, old_);
        ReleaseDC(window_, dc_);
    }
    TextMeter(const TextMeter&) = delete;
    TextMeter& operator=(const TextMeter&) = delete;

    int height() const { return height_; }
    int width(std::string_view text, UINT prefix = DT_NOPREFIX) const { return widthIn(dc_, text, prefix); }
    static int widthIn(HDC dc, std::string_view text, UINT prefix = DT_NOPREFIX) {
        const std::wstring wide = toWide(text);
        RECT r{};
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_SINGLELINE | prefix);
        return r.right - r.left;
    }

  private:
    HWND window_;
    HDC dc_;
    HGDIOBJ old_;
    int height_ = 0;
};

// The legend entries of the daily chart, under the summary.
enum class DayLegend { Right, Wrong, Rate };
struct DayLegendEntry {
    DayLegend kind;
    const char* text;
};
constexpr DayLegendEntry kDayLegend[] = {
    {DayLegend::Right, "正解（○）"}, {DayLegend::Wrong, "不正解（×）"}, {DayLegend::Rate, "正解率"}};

// The standing parts' legend texts, by StandingKind.
constexpr const char* kStandingLegend[kStandingKinds] = {"○1", "○2", "○3", "○4", "○5", "×", "未出題"};

std::string groupLabel(int group) {
    return app().book.groupName(group).value_or(std::to_string(group));
}

struct Measured {
    StudyGraphLayout layout;
    int textHeight = 0;
    int summaryTextHeight = 0;
};

Measured measure(HWND window, const ProgressState& state) {
    const TextMeter meter(window, state.font.get());
    const int dpi = windowDpi(window);
    Measured m;
    m.textHeight = meter.height();
    std::vector<int> widths;
    for (std::size_t i = 0; i < kRowChildren; ++i) {
        const Child& c = kChildren[i];
        const int text = meter.width(c.text, 0);
        switch (c.kind) {
        case ChildKind::Radio:
            widths.push_back(text + scaleForDpi(22, dpi));
            break;
        case ChildKind::Button:
            widths.push_back(std::max(scaleForDpi(72, dpi), text + scaleForDpi(16, dpi)));
            break;
        default:
            widths.push_back(text + scaleForDpi(2, dpi));
            break;
        }
    }
    const std::vector<std::string> lines = studySummaryLines(state.summary);
    int summaryWidth = 0;
    for (const std::string& line : lines)
        summaryWidth = std::max(summaryWidth, meter.width(line));
    for (const DayLegendEntry& e : kDayLegend)
        summaryWidth = std::max(summaryWidth, 2 * m.textHeight + meter.width(e.text));
    m.summaryTextHeight = static_cast<int>(lines.size()) * m.textHeight;

    RECT client{};
    GetClientRect(window, &client);
    StudyGraphLayoutInput in;
    in.client = pixelRect(client);
    in.dpi = dpi;
    in.textHeight = m.textHeight;
    in.controlWidths = widths;
    in.controlHeight = std::max(m.textHeight + scaleForDpi(8, dpi), scaleForDpi(23, dpi));
    const int inset = scaleForDpi(8, dpi); // between the rate labels and the summary
    in.summaryWidth = summaryWidth + inset;
    in.standingGroups = static_cast<int>(state.standing.size());
    m.layout = layoutStudyGraph(in);
    PixelRect& summary = m.layout.summary;
    const int shift = std::min(inset, summary.width);
    summary.left += shift;
    summary.width -= shift;
    return m;
}

void layout(HWND window, const ProgressState& state) {
    if (IsIconic(window)) return;
    const Measured m = measure(window, state);
    for (std::size_t i = 0; i < kRowChildren; ++i)
        placeControl(window, kChildren[i].id, m.layout.controls[i], false);
    PixelRect summary = m.layout.summary;
    summary.height = std::min(summary.height, m.summaryTextHeight);
    placeControl(window, IDC_GRAPH_SUMMARY, summary, false);
    InvalidateRect(window, nullptr, TRUE);
}

// ---- counting ----

// The log as it is now; none yet (no file) is an empty log, not a failure to tell.
void readLog(ProgressState& state) {
    WaitCursor cursor;
    cursor.begin();
    const std::filesystem::path path = examLogPath();
    std::error_code error;
    state.log = std::filesystem::exists(path, error) ? readExamLog(path, app().notifier).value_or(ExamLog{})
                                                     : ExamLog{};
}

void setSummaryText(HWND window, const StudySummary& summary) {
    std::string text;
    for (const std::string& line : studySummaryLines(summary))
        text += (text.empty() ? "" : "\r\n") + line;
    setWindowText(control(window, IDC_GRAPH_SUMMARY), text);
}

// The figures of the current choices from the log read last.
void recount(HWND window, ProgressState& state) {
    const QuestionBook& book = app().book;
    const bool all = allBooks();
    const LogFileFilter filter =
        all ? LogFileFilter{} : LogFileFilter{LogFileMatch::Same, std::string_view(book.path())};
    const std::vector<DayTally> tallies = tallyExamLogByDays(state.log, filter);
    SystemClock clock;
    const LocalTime now = clock.localTime();
    state.today = {now.year, now.month, now.day};
    const int count = periodDayCount();
    state.days = periodDays(tallies, state.today, count);
    state.summary = studySummary(tallies, state.today, count);
    state.standing = all ? std::vector<GroupStanding>{} : questionStanding(book, state.log, book.path());

    EnableWindow(control(window, IDC_GRAPH_OPEN_BOOK), bookOpen());
    checkRadio(window, kBookRadios, all ? IDC_GRAPH_ALL_BOOKS : IDC_GRAPH_OPEN_BOOK);
    checkRadio(window, kPeriodRadios, kPeriodRadios[std::clamp(app().settings.graphPeriod, 0, 2)]);
    setSummaryText(window, state.summary);
    layout(window, state);
}

void refresh(HWND window, ProgressState& state) {
    // Requests that piled up while the log was busy are answered by this one reading.
    MSG pending;
    while (PeekMessageW(&pending, window, kRefreshProgressMessage, kRefreshProgressMessage, PM_REMOVE)) {
    }
    readLog(state);
    recount(window, state);
}

// ---- drawing ----

RECT toRect(const PixelRect& r) {
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

void drawText(HDC dc, std::string_view text, const PixelRect& at, UINT format) {
    const std::wstring wide = toWide(text);
    RECT r = toRect(at);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
              format | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

void drawLine(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// The pens and brushes of one painting, in the system's colours.
struct Palette {
    explicit Palette(int dpi)
        : text(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT))),
          grid(CreatePen(PS_DOT, 1, GetSysColor(COLOR_GRAYTEXT))),
          rate(CreatePen(PS_SOLID, scaleForDpi(2, dpi), GetSysColor(COLOR_WINDOWTEXT))),
          textBrush(CreateSolidBrush(GetSysColor(COLOR_WINDOWTEXT))),
          wrong(CreateHatchBrush(HS_BDIAGONAL, GetSysColor(COLOR_WINDOWTEXT))) {
        constexpr int kHatches[] = {HS_VERTICAL, HS_FDIAGONAL, HS_CROSS, HS_DIAGCROSS};
        for (int k = StandingRight1; k <= StandingRight4; ++k)
            standing[k].reset(CreateHatchBrush(kHatches[k - StandingRight1], GetSysColor(COLOR_HIGHLIGHT)));
        standing[StandingRight5].reset(CreateSolidBrush(GetSysColor(COLOR_HIGHLIGHT)));
        standing[StandingWrong].reset(CreateHatchBrush(HS_BDIAGONAL, GetSysColor(COLOR_WINDOWTEXT)));
        standing[StandingNeverAsked].reset(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
    }
    HBRUSH right() const { return GetSysColorBrush(COLOR_HIGHLIGHT); }

    OwnedPen text, grid, rate;
    OwnedBrush textBrush, wrong;
    std::array<OwnedBrush, kStandingKinds> standing;
};

// A part of a bar: filled, and framed so that neighbours stay apart in any colours.
void fillPart(HDC dc, const PixelRect& part, HBRUSH fill, const Palette& palette) {
    if (part.width <= 0 || part.height <= 0) return;
    const RECT r = toRect(part);
    FillRect(dc, &r, fill);
    if (part.width > 2 && part.height > 2) FrameRect(dc, &r, palette.textBrush.get());
}

void drawDot(HDC dc, int x, int y, int radius) {
    Ellipse(dc, x - radius, y - radius, x + radius + 1, y + radius + 1);
}

void drawDayChart(HDC dc, int dpi, int textHeight, const PixelRect& area, const ProgressState& state,
                  const Palette& palette) {
    ProgressChartInput in;
    in.client = area;
    in.dpi = dpi;
    in.textHeight = textHeight;
    in.textWidth = [dc](std::string_view text) { return TextMeter::widthIn(dc, text); };
    in.days = state.days;
    const ProgressChart chart = layoutProgressChart(in);
    const PixelRect& plot = chart.plot;
    if (plot.width <= 0 || plot.height <= 0) return;
    const int right = plot.left + plot.width;
    const int bottom = plot.top + plot.height;
    const int tick = scaleForDpi(3, dpi);

    SelectObject(dc, palette.grid.get());
    for (const ChartTick& t : chart.countTicks)
        if (t.y != bottom) drawLine(dc, plot.left, t.y, right, t.y);
    for (const ChartBar& bar : chart.bars) {
        fillPart(dc, bar.right, palette.right(), palette);
        fillPart(dc, bar.wrong, palette.wrong.get(), palette);
    }

    SelectObject(dc, palette.text.get());
    drawLine(dc, plot.left, plot.top, plot.left, bottom);
    drawLine(dc, plot.left, bottom, right + 1, bottom);
    drawLine(dc, right, plot.top, right, bottom);
    for (const ChartTick& t : chart.countTicks) {
        drawLine(dc, plot.left - tick, t.y, plot.left, t.y);
        drawText(dc, t.label, t.labelRect, DT_RIGHT | DT_VCENTER);
    }
    for (const ChartTick& t : chart.rateTicks) {
        drawLine(dc, right, t.y, right + tick, t.y);
        drawText(dc, t.label, t.labelRect, DT_LEFT | DT_VCENTER);
    }
    drawText(dc, kChartCountAxisTitle, chart.countTitle, DT_LEFT);
    drawText(dc, kChartRateAxisTitle, chart.rateTitle, DT_RIGHT);
    for (const ChartDateLabel& label : chart.dateLabels) {
        const int x = label.rect.left + label.rect.width / 2;
        drawLine(dc, x, bottom, x, bottom + tick);
        drawText(dc, label.text, label.rect, DT_CENTER);
    }

    // The rate: a line through each run of days with answers, a dot for a day alone.
    SelectObject(dc, palette.rate.get());
    SelectObject(dc, palette.textBrush.get());
    for (const std::vector<ChartPoint>& run : chart.rateLines) {
        if (run.size() == 1) {
            drawDot(dc, run.front().x, run.front().y, scaleForDpi(3, dpi));
            continue;
        }
        std::vector<POINT> points;
        for (const ChartPoint& p : run)
            points.push_back({p.x, p.y});
        Polyline(dc, points.data(), static_cast<int>(points.size()));
    }
}

// A swatch as high as a text line before a legend text; returns the x after it.
int drawLegendEntry(HDC dc, int x, int top, int textHeight, std::string_view text, HBRUSH fill,
                    const Palette& palette) {
    const int inset = textHeight / 5;
    fillPart(dc, {x, top + inset, textHeight, textHeight - 2 * inset}, fill, palette);
    const int textLeft = x + textHeight + inset;
    const int width = TextMeter::widthIn(dc, text);
    drawText(dc, text, {textLeft, top, width, textHeight}, DT_LEFT);
    return textLeft + width + 2 * textHeight;
}

void drawDayLegend(HDC dc, int dpi, const Measured& m, const Palette& palette) {
    const PixelRect& area = m.layout.summary;
    int top = area.top + m.summaryTextHeight + m.textHeight;
    for (const DayLegendEntry& e : kDayLegend) {
        if (top + m.textHeight > area.top + area.height) return;
        if (e.kind == DayLegend::Rate) {
            SelectObject(dc, palette.rate.get());
            const int y = top + m.textHeight / 2;
            drawLine(dc, area.left, y, area.left + m.textHeight, y);
            drawText(dc, e.text, {area.left + m.textHeight + m.textHeight / 5, top, area.width, m.textHeight},
                     DT_LEFT);
        } else {
            drawLegendEntry(dc, area.left, top, m.textHeight, e.text,
                            e.kind == DayLegend::Right ? palette.right() : palette.wrong.get(), palette);
        }
        top += m.textHeight + scaleForDpi(2, dpi);
    }
}

void drawStanding(HDC dc, int dpi, const Measured& m, const ProgressState& state, const Palette& palette) {
    const StudyGraphLayout& l = m.layout;
    if (state.standing.empty() || l.standing.height <= 0) return;
    int x = l.standingTitle.left;
    drawText(dc, kStandingTitle, l.standingTitle, DT_LEFT);
    x += TextMeter::widthIn(dc, kStandingTitle) + 2 * m.textHeight;
    for (StandingKind kind : kStandingDrawOrder)
        x = drawLegendEntry(dc, x, l.standingTitle.top, m.textHeight, kStandingLegend[kind],
                            palette.standing[kind].get(), palette);

    int labelWidth = 0;
    for (const GroupStanding& g : state.standing)
        labelWidth = std::max(labelWidth, TextMeter::widthIn(dc, groupLabel(g.group)));
    const std::vector<StandingBar> bars =
        layoutStandingChart({l.standing, dpi, m.textHeight, labelWidth, state.standing});
    for (const StandingBar& bar : bars) {
        drawText(dc, groupLabel(bar.group), bar.labelRect, DT_LEFT | DT_VCENTER);
        for (StandingKind kind : kStandingDrawOrder)
            fillPart(dc, bar.parts[kind], palette.standing[kind].get(), palette);
    }
}

// Everything drawn into a bitmap first, then copied in one step: no flicker while sizing.
void paint(HWND window, const ProgressState& state) {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    if (client.right > 0 && client.bottom > 0) {
        HDC dc = CreateCompatibleDC(screen);
        OwnedBitmap bitmap(CreateCompatibleBitmap(screen, client.right, client.bottom));
        const HGDIOBJ oldBitmap = SelectObject(dc, bitmap.get());
        const HGDIOBJ oldFont = SelectObject(dc, state.font.get());
        const HGDIOBJ oldPen = GetCurrentObject(dc, OBJ_PEN);
        const HGDIOBJ oldBrush = GetCurrentObject(dc, OBJ_BRUSH);
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        {
            const int dpi = windowDpi(window);
            const Palette palette(dpi);
            const Measured m = measure(window, state);
            drawDayChart(dc, dpi, m.textHeight, m.layout.chart, state, palette);
            drawDayLegend(dc, dpi, m, palette);
            drawStanding(dc, dpi, m, state, palette);
            SelectObject(dc, oldPen);
            SelectObject(dc, oldBrush);
        }
        BitBlt(screen, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteDC(dc);
    }
    EndPaint(window, &ps);
}

// ---- commands ----

void chooseBooks(HWND window, ProgressState& state, bool all) {
    app().settings.graphAllBooks = all;
    recount(window, state);
}

void choosePeriod(HWND window, ProgressState& state, int index) {
    app().settings.graphPeriod = index;
    recount(window, state);
}

constexpr DialogCommand<ProgressState> kCommands[] = {
    {IDOK, [](HWND window, ProgressState&) { DestroyWindow(window); }},
    {IDCANCEL, [](HWND window, ProgressState&) { DestroyWindow(window); }},
    {IDC_GRAPH_HELP, [](HWND window, ProgressState&) { showHelpTopic(window, kHelpStudyGraph); }},
    {IDC_GRAPH_OPEN_BOOK, [](HWND window, ProgressState& state) { chooseBooks(window, state, false); }},
    {IDC_GRAPH_ALL_BOOKS, [](HWND window, ProgressState& state) { chooseBooks(window, state, true); }},
    {IDC_GRAPH_30_DAYS, [](HWND window, ProgressState& state) { choosePeriod(window, state, 0); }},
    {IDC_GRAPH_90_DAYS, [](HWND window, ProgressState& state) { choosePeriod(window, state, 1); }},
    {IDC_GRAPH_YEAR, [](HWND window, ProgressState& state) { choosePeriod(window, state, 2); }},
};

// ---- life ----

void setFont(HWND window, ProgressState& state) {
    state.font.reset(
        createInterfaceFont(window, kInterfacePoints, FW_NORMAL, false, SHIFTJIS_CHARSET, kInterfaceFace));
    for (const Child& c : kChildren)
        SendMessageW(control(window, c.id), WM_SETFONT, reinterpret_cast<WPARAM>(state.font.get()), FALSE);
}

bool onCreate(HWND window, ProgressState& state) {
    AppState& a = app();
    for (const Child& c : kChildren) {
        const wchar_t* cls =
            c.kind == ChildKind::Radio || c.kind == ChildKind::Button ? L"BUTTON" : L"STATIC";
        if (!CreateWindowExW(0, cls, toWide(c.text).c_str(), WS_CHILD | WS_VISIBLE | c.style, 0, 0, 0, 0,
                             window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), a.instance,
                             nullptr))
            return false;
    }
    a.progressWindow = window;
    setFont(window, state);
    refresh(window, state);
    return true;
}

void onDestroy(HWND window) {
    AppState& a = app();
    storeWindowPlacement(window, a.settings.graphRect, a.settings.graphMaximized);
    if (a.progressWindow == window) a.progressWindow = nullptr;
    if (a.mainWindow) BringWindowToTop(a.mainWindow);
}

// The focus back where it was, or on the chosen books.
void focusOnActivate(HWND window, ProgressState& state) {
    HWND target = state.lastFocus && IsChild(window, state.lastFocus) && IsWindowEnabled(state.lastFocus)
                      ? state.lastFocus
                      : GetNextDlgTabItem(window, nullptr, FALSE);
    if (target) SetFocus(target);
}

// Tab and Shift+Tab from the program's loop (dialog navigation sends this to the window).
void onNextControl(HWND window, WPARAM wParam, LPARAM lParam) {
    HWND target =
        LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
    if (target) SetFocus(target);
}

LRESULT onMessage(HWND window, ProgressState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return onCreate(window, state) ? 0 : -1;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) layout(window, state);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {scaled(window, kMinTrackSize), scaled(window, kMinTrackSize)};
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // the painting covers everything
    case WM_PAINT:
        paint(window, state);
        return 0;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            state.lastFocus = GetFocus();
        } else if (!HIWORD(wParam)) {
            focusOnActivate(window, state);
            return 0;
        }
        break;
    case WM_NEXTDLGCTL:
        onNextControl(window, wParam, lParam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) runDialogCommand(kCommands, window, state, LOWORD(wParam));
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case kRefreshProgressMessage:
        refresh(window, state);
        return 0;
    case WM_HELP:
        showHelpTopic(window, kHelpStudyGraph);
        return TRUE;
    case WM_DPICHANGED: {
        const RECT& r = *reinterpret_cast<const RECT*>(lParam);
        setFont(window, state);
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        layout(window, state);
        return 0;
    }
    case WM_DESTROY:
        onDestroy(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK progressWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto state = std::make_unique<ProgressState>();
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.release()));
    }
    ProgressState* state = stateOf(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        std::unique_ptr<ProgressState> owned(state);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return onMessage(window, *state, message, wParam, lParam);
}

void openProgressWindow(HWND) {
    AppState& a = app();
    if (HWND existing = a.progressWindow) {
        if (IsIconic(existing)) ShowWindow(existing, SW_RESTORE);
        SetForegroundWindow(existing);
        SetActiveWindow(existing);
        return;
    }
    const WindowRect& r = a.settings.graphRect;
    HWND window = CreateWindowExW(0, kProgressWindowClass, toWide(kCaption).c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, r.left, r.top, r.width, r.height,
                                  a.mainWindow, nullptr, a.instance, nullptr);
    if (!window) return;
    restoreStoredPlacement(window, r, a.settings.graphMaximized, SW_SHOWNORMAL);
}

} // namespace rekal::win
