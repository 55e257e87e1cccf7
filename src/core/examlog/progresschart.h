#pragma once
// The study graph's pictures as pixel numbers: the daily chart (a bar of the questions answered per
// day, its right part at the bottom and its wrong part above, and a line of the rate of right
// answers that breaks on days without answers) with its two labelled axes and its date labels, and
// the stacked bars of how the open book's questions stand, one per group. The window measures its
// texts and draws; everything in between is here.

#include "core/examlog/stats.h"
#include "core/shell/dpi.h"
#include "core/shell/geometry.h"

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// The width in pixels of a text in the window's font, measured by the window.
using TextWidthFn = std::function<int(std::string_view)>;

// Axis titles: the count on the left, the rate on the right.
inline constexpr const char* kChartCountAxisTitle = "解答数";
inline constexpr const char* kChartRateAxisTitle = "正解率";

struct ChartTick {
    long long value = 0; // questions, or percent on the rate axis
    int y = 0;           // the grid line's y
    std::string label;   // "20", "50%"
    PixelRect labelRect; // right-aligned to the left axis, or left-aligned to the right one
};

struct ChartBar {
    std::size_t day = 0; // index into the period's days
    PixelRect right;     // bottom part; may be empty
    PixelRect wrong;     // on top of it; may be empty
};

struct ChartPoint {
    int x = 0, y = 0;
    bool operator==(const ChartPoint&) const = default;
};

struct ChartDateLabel {
    std::size_t day = 0;
    std::string text; // "12/7"
    PixelRect rect;   // centred under the day, kept inside the client
};

struct ProgressChart {
    PixelRect plot; // the area inside the axes; empty when the client is too small to draw in
    PixelRect countTitle, rateTitle;                // the axis titles, above the left and the right axis
    std::vector<ChartTick> countTicks;              // from 0 upward, the last one the axis top
    std::vector<ChartTick> rateTicks;               // 0% to 100%
    std::vector<ChartBar> bars;                     // days with answers only
    std::vector<std::vector<ChartPoint>> rateLines; // one polyline per run of days with answers; a
                                                    // run of one day is a single point (draw a dot)
    std::vector<ChartDateLabel> dateLabels;
};

struct ProgressChartInput {
    PixelRect client;
    int dpi = kBaseDpi;
    int textHeight = 0; // one line of the window's font
    TextWidthFn textWidth;
    std::span<const DayTally> days; // the period, oldest first, one per calendar day (periodDays)
};

// The chart of a period. The count axis runs from 0 to a "nice" top (1, 2 or 5 times a power of ten
// per step) at or above the busiest day, with as many steps as fit two text lines apart (at most
// five); the rate axis from 0% to 100% in quarters. Date labels go on every day, every few days
// counted back from the last, on the first of each month, or on the first of each quarter, whichever
// is the densest whose labels do not touch; the last day is always labelled when days are.
ProgressChart layoutProgressChart(const ProgressChartInput& in);

// The nice step and top of the count axis for a busiest day of `maxValue` in at most `maxSteps`
// steps (maxSteps below 1 counts as 1). A period without answers (maxValue 0) gets step and top 1.
struct ChartScale {
    long long step = 1;
    long long top = 1;
};
ChartScale niceChartScale(long long maxValue, int maxSteps);

// "12/7"
std::string chartDateText(const LogDate& date);

// ---- the standing of a book's questions ----

struct StandingBar {
    int group = 0;
    PixelRect labelRect; // the group name, left of the bar
    PixelRect bar;       // the whole bar (its length shows the group's question count)
    std::array<PixelRect, kStandingKinds> parts{}; // by StandingKind, left to right in drawing order
};

struct StandingChartInput {
    PixelRect client;
    int dpi = kBaseDpi;
    int textHeight = 0;
    int labelWidth = 0; // the widest group name, measured
    std::span<const GroupStanding> groups;
};

// One horizontal bar per group, top to bottom, each as high as a text line (less when the groups do
// not fit otherwise), lengths in proportion to the largest group. The parts are drawn left to right
// from the best standing (five right) down to the never asked ones; each part's edges come from the
// running totals, so the parts of a bar meet without gaps and end exactly at its end.
std::vector<StandingBar> layoutStandingChart(const StandingChartInput& in);

// The drawing order of the parts, left to right.
inline constexpr StandingKind kStandingDrawOrder[kStandingKinds] = {
    StandingRight5, StandingRight4, StandingRight3,    StandingRight2,
    StandingRight1, StandingWrong,  StandingNeverAsked};

// ---- the window's parts ----

// The summary beside the chart, one line each: days studied, the current streak, runs, answered,
// right and the rate.
std::vector<std::string> studySummaryLines(const StudySummary& summary);

struct StudyGraphLayoutInput {
    PixelRect client;
    int dpi = kBaseDpi;
    int textHeight = 0;
    std::span<const int> controlWidths; // the row of choices and buttons, left to right, measured
    int controlHeight = 0;
    int summaryWidth = 0;   // the widest summary line, measured
    int standingGroups = 0; // the groups of the standing bars; 0 draws none
};

struct StudyGraphLayout {
    std::vector<PixelRect> controls; // one per control width, in order
    PixelRect chart;                 // for layoutProgressChart
    PixelRect summary;               // right of the chart, as high as it
    PixelRect standingTitle;         // one text line above the standing bars (empty without them)
    PixelRect standing;              // for layoutStandingChart (empty without groups)
};

// The client split among its parts. The controls run left to right from the top left corner and
// wrap onto another row when the next one would pass the right edge. Below them, the standing bars
// (when there are groups) take the bottom, a line of text per group plus their title, at most two
// fifths of what is left; the summary takes the right of the rest, as wide as its widest line but
// at most a third of it, and the chart the remainder. Parts that do not fit are empty, never
// negative.
StudyGraphLayout layoutStudyGraph(const StudyGraphLayoutInput& in);

} // namespace rekal
