#pragma once
// The layout of a sentence: text runs wrapped in the width, each media tag ending a run and placing
// its object on a band of its own (one pixel of border around it) below the run. The same walk
// measures, paints and places media windows; the device side supplies the canvas.

#include "core/display/wrap.h"

#include <functional>
#include <optional>
#include <string_view>

namespace rekal {

struct ContentSize {
    int width = 0, height = 0;
    friend bool operator==(const ContentSize&, const ContentSize&) = default;
};

class SentenceCanvas {
  public:
    virtual ~SentenceCanvas() = default;
    // Lays one text run out in rect (its bottom is the clip bottom) and returns its height. While
    // measuring, rect.right becomes the right edge of the widest line.
    virtual int textRun(std::string_view run, DisplayRect& rect, bool measureOnly) = 0;
    // Size of the k-th object's picture or window, or none when it takes no space.
    virtual std::optional<ContentSize> objectSize(int index) = 0;
    // Draws or moves the k-th object so that its top-left corner is at (x, y).
    virtual void placeObject(int index, int x, int y) = 0;
};

// Walks the text top to bottom from rect's top and returns the content's width and height (the
// width only while measuring; drawing runs are not measured).
ContentSize layoutSentence(SentenceCanvas& canvas, std::string_view text, const DisplayRect& rect,
                           bool measureOnly);

// The scroll arithmetic of a control whose content is measured with wrap widths from `measure`.
struct ScrollRanges {
    ContentSize content;
    DisplayRect area;      // the area after making room for the scroll bars the content needs
    int horizontalMax = 0; // ranges start at 0
    int verticalMax = 0;
};

using SentenceMeasure = std::function<ContentSize(const DisplayRect& area)>;

// Two passes: measure in the area's width; when the content is wider than the area, its bottom
// gives way to a horizontal scroll bar, and then when it is taller, its right edge to a vertical
// one. The reductions of both passes accumulate. Ranges are 0 .. content - 1 (at least 0).
ScrollRanges computeScrollRanges(const SentenceMeasure& measure, DisplayRect area, int horizontalBarHeight,
                                 int verticalBarWidth);

// The size a control needs to show its content in at most the given area: the content size of
// computeScrollRanges on (0, 0, width, height), plus a scroll bar where the content is at least
// as large as the area that remained.
ContentSize sentenceSizeNeeded(const ScrollRanges& ranges, int horizontalBarHeight, int verticalBarWidth);

// Clamps a scroll step so that the position stays within 0 .. maximum.
int clampScrollStep(int position, int step, int maximum);

// One wheel message's scroll: the pixels to move (positive = down or right, before clamping) and
// the part of the turn too small for a whole line, kept for the next message of the same
// direction.
struct WheelStep {
    int pixels = 0;
    int carried = 0;
};
inline constexpr int kWheelDelta = 120;     // one notch
inline constexpr int kWheelPageScroll = -1; // the system scrolls a page per notch
// `delta` as the message gives it (positive = away from the user for the vertical wheel, to the
// right for the horizontal one; pass the vertical one negated); `linesPerNotch` the system's
// setting (0 = no scrolling, kWheelPageScroll = a page per notch); `line` and `page` in pixels.
WheelStep wheelScrollStep(int delta, int carried, int linesPerNotch, int line, int page);

} // namespace rekal
