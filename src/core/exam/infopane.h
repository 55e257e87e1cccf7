#pragma once
// What the information pane shows and where: the usage tips typed out while no exam runs, the run's
// fields (method, answer mode, rate, questions and time left) with their label bands, the frame and
// the blinking clock. The window paints through a PaneCanvas; everything with a number in it is here.

#include "core/data/book.h"
#include "core/display/wrap.h"
#include "core/exam/clock.h"
#include "core/exam/run.h"
#include "core/settings/settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// ---- tips ----

inline constexpr int kTipCount = 9;
// Ticks a finished tip stays on the pane before the next one starts (about 8 seconds).
inline constexpr int kTipHoldTicks = 81;
// Ticks of the pause after a "。".
inline constexpr int kTipSentencePause = 2;

// Tip n (0 to 8); tip 0 asks for a file, 1 to 8 explain the commands.
std::string_view paneTip(int n);

enum PaneMode : int { PaneNoBook = 0, PaneBookLoaded = 1, PaneRunning = 2 };

// The tip being typed out, one character per 100 ms tick.
struct TipTyper {
    int mode = PaneNoBook;
    int tip = 0;
    std::size_t shown = 0; // bytes of the tip on the pane
    int pause = 0;
    int doneTicks = 0; // ticks since the whole tip was shown

    // A new mode starts over: tip 1 once a book is loaded, tip 0 without one (and tip 0 while a
    // run holds the pane). The same mode changes nothing.
    void setMode(int newMode);
    // One tick: a pause tick, or one more character (both bytes of a double-byte one); a "。" is
    // followed by a pause. A whole tip is held, then the next one starts: 1 to 8 in turn with a
    // book, tip 0 again without.
    void tick();
    std::string_view text() const;
};

// ---- the run's fields ----

struct PaneField {
    std::string label; // "[出題方法]"
    std::string value;
    bool ticking = false; // the time field, new at every tick
};

// The fields of a running exam at tick `now`: method, answer mode, rate, questions left after the
// current one, and while the run has its results the time left of the question's limit (or the
// time spent without a limit).
std::vector<PaneField> paneRunFields(const ExamRun& run, const QuestionBook& book, int answerMode,
                                     std::uint32_t now);

// ---- what screen readers are told ----

// The pane's fields as one line for its accessible name: "出題方法：順番、解答モード：選択式、...",
// the labels without their brackets. The ticking time field is left out, so the name changes with a
// question or a verdict, not ten times a second.
std::string paneSpokenFields(const std::vector<PaneField>& fields);

// ---- painting ----

// The background all around the pane's frame, the label texts and the clock.
inline constexpr Color kPaneSurround = 0xFF78A0;    // RGB(160,120,255)
inline constexpr Color kPaneLabelColour = 0x2850DC; // RGB(220,80,40)
inline constexpr Color kPaneClockColour = 0x009650; // RGB(80,150,0)
inline constexpr Color kPaneWhite = 0xFFFFFF;

// Column e (1 to g) of a label band's ramp g columns long: from near white to RGB(160,170,160).
Color labelBandColour(int e, int g);

// The pane's frame in a client area of width x height: the rounded frame with its shadow and the
// area inside, where fields, tips and the clock go. 96-dpi margins scaled by dpi.
struct PaneFrame {
    DisplayRect frame;  // the rounded rectangle in the pane's colour with a black outline
    DisplayRect shadow; // the black rounded rectangle under it, one pixel lower and further right
    DisplayRect inner;
    int corner = 16;
};
PaneFrame paneFrame(int width, int height, int dpi);

// The drawing the fields need from a device.
class PaneCanvas {
  public:
    virtual ~PaneCanvas() = default;
    // A wrapped text run in the pane's font (measure-only: nothing drawn, rect's right and bottom
    // get the extent); returns its height.
    virtual int wrapText(std::string_view text, DisplayRect& rect, bool measureOnly, int lineInterval) = 0;
    virtual void setTextColour(Color colour) = 0;
    virtual void fillRect(const DisplayRect& r, Color colour) = 0;
};

// The 96-dpi spacing of the fields, scaled.
struct PaneSpacing {
    int bandWhite = 21; // the white start of a label band
    int bandBelow = 2;  // the band reaches this far below the label
    int labelShift = 1; // the label is drawn this much lower than its band
    int lineInterval = 4;
    int labelGap = 4; // between label and value
    int valueGap = 8; // after a value: half the font's point size + 4
};
PaneSpacing paneSpacing(int dpi, int fontPoints);

// Draws the fields from the top of `area` down, each a label on its band and the value under it in
// `valueColour`; a field whose top has passed the area's bottom is left out. Returns the top left
// for what follows.
int drawPaneFields(PaneCanvas& canvas, const std::vector<PaneField>& fields, const DisplayRect& area,
                   const PaneSpacing& spacing, Color valueColour);

// The clock's texts: the hour, ":" or (the first half of each second) a blank, the minute.
struct ClockText {
    std::string hour, separator, minute;
};
ClockText clockText(const LocalTime& time);

// Where the clock goes on the bottom line of `inner`: the hour ends at the point (width − width of
// ":") / 2 from the left, the separator starts there and the minute follows it.
struct ClockPlace {
    DisplayRect line; // the clock's line, painted in the pane's background first
    int hourRight = 0;
    int separatorLeft = 0;
    int minuteLeft = 0;
};
ClockPlace clockPlace(const DisplayRect& inner, int lineHeight, int colonWidth);

} // namespace rekal
