#include "win/exam/infopane.h"

#include "core/exam/infopane.h"
#include "win/program/app.h"
#include "win/base/contrast.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/base/selectedfont.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"
#include "win/exam/examsession.h"

#include <commctrl.h>

#include <memory>
#include <string>

namespace rekal::win {

namespace {

constexpr UINT_PTR kPaneSubclass = 0x1029;
constexpr UINT_PTR kPaneTimer = 1;
constexpr UINT kPaneTickMs = 100;
constexpr int kTipLineInterval = 5;

// The pane's own record, hung on its subclass.
struct InfoPaneState {
    OwnedBitmap bitmap; // the client area's picture
    int width = 0, height = 0;
    bool frozen = false;
    bool blank = true; // a new bitmap: the whole picture is painted even while frozen
    TipTyper tips;
    std::string spoken; // the window text: the run's fields, or the whole tip being typed
};

// The record is also hung on the control's user data, for the freeze from outside.
InfoPaneState* paneState(HWND pane) {
    return pane ? reinterpret_cast<InfoPaneState*>(GetWindowLongPtrW(pane, GWLP_USERDATA)) : nullptr;
}

RECT toRect(const DisplayRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// In high contrast every fill is the window colour and every text the window text.
void fill(HDC dc, const RECT& r, COLORREF colour) {
    SetDCBrushColor(dc, shownColour(colour, COLOR_WINDOW));
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The fields' drawing on the pane's bitmap.
class GdiPaneCanvas : public PaneCanvas {
  public:
    explicit GdiPaneCanvas(HDC dc) : dc_(dc) {}
    int wrapText(std::string_view text, DisplayRect& rect, bool measureOnly, int lineInterval) override {
        RECT r = toRect(rect);
        const int height =
            drawWrappedText(dc_, text, r, measureOnly ? unsigned{DrawMeasureOnly} : 0u, lineInterval);
        rect = {r.left, r.top, r.right, r.bottom};
        return height;
    }
    void setTextColour(Color colour) override { SetTextColor(dc_, shownColour(colour, COLOR_WINDOWTEXT)); }
    void fillRect(const DisplayRect& r, Color colour) override { fill(dc_, toRect(r), colour); }

  private:
    HDC dc_;
};

std::uint32_t tickNow() {
    if (ExamEnv* env = sessionExamEnv()) return env->clock.tickCount();
    return GetTickCount();
}

// The rounded frame with its shadow on the surrounding colour.
void paintFrame(HDC dc, int width, int height, const PaneFrame& f, COLORREF background) {
    fill(dc, {0, 0, width, height}, kPaneSurround);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, shownColour(RGB(0, 0, 0), COLOR_WINDOWTEXT));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, shownColour(RGB(0, 0, 0), COLOR_WINDOWTEXT));
    RoundRect(dc, f.shadow.left, f.shadow.top, f.shadow.right, f.shadow.bottom, f.corner, f.corner);
    SetDCBrushColor(dc, shownColour(background, COLOR_WINDOW));
    RoundRect(dc, f.frame.left, f.frame.top, f.frame.right, f.frame.bottom, f.corner, f.corner);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

// The hour right-aligned up to the middle, the blinking colon, the minute; on the pane's colour.
void paintClock(HDC dc, const DisplayRect& inner, COLORREF background) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    LocalTime t;
    t.hour = now.wHour;
    t.minute = now.wMinute;
    t.millisecond = now.wMilliseconds;
    const ClockText text = clockText(t);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE colon{}, hour{};
    GetTextExtentPoint32W(dc, L":", 1, &colon);
    const std::wstring hourText(text.hour.begin(), text.hour.end());
    GetTextExtentPoint32W(dc, hourText.c_str(), static_cast<int>(hourText.size()), &hour);
    const ClockPlace place = clockPlace(inner, metrics.tmHeight, colon.cx);
    fill(dc, toRect(place.line), background);
    SetTextColor(dc, shownColour(kPaneClockColour, COLOR_WINDOWTEXT));
    SetBkColor(dc, shownColour(background, COLOR_WINDOW));
    SetBkMode(dc, OPAQUE);
    const int top = place.line.top;
    TextOutW(dc, place.hourRight - hour.cx, top, hourText.c_str(), static_cast<int>(hourText.size()));
    const std::wstring separator(text.separator.begin(), text.separator.end());
    TextOutW(dc, place.separatorLeft, top, separator.c_str(), static_cast<int>(separator.size()));
    const std::wstring minute(text.minute.begin(), text.minute.end());
    TextOutW(dc, place.minuteLeft, top, minute.c_str(), static_cast<int>(minute.size()));
}

// The pane's window text (its accessible name) when what it shows has changed: the run's fields,
// announced, or the whole tip as soon as its typing starts, told but not announced, so a screen
// reader is not kept busy by the tips.
void tellPane(HWND pane, InfoPaneState& state, std::string_view spoken, bool announce) {
    if (spoken == state.spoken) return;
    state.spoken = spoken;
    // Past the static control, which would paint its text over the pane.
    const std::wstring text = toWide(spoken);
    DefWindowProcW(pane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (announce) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, pane, OBJID_CLIENT, CHILDID_SELF);
}

// Everything into the bitmap: frozen, the clock only (unless the bitmap is new); otherwise the
// frame, then the run's fields or the tip, then the clock.
void paintPicture(HWND pane, InfoPaneState& state, HDC dc) {
    const AppState& a = app();
    const FontSpec& font = a.settings.fonts[InfoFont];
    const int dpi = windowDpi(pane);
    const PaneFrame f = paneFrame(state.width, state.height, dpi);
    SelectedFont selected(dc, a.fonts.info);
    if (!state.frozen || state.blank) {
        state.blank = false;
        paintFrame(dc, state.width, state.height, f, font.backColor);
        SetBkMode(dc, TRANSPARENT);
        if (a.run.active()) {
            state.tips.setMode(PaneRunning);
            GdiPaneCanvas canvas(dc);
            const std::vector<PaneField> fields =
                paneRunFields(a.run, a.book, a.settings.answerMode, tickNow());
            drawPaneFields(canvas, fields, f.inner, paneSpacing(dpi, font.size), font.color);
            tellPane(pane, state, paneSpokenFields(fields), true);
        } else {
            state.tips.setMode(a.book.isLoaded() ? PaneBookLoaded : PaneNoBook);
            SetTextColor(dc, shownColour(font.color, COLOR_WINDOWTEXT));
            RECT r = toRect(f.inner);
            drawWrappedText(dc, state.tips.text(), r, 0, scaleForDpi(kTipLineInterval, dpi));
            tellPane(pane, state, paneTip(state.tips.tip), false);
        }
    }
    paintClock(dc, f.inner, font.backColor);
}

void paint(HWND pane, InfoPaneState& state, HDC screen) {
    if (!state.bitmap || state.width <= 0 || state.height <= 0) return;
    HDC memory = CreateCompatibleDC(screen);
    if (!memory) return;
    HGDIOBJ old = SelectObject(memory, state.bitmap.get());
    paintPicture(pane, state, memory);
    BitBlt(screen, 0, 0, state.width, state.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

// A new bitmap of the client size; the old picture goes, so the next paint draws everything.
void onSize(HWND pane, InfoPaneState& state) {
    RECT client;
    GetClientRect(pane, &client);
    state.width = client.right;
    state.height = client.bottom;
    state.bitmap.reset();
    if (state.width <= 0 || state.height <= 0) return;
    HDC dc = GetDC(pane);
    state.bitmap.reset(CreateCompatibleBitmap(dc, state.width, state.height));
    state.blank = true;
    paint(pane, state, dc);
    ReleaseDC(pane, dc);
}

void onTimer(HWND pane, InfoPaneState& state) {
    if (!state.frozen && !app().run.active()) state.tips.tick();
    if (!IsWindowVisible(pane)) return;
    HDC dc = GetDC(pane);
    paint(pane, state, dc);
    ReleaseDC(pane, dc);
}

LRESULT CALLBACK paneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* state = reinterpret_cast<InfoPaneState*>(data);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(pane, &ps);
        paint(pane, *state, dc);
        EndPaint(pane, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        onSize(pane, *state);
        return 0;
    case WM_TIMER:
        if (wParam != kPaneTimer) break;
        onTimer(pane, *state);
        return 0;
    case WM_NCDESTROY: {
        KillTimer(pane, kPaneTimer);
        SetWindowLongPtrW(pane, GWLP_USERDATA, 0);
        RemoveWindowSubclass(pane, paneProc, kPaneSubclass);
        std::unique_ptr<InfoPaneState> owned(state);
        return DefSubclassProc(pane, message, wParam, lParam);
    }
    }
    return DefSubclassProc(pane, message, wParam, lParam);
}

} // namespace

void attachInfoPane(HWND pane) {
    if (!pane) return;
    auto state = std::make_unique<InfoPaneState>();
    if (!SetWindowSubclass(pane, paneProc, kPaneSubclass, reinterpret_cast<DWORD_PTR>(state.get()))) return;
    InfoPaneState& attached = *state.release();
    SetWindowLongPtrW(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&attached));
    onSize(pane, attached);
    SetTimer(pane, kPaneTimer, kPaneTickMs, nullptr);
}

void freezeInfoPane(HWND pane, bool frozen) {
    if (InfoPaneState* state = paneState(pane)) state->frozen = frozen;
}

bool infoPaneFrozen(HWND pane) {
    const InfoPaneState* state = paneState(pane);
    return state && state->frozen;
}

} // namespace rekal::win
