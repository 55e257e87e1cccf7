#include "core/exam/infopane.h"

#include "core/base/sjis.h"
#include "core/match/format.h"
#include "core/shell/dpi.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace rekal {

namespace {

constexpr std::array<std::string_view, kTipCount> kTips = {
    "ファイルを読み込むには，「ファイル」メニューの「開く」を実行して下さい。",
    "出題範囲を指定するには，「開始」メニューの「出題範囲」を実行して下さい。",
    "標準モードでは，データファイル指定の形式で解答します。",
    "記述式モードにすると，すべての問題を記述式で出題します。",
    "選択式モードにすると，すべての問題を選択式で出題します。このとき，「表示」－「カスタマイズ」メニューの"
    "「問題」タブの「選択肢」欄で，選択肢を選んでくる問題の種類を指定できます。",
    "確認モードでは，「答え」ボタンをクリックすると答えが表示され，自分で正解／不正解を決められます。",
    "順番に出題したいときは，「すべて」を実行します。",
    "最近間違えた問題を中心に出題したいときは，「弱点問題」を実行します。",
    "徹底的に暗記したいときは，「完全」を実行します。範囲内の問題をすべて正解するまで終わりません。",
};

constexpr std::string_view kFullStop = "。";

std::string numbered(const char* format, long long n) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, n);
    return buffer;
}

// The questions left after the current one: the eligible ones behind the cursor of an in-order
// run, at least the right answers still missing of a complete run, else what is left to draw.
std::string remainingText(const ExamRun& run, const QuestionBook& book) {
    if (run.method == kMethodAll)
        return numbered("%lld問", book.countInRange(run.current + 1, run.range.last));
    if (methodKind(run.method) == KindComplete) return numbered("最低%lld問", run.remaining - 1LL);
    return numbered("%lld問", run.remaining);
}

constexpr Color rgb(int r, int g, int b) {
    return static_cast<Color>(r) | static_cast<Color>(g) << 8 | static_cast<Color>(b) << 16;
}

} // namespace

std::string_view paneTip(int n) {
    return n >= 0 && n < kTipCount ? kTips[static_cast<std::size_t>(n)] : std::string_view();
}

void TipTyper::setMode(int newMode) {
    if (newMode == mode) return;
    mode = newMode;
    tip = newMode == PaneBookLoaded ? 1 : 0;
    shown = 0;
    pause = 0;
    doneTicks = 0;
}

void TipTyper::tick() {
    const std::string_view full = paneTip(tip);
    if (shown < full.size()) {
        if (pause > 0) {
            --pause;
            return;
        }
        if (full.substr(shown).starts_with(kFullStop)) pause = kTipSentencePause;
        shown += isDoubleByteAt(full, shown) ? 2 : 1;
        return;
    }
    pause = 0;
    if (++doneTicks < kTipHoldTicks) return;
    tip = mode == PaneBookLoaded ? tip % (kTipCount - 1) + 1 : 0;
    shown = 0;
    doneTicks = 0;
}

std::string_view TipTyper::text() const {
    return paneTip(tip).substr(0, shown);
}

std::vector<PaneField> paneRunFields(const ExamRun& run, const QuestionBook& book, int answerMode,
                                     std::uint32_t now) {
    std::vector<PaneField> fields = {
        {"[出題方法]", methodName(run.method)},
        {"[解答モード]", answerModeName(answerMode)},
        {"[正解率]", rateText(run.right, run.wrong)},
        {"[残り問題]", remainingText(run, book)},
    };
    if (run.results.empty()) return fields;
    // The time of the question on screen; its entry holds the tick it was shown until the answer.
    std::uint32_t spent = 0;
    if (run.questionOnScreen && run.asked >= 0 && static_cast<std::size_t>(run.asked) < run.results.size())
        spent = now - run.results[static_cast<std::size_t>(run.asked)].time;
    if (run.timeLimit > 0) {
        const long long left = std::max(0LL, run.timeLimit * 1000LL - spent);
        fields.push_back({"[残り時間]", formatDuration(static_cast<std::uint32_t>(left)), true});
    } else {
        fields.push_back({"[所要時間]", formatDuration(spent), true});
    }
    return fields;
}

