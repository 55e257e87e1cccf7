#include "core/examlog/progresschart.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rekal {

namespace {

constexpr int kMaxCountSteps = 5;
constexpr int kRateStepPercent = 25;

int bottomOf(const PixelRect& r) {
    return r.top + r.height;
}

int rightOf(const PixelRect& r) {
    return r.left + r.width;
}

// The day slots across the plot: slot i spans [edge(i), edge(i + 1)).
class DaySlots {
  public:
    DaySlots(const PixelRect& plot, std::size_t count) : plot_(plot), count_(count) {}
    int edge(std::size_t i) const {
        return plot_.left + static_cast<int>(static_cast<long long>(i) * plot_.width /
                                             static_cast<long long>(std::max<std::size_t>(count_, 1)));
    }
    int centre(std::size_t i) const {
        return plot_.left + static_cast<int>((2 * static_cast<long long>(i) + 1) * plot_.width /
                                             (2 * static_cast<long long>(std::max<std::size_t>(count_, 1))));
    }

  private:
    PixelRect plot_;
    std::size_t count_;
};

// The y of a share of the plot's height, 0 at the bottom.
int yOfShare(const PixelRect& plot, double share) {
    return bottomOf(plot) - static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * plot.height));
}

// The count axis's ticks and the rate axis's, with their label texts (rects filled in later).
std::vector<ChartTick> countTickValues(const ChartScale& scale) {
    std::vector<ChartTick> ticks;
    for (long long v = 0; v <= scale.top; v += scale.step) {
        ticks.push_back({v, 0, std::to_string(v), {}});
        if (scale.top - v < scale.step) break; // no overflow past a huge top
    }
    return ticks;
}

std::vector<ChartTick> rateTickValues() {
    std::vector<ChartTick> ticks;
    for (int p = 0; p <= 100; p += kRateStepPercent)
        ticks.push_back({p, 0, std::to_string(p) + "%", {}});
    return ticks;
}

int widestLabel(const std::vector<ChartTick>& ticks, const TextWidthFn& width) {
    int w = 0;
    for (const ChartTick& t : ticks)
        w = std::max(w, width(t.label));
    return w;
}

// The days a way of labelling picks, oldest first.
enum class DateStep { EveryDay, Every2, Every3, Weekly, Fortnightly, Monthly, Quarterly };
constexpr DateStep kDateSteps[] = {DateStep::EveryDay, DateStep::Every2,      DateStep::Every3,
                                   DateStep::Weekly,   DateStep::Fortnightly, DateStep::Monthly,
                                   DateStep::Quarterly};

std::vector<std::size_t> labelledDays(std::span<const DayTally> days, DateStep step) {
    std::vector<std::size_t> picked;
    const std::size_t n = days.size();
    const auto every = [&](std::size_t k) {
        for (std::size_t i = (n - 1) % k; i < n; i += k)
            picked.push_back(i);
    };
    switch (step) {
    case DateStep::EveryDay:
        every(1);
        return picked;
    case DateStep::Every2:
        every(2);
        return picked;
    case DateStep::Every3:
        every(3);
        return picked;
    case DateStep::Weekly:
        every(7);
        return picked;
    case DateStep::Fortnightly:
        every(14);
        return picked;
    case DateStep::Monthly:
    case DateStep::Quarterly:
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const LogDate& d = days[i].date;
            if (d.day == 1 && (step == DateStep::Monthly || d.month % 3 == 1)) picked.push_back(i);
        }
        picked.push_back(n - 1);
        return picked;
    }
    return picked;
}

std::vector<ChartDateLabel> placeDateLabels(const std::vector<std::size_t>& picked,
                                            std::span<const DayTally> days, const DaySlots& slots,
                                            const ProgressChartInput& in, int top) {
    std::vector<ChartDateLabel> labels;
    for (std::size_t i : picked) {
        ChartDateLabel label{i, chartDateText(days[i].date), {}};
        const int w = in.textWidth(label.text);
        const int left = std::clamp(slots.centre(i) - w / 2, in.client.left,
                                    std::max(in.client.left, rightOf(in.client) - w));
        label.rect = {left, top, w, in.textHeight};
        labels.push_back(std::move(label));
    }
    return labels;
}

// Whether no two labels come closer than `gap` pixels.
bool labelsApart(const std::vector<ChartDateLabel>& labels, int gap) {
    for (std::size_t k = 1; k < labels.size(); ++k) {
        if (rightOf(labels[k - 1].rect) + gap > labels[k].rect.left) return false;
    }
    return true;
}

