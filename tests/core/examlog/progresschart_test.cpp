// The study graph's numbers: the count axis's scale, bars whose two parts meet and stand on the axis,
// a rate line that breaks where nothing was answered, date labels that never touch, and the stacked
// standing bars.

#include "core/examlog/progresschart.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace rekal {
namespace {

constexpr int kTextHeight = 12;

int sixPerByte(std::string_view text) {
    return static_cast<int>(text.size()) * 6;
}

int bottomOf(const PixelRect& r) {
    return r.top + r.height;
}

// Days from `first` on, one per tally given as {answered, right}.
std::vector<DayTally> daysFrom(LogDate first, const std::vector<std::pair<long long, long long>>& counts) {
    std::vector<DayTally> days;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const LogDate date = *dateAfter(first, static_cast<long long>(i));
        days.push_back({date, counts[i].first > 0 ? 1 : 0, counts[i].first, counts[i].second});
    }
    return days;
}

ProgressChart chartOf(const std::vector<DayTally>& days, PixelRect client = {10, 20, 400, 200}) {
    return layoutProgressChart({client, kBaseDpi, kTextHeight, sixPerByte, days});
}

TEST(ChartScale, StepsAreOneTwoOrFiveTimesAPowerOfTenAndCoverTheBusiestDay) {
    EXPECT_EQ(niceChartScale(0, 5).top, 1);
    EXPECT_EQ(niceChartScale(7, 5).step, 2);
    EXPECT_EQ(niceChartScale(7, 5).top, 8);
    EXPECT_EQ(niceChartScale(100, 5).step, 20);
    EXPECT_EQ(niceChartScale(101, 5).step, 50);
    EXPECT_EQ(niceChartScale(101, 5).top, 150);
    EXPECT_EQ(niceChartScale(3, 0).top, 5);
    const ChartScale huge = niceChartScale(3'000'000'001LL, 5);
    EXPECT_EQ(huge.step, 1'000'000'000LL);
    EXPECT_EQ(huge.top, 4'000'000'000LL);
    const ChartScale limit = niceChartScale(std::numeric_limits<long long>::max() - 5, 5);
    EXPECT_GE(limit.top, std::numeric_limits<long long>::max() - 5);
}

TEST(ProgressChart, BarsStandOnTheAxisTheRateLineBreaksOnDaysWithoutAnswers) {
    // 5/30 ... 6/5: answers on the 1st, 3rd, 4th and 7th day.
    const std::vector<DayTally> days =
        daysFrom({2024, 5, 30}, {{10, 5}, {0, 0}, {8, 8}, {4, 0}, {0, 0}, {0, 0}, {2, 1}});
    const ProgressChart c = chartOf(days);
    const PixelRect& plot = c.plot;
    ASSERT_GT(plot.width, 0);
    ASSERT_GT(plot.height, 0);
    // The axes' labels lie outside the plot, inside the client.
    EXPECT_EQ(c.countTicks.back().value, 10);
    EXPECT_EQ(c.countTicks.back().y, plot.top);
    EXPECT_EQ(c.countTicks.front().y, bottomOf(plot));
    EXPECT_LE(c.countTicks.front().labelRect.left + c.countTicks.front().labelRect.width, plot.left);
    EXPECT_EQ(c.rateTicks.back().label, "100%");
    EXPECT_LE(c.rateTicks.back().labelRect.left + c.rateTicks.back().labelRect.width, 410);

    ASSERT_EQ(c.bars.size(), 4u);
    for (const ChartBar& b : c.bars) {
        EXPECT_EQ(bottomOf(b.right), bottomOf(plot));
        EXPECT_EQ(bottomOf(b.wrong), b.right.top); // the two parts meet
        EXPECT_GE(b.right.left, plot.left);
        EXPECT_LE(b.right.left + b.right.width, plot.left + plot.width);
    }
    EXPECT_EQ(c.bars[0].wrong.top, plot.top);                  // the busiest day reaches the top
    EXPECT_EQ(c.bars[0].right.height, c.bars[0].wrong.height); // half right
    EXPECT_EQ(c.bars[1].wrong.height, 0);                      // all right
    EXPECT_EQ(c.bars[2].right.height, 0);                      // all wrong

    ASSERT_EQ(c.rateLines.size(), 3u);
    EXPECT_EQ(c.rateLines[0].size(), 1u);
    ASSERT_EQ(c.rateLines[1].size(), 2u);
    EXPECT_EQ(c.rateLines[1][0].y, plot.top);       // 100%
    EXPECT_EQ(c.rateLines[1][1].y, bottomOf(plot)); // 0%
    EXPECT_EQ(c.rateLines[2].size(), 1u);
    EXPECT_EQ(c.rateLines[0][0].x, c.bars[0].right.left + c.bars[0].right.width / 2);

    // Seven days in 400 pixels: every day labelled, in the month/day form.
    ASSERT_EQ(c.dateLabels.size(), 7u);
    EXPECT_EQ(c.dateLabels[0].text, "5/30");
    EXPECT_EQ(c.dateLabels[2].text, "6/1");
}

TEST(ProgressChart, EmptyOneDayAndHugePeriodsTinyClients) {
    const ProgressChart none = chartOf({});
    EXPECT_GT(none.plot.width, 0);
    EXPECT_TRUE(none.bars.empty());
    EXPECT_TRUE(none.rateLines.empty());
    EXPECT_TRUE(none.dateLabels.empty());
    EXPECT_EQ(none.countTicks.size(), 2u); // 0 and 1

    const ProgressChart quiet =
        chartOf(daysFrom({2024, 1, 1}, std::vector<std::pair<long long, long long>>(30)));
    EXPECT_TRUE(quiet.bars.empty());
    EXPECT_FALSE(quiet.dateLabels.empty());

    const ProgressChart one = chartOf(daysFrom({2024, 2, 29}, {{3'000'000'001LL, 1}}));
    ASSERT_EQ(one.bars.size(), 1u);
    EXPECT_EQ(one.countTicks.back().label, "4000000000");
    EXPECT_EQ(bottomOf(one.plot) - one.bars[0].wrong.top, one.plot.height * 3 / 4);
    EXPECT_EQ(one.bars[0].right.height, 1); // its one right answer
    // A day far below the busiest still shows a pixel, in the colour of its answers.
    const ProgressChart thin = chartOf(daysFrom({2024, 1, 1}, {{1'000'000, 0}, {1, 1}, {1, 0}}));
    ASSERT_EQ(thin.bars.size(), 3u);
    EXPECT_EQ(thin.bars[1].right.height, 1);
    EXPECT_EQ(thin.bars[1].wrong.height, 0);
    EXPECT_EQ(thin.bars[2].right.height, 0);
    EXPECT_EQ(thin.bars[2].wrong.height, 1);
    ASSERT_EQ(one.dateLabels.size(), 1u);
    EXPECT_EQ(one.dateLabels[0].text, "2/29");

    // A client with no room for a plot gets nothing to draw.
    const ProgressChart tiny = chartOf(daysFrom({2024, 1, 1}, {{1, 1}}), {0, 0, 30, 20});
    EXPECT_EQ(tiny.plot.width * tiny.plot.height, 0);
    EXPECT_TRUE(tiny.bars.empty());
    EXPECT_TRUE(tiny.countTicks.empty());
}

TEST(ProgressChart, AYearInANarrowPlotIsLabelledSparselyAndNeverOverlaps) {
    std::vector<std::pair<long long, long long>> counts(365, {1, 1});
    for (const int width : {260, 500, 1200}) {
        const PixelRect client{0, 0, width, 150};
        const ProgressChart c = chartOf(daysFrom({2023, 6, 2}, counts), client);
        ASSERT_GE(c.dateLabels.size(), 2u) << width;
        EXPECT_EQ(c.dateLabels.back().day, 364u) << width; // today
        EXPECT_EQ(c.dateLabels.back().text, "5/31");
        for (std::size_t k = 0; k < c.dateLabels.size(); ++k) {
            const PixelRect& r = c.dateLabels[k].rect;
            EXPECT_GE(r.left, 0);
            EXPECT_LE(r.left + r.width, width);
            if (k > 0) {
                EXPECT_LT(c.dateLabels[k - 1].rect.left + c.dateLabels[k - 1].rect.width, r.left) << width;
            }
        }
        // Every day still has its bar, at least a pixel wide.
        EXPECT_EQ(c.bars.size(), 365u);
        EXPECT_GE(c.bars[100].right.width, 1);
    }
}

TEST(StandingChart, PartsMeetAndBarsScaleToTheLargestGroup) {
    GroupStanding small{3, {0, 0, 0, 0, 1, 1, 0}};
    GroupStanding large{0, {3, 1, 0, 0, 2, 1, 3}};
    const std::vector<GroupStanding> groups = {large, small};
    const std::vector<StandingBar> bars =
        layoutStandingChart({{10, 10, 300, 100}, kBaseDpi, kTextHeight, 40, groups});
    ASSERT_EQ(bars.size(), 2u);
    const int barLeft = 10 + 40 + 4;
    EXPECT_EQ(bars[0].bar, (PixelRect{barLeft, 10, 310 - barLeft, bars[0].bar.height}));
    EXPECT_EQ(bars[1].bar.width, (310 - barLeft) * 2 / 10);
    EXPECT_GT(bars[1].bar.top, bars[0].bar.top + bars[0].bar.height - 1);
    for (const StandingBar& b : bars) {
        int x = b.bar.left;
        for (StandingKind kind : kStandingDrawOrder) {
            EXPECT_EQ(b.parts[kind].left, x);
            x += b.parts[kind].width;
        }
        EXPECT_EQ(x, b.bar.left + b.bar.width);
    }
    EXPECT_EQ(bars[0].parts[StandingRight5].left, barLeft); // the best standing first
    EXPECT_EQ(bars[0].parts[StandingNeverAsked].left + bars[0].parts[StandingNeverAsked].width, 310);
    EXPECT_EQ(bars[1].parts[StandingRight1].width, 0);

    // Ten groups in a low client share its height.
    const std::vector<GroupStanding> ten(10, small);
    const std::vector<StandingBar> squeezed =
        layoutStandingChart({{0, 0, 200, 50}, kBaseDpi, kTextHeight, 40, ten});
    EXPECT_LE(bottomOf(squeezed.back().bar), 50);
}

int rightOf(const PixelRect& r) {
    return r.left + r.width;
}

bool overlap(const PixelRect& a, const PixelRect& b) {
    return a.left < rightOf(b) && b.left < rightOf(a) && a.top < bottomOf(b) && b.top < bottomOf(a);
}

bool inside(const PixelRect& r, const PixelRect& client) {
    if (r.width < 0 || r.height < 0) return false;
    return r.width == 0 || r.height == 0 || // an empty part may stand anywhere
           (r.left >= client.left && r.top >= client.top && rightOf(r) <= rightOf(client) &&
            bottomOf(r) <= bottomOf(client));
}

// The window's parts at any size: inside the client, never overlapping, never negative; the
// controls wrap in a narrow window; without groups the chart reaches the bottom.
TEST(StudyGraphLayout, PartsStayInsideWithoutOverlappingAtAnySize) {
    const std::vector<int> widths = {100, 120, 100, 60};
    StudyGraphLayoutInput in{{0, 0, 640, 440}, kBaseDpi, kTextHeight, widths, 20, 150, 3};
    for (const PixelRect client :
         {PixelRect{0, 0, 640, 440}, PixelRect{0, 0, 250, 200}, PixelRect{0, 0, 30, 30}}) {
        in.client = client;
        const StudyGraphLayout l = layoutStudyGraph(in);
        for (const PixelRect& r : {l.chart, l.summary, l.standing, l.standingTitle})
            EXPECT_TRUE(inside(r, client)) << client.width;
        EXPECT_FALSE(overlap(l.chart, l.standing) || overlap(l.summary, l.standing) ||
                     overlap(l.chart, l.summary))
            << client.width;
    }
    in.client = {0, 0, 640, 440};
    EXPECT_EQ(layoutStudyGraph(in).controls[3].top, layoutStudyGraph(in).controls[0].top); // one row
    in.client = {0, 0, 250, 200};
    EXPECT_GT(layoutStudyGraph(in).controls[2].top, layoutStudyGraph(in).controls[0].top); // wrapped
    in.standingGroups = 0;
    const StudyGraphLayout l = layoutStudyGraph(in);
    EXPECT_EQ(l.standing.height, 0);
    EXPECT_EQ(bottomOf(l.chart), bottomOf(l.summary));
}

} // namespace
} // namespace rekal