std::string paneSpokenFields(const std::vector<PaneField>& fields) {
    std::string spoken;
    for (const PaneField& f : fields) {
        if (f.ticking) continue;
        std::string_view label = f.label;
        if (label.starts_with('[') && label.ends_with(']')) label = label.substr(1, label.size() - 2);
        if (!spoken.empty()) spoken += "、";
        spoken.append(label).append("：").append(f.value);
    }
    return spoken;
}

Color labelBandColour(int e, int g) {
    if (g <= 0) return rgb(160, 170, 160);
    e = std::clamp(e, 0, g);
    const int redBlue = (e * 160 + (g - e) * 255) / g;
    const int green = (e * 170 + (g - e) * 255) / g;
    return rgb(redBlue, green, redBlue);
}

PaneFrame paneFrame(int width, int height, int dpi) {
    const int outerInset = scaleForDpi(3, dpi);
    const int innerInset = scaleForDpi(5, dpi);
    PaneFrame f;
    f.frame = {outerInset - 1, outerInset - 1, width - outerInset - 1, height - outerInset - 1};
    f.shadow = {f.frame.left + 1, f.frame.top + 1, f.frame.right + 2, f.frame.bottom + 2};
    f.inner = {f.frame.left + innerInset, f.frame.top + innerInset, f.frame.right - innerInset,
               f.frame.bottom - innerInset};
    f.corner = scaleForDpi(16, dpi);
    return f;
}

PaneSpacing paneSpacing(int dpi, int fontPoints) {
    PaneSpacing s;
    s.bandWhite = scaleForDpi(21, dpi);
    s.bandBelow = scaleForDpi(2, dpi);
    s.labelShift = scaleForDpi(1, dpi);
    s.lineInterval = scaleForDpi(4, dpi);
    s.labelGap = scaleForDpi(4, dpi);
    s.valueGap = scaleForDpi(std::max(fontPoints, 0) / 2 + 4, dpi);
    return s;
}

int drawPaneFields(PaneCanvas& canvas, const std::vector<PaneField>& fields, const DisplayRect& area,
                   const PaneSpacing& spacing, Color valueColour) {
    int top = area.top;
    for (const PaneField& field : fields) {
        if (top >= area.bottom) break;
        DisplayRect label{area.left, top, area.right, area.bottom};
        canvas.wrapText(field.label, label, true, spacing.lineInterval);
        const int bandBottom = std::min(label.bottom + spacing.bandBelow, area.bottom);
        const int whiteEnd = std::min(label.left + spacing.bandWhite, label.right);
        canvas.fillRect({label.left, top, whiteEnd, bandBottom}, kPaneWhite);
        const int ramp = label.right - whiteEnd;
        for (int x = whiteEnd; x < label.right; ++x)
            canvas.fillRect({x, top, x + 1, bandBottom}, labelBandColour(x - whiteEnd + 1, ramp));

        DisplayRect labelText{area.left, top + spacing.labelShift, area.right, area.bottom};
        canvas.setTextColour(kPaneLabelColour);
        top = labelText.top + canvas.wrapText(field.label, labelText, false, spacing.lineInterval) +
              spacing.labelGap;

        DisplayRect value{area.left, top, area.right, area.bottom};
        canvas.setTextColour(valueColour);
        top += canvas.wrapText(field.value, value, false, spacing.lineInterval) + spacing.valueGap;
    }
    return top;
}

ClockText clockText(const LocalTime& time) {
    return {numbered("%02lld", time.hour), time.millisecond < 500 ? " " : ":",
            numbered("%02lld", time.minute)};
}

ClockPlace clockPlace(const DisplayRect& inner, int lineHeight, int colonWidth) {
    ClockPlace p;
    p.line = {inner.left, inner.bottom - lineHeight, inner.right, inner.bottom};
    p.separatorLeft = inner.left + (inner.width() - colonWidth) / 2;
    p.hourRight = p.separatorLeft;
    p.minuteLeft = p.separatorLeft + colonWidth;
    return p;
}

} // namespace rekal