std::vector<ChartDateLabel> chooseDateLabels(std::span<const DayTally> days, const DaySlots& slots,
                                             const ProgressChartInput& in, int top, int gap) {
    if (days.empty()) return {};
    for (DateStep step : kDateSteps) {
        std::vector<std::size_t> picked = labelledDays(days, step);
        std::vector<ChartDateLabel> labels = placeDateLabels(picked, days, slots, in, top);
        // The last day's label wins over a month's first that comes too close to it.
        while (labels.size() >= 2 && rightOf(labels[labels.size() - 2].rect) + gap > labels.back().rect.left)
            labels.erase(labels.end() - 2);
        if (labelsApart(labels, gap)) return labels;
    }
    return placeDateLabels({days.size() - 1}, days, slots, in, top);
}

} // namespace

ChartScale niceChartScale(long long maxValue, int maxSteps) {
    maxSteps = std::max(maxSteps, 1);
    if (maxValue <= 0) return {1, 1};
    // The smallest 1, 2 or 5 times a power of ten that covers maxValue in maxSteps steps.
    const long long least = (maxValue + maxSteps - 1) / maxSteps;
    for (long long power = 1;; power *= 10) {
        for (long long m : {1LL, 2LL, 5LL}) {
            const long long step = m * power;
            if (step < least) continue;
            const long long steps = maxValue / step + (maxValue % step != 0 ? 1 : 0);
            if (steps > std::numeric_limits<long long>::max() / step) return {least, maxValue};
            return {step, steps * step};
        }
        if (power > std::numeric_limits<long long>::max() / 100) return {least, maxValue};
    }
}

std::string chartDateText(const LogDate& date) {
    return std::to_string(date.month) + "/" + std::to_string(date.day);
}

ProgressChart layoutProgressChart(const ProgressChartInput& in) {
    const auto s = [&in](int px96) { return scaleForDpi(px96, in.dpi); };
    const int pad = s(4);
    const int textH = in.textHeight;
    ProgressChart chart;

    chart.countTitle = {in.client.left, in.client.top, in.textWidth(kChartCountAxisTitle), textH};
    const int rateTitleWidth = in.textWidth(kChartRateAxisTitle);
    chart.rateTitle = {rightOf(in.client) - rateTitleWidth, in.client.top, rateTitleWidth, textH};

    const int plotTop = in.client.top + textH + pad;
    const int plotBottom = bottomOf(in.client) - textH - pad;
    if (plotBottom - plotTop <= 0) return chart;

    long long busiest = 0;
    for (const DayTally& d : in.days)
        busiest = std::max(busiest, d.answered);
    const int fit = textH > 0 ? (plotBottom - plotTop) / (2 * textH) : kMaxCountSteps;
    const ChartScale scale = niceChartScale(busiest, std::clamp(fit, 1, kMaxCountSteps));
    chart.countTicks = countTickValues(scale);
    chart.rateTicks = rateTickValues();

    const int plotLeft = in.client.left + widestLabel(chart.countTicks, in.textWidth) + pad;
    const int plotRight = rightOf(in.client) - widestLabel(chart.rateTicks, in.textWidth) - pad;
    if (plotRight - plotLeft <= 0) {
        chart.countTicks.clear();
        chart.rateTicks.clear();
        return chart;
    }
    chart.plot = {plotLeft, plotTop, plotRight - plotLeft, plotBottom - plotTop};
    const PixelRect& plot = chart.plot;

    for (ChartTick& t : chart.countTicks) {
        t.y = yOfShare(plot, static_cast<double>(t.value) / static_cast<double>(scale.top));
        const int w = in.textWidth(t.label);
        t.labelRect = {plot.left - pad - w, t.y - textH / 2, w, textH};
    }
    for (ChartTick& t : chart.rateTicks) {
        t.y = yOfShare(plot, static_cast<double>(t.value) / 100.0);
        t.labelRect = {rightOf(plot) + pad, t.y - textH / 2, in.textWidth(t.label), textH};
    }

    const DaySlots slots(plot, in.days.size());
    bool inLine = false;
    for (std::size_t i = 0; i < in.days.size(); ++i) {
        const DayTally& d = in.days[i];
        if (d.answered <= 0) {
            inLine = false; // a gap in the rate line
            continue;
        }
        const int slotWidth = slots.edge(i + 1) - slots.edge(i);
        const int gap = slotWidth >= 4 ? std::max(1, slotWidth / 5) : 0;
        const int x = slots.edge(i) + gap;
        const int w = std::max(1, slotWidth - 2 * gap);
        const double top = static_cast<double>(scale.top);
        // A day with answers shows at least one pixel however small its share, right when it has a
        // right answer.
        const int yTotal =
            std::min(yOfShare(plot, static_cast<double>(d.answered) / top), bottomOf(plot) - 1);
        const int yRight =
            d.right > 0
                ? std::max(std::min(yOfShare(plot, static_cast<double>(d.right) / top), bottomOf(plot) - 1),
                           yTotal)
                : bottomOf(plot);
        chart.bars.push_back({i, {x, yRight, w, bottomOf(plot) - yRight}, {x, yTotal, w, yRight - yTotal}});

        const ChartPoint point{
            slots.centre(i), yOfShare(plot, static_cast<double>(d.right) / static_cast<double>(d.answered))};
        if (!inLine) chart.rateLines.emplace_back();
        chart.rateLines.back().push_back(point);
        inLine = true;
    }

    chart.dateLabels = chooseDateLabels(in.days, slots, in, bottomOf(plot) + pad, pad * 2);
    return chart;
}

std::vector<StandingBar> layoutStandingChart(const StandingChartInput& in) {
    const auto s = [&in](int px96) { return scaleForDpi(px96, in.dpi); };
    const int pad = s(4);
    std::vector<StandingBar> bars;
    if (in.groups.empty() || in.client.height <= 0) return bars;

    const int groups = static_cast<int>(in.groups.size());
    const int pitch = std::max(1, std::min(in.textHeight + pad, in.client.height / groups));
    const int barHeight = std::max(1, pitch - std::max(1, pitch / 5));
    const int barLeft = in.client.left + in.labelWidth + pad;
    const long long room = std::max(0, rightOf(in.client) - barLeft);
    long long largest = 0;
    for (const GroupStanding& g : in.groups)
        largest = std::max<long long>(largest, g.total());

    int top = in.client.top;
    for (const GroupStanding& g : in.groups) {
        StandingBar bar;
        bar.group = g.group;
        bar.labelRect = {in.client.left, top, in.labelWidth, barHeight};
        const auto edge = [&](long long upTo) {
            return barLeft + static_cast<int>(largest > 0 ? upTo * room / largest : 0);
        };
        long long done = 0;
        for (StandingKind kind : kStandingDrawOrder) {
            const int from = edge(done);
            done += g.counts[static_cast<std::size_t>(kind)];
            bar.parts[static_cast<std::size_t>(kind)] = {from, top, edge(done) - from, barHeight};
        }
        bar.bar = {barLeft, top, edge(done) - barLeft, barHeight};
        bars.push_back(bar);
        top += pitch;
    }
    return bars;
}

std::vector<std::string> studySummaryLines(const StudySummary& summary) {
    const auto days = [](int n) { return std::to_string(n) + "日"; };
    const auto count = [](long long n, const char* unit) { return std::to_string(n) + unit; };
    return {"学習した日数：" + days(summary.daysStudied), "連続学習日数：" + days(summary.streak),
            "出題回数：" + count(summary.runs, "回"),     "解答数：" + count(summary.answered, "問"),
            "正解数：" + count(summary.right, "問"),      "正解率：" + summary.rate};
}

StudyGraphLayout layoutStudyGraph(const StudyGraphLayoutInput& in) {
    const auto s = [&in](int px96) { return scaleForDpi(px96, in.dpi); };
    const int margin = s(8);
    const int gap = s(6);
    const auto clampRect = [](int left, int top, int width, int height) {
        return PixelRect{left, top, std::max(0, width), std::max(0, height)};
    };
    StudyGraphLayout out;

    const int left = in.client.left + margin;
    const int right = rightOf(in.client) - margin;
    int x = left;
    int y = in.client.top + margin;
    for (int w : in.controlWidths) {
        if (x > left && x + w > right) { // another row
            x = left;
            y += in.controlHeight + gap;
        }
        out.controls.push_back(clampRect(x, y, w, in.controlHeight));
        x += w + gap;
    }
    const int bodyTop = out.controls.empty() ? y : y + in.controlHeight + margin;
    const int bodyBottom = bottomOf(in.client) - margin;
    const int bodyHeight = std::max(0, bodyBottom - bodyTop);
    const int bodyWidth = std::max(0, right - left);

    int chartBottom = bodyBottom;
    if (in.standingGroups > 0 && bodyHeight > 0) {
        const int wanted = (in.standingGroups + 1) * (in.textHeight + s(4));
        const int height = std::min(wanted, bodyHeight * 2 / 5);
        const int top = bodyBottom - height;
        const int titleHeight = std::min(in.textHeight, height);
        out.standingTitle = clampRect(left, top, bodyWidth, titleHeight);
        out.standing = clampRect(left, top + titleHeight, bodyWidth, height - titleHeight);
        chartBottom = top - gap;
    }
    const int chartHeight = std::max(0, chartBottom - bodyTop);
    const int summaryWidth = std::min(in.summaryWidth, bodyWidth / 3);
    out.summary = clampRect(right - summaryWidth, bodyTop, summaryWidth, chartHeight);
    out.chart =
        clampRect(left, bodyTop, bodyWidth - summaryWidth - (summaryWidth > 0 ? gap : 0), chartHeight);
    return out;
}

} // namespace rekal
