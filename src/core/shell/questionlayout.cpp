#include "core/shell/questionlayout.h"

#include "core/shell/dpi.h"

#include <algorithm>
#include <cstdlib>

namespace rekal {

BandSizes bandSizes(bool groupShown, bool measured, int textWidth, int textHeight, int fontHeight, int dpi) {
    if (!groupShown) {
        const int px = scaleForDpi(24, dpi);
        return {px, px, px};
    }
    const int w = measured ? textWidth : 5 * fontHeight;
    const int hg = measured ? textHeight : 2 * fontHeight;
    const int half = hg / 2;
    return {w + half, half * 11 / 2, hg + scaleForDpi(2, dpi)};
}

int choicesPerRow(int lineSelection, bool automatic, int widestNeeded, int areaWidth, int count) {
    if (!automatic) return std::max(1, lineSelection);
    const int fit = widestNeeded > 0 ? areaWidth / widestNeeded : count;
    return std::clamp(fit, 1, std::max(1, count));
}

int choiceRowHeight(int contentHeight, int edge, int dpi) {
    return contentHeight + 2 * edge + scaleForDpi(4, dpi);
}

QuestionAreaLayout layoutQuestionArea(const QuestionAreaInput& in) {
    auto px = [&](int n) { return scaleForDpi(n, in.dpi); };
    QuestionAreaLayout out;
    const int left = in.area.left;
    const int width = in.area.width;
    const int top = in.area.top;
    out.title = {left, top, width, in.titleHeight};
    const int sentenceTop = top + in.titleHeight;

    int sentenceBottom = in.bandTop;
    if (in.choiceCount > 0) {
        const int perRow = std::max(1, in.choicesPerRow);
        const int buttonWidth = width / perRow;
        const int rows = static_cast<int>(in.rowHeights.size());
        int rowTop = in.bandTop - px(1);
        for (int r = 0; r < rows; ++r)
            rowTop -= in.rowHeights[static_cast<std::size_t>(r)];
        sentenceBottom = rowTop;
        for (int k = 0; k < in.choiceCount; ++k) {
            const int row = k / perRow;
            if (row >= rows) break;
            int y = rowTop;
            for (int r = 0; r < row; ++r)
                y += in.rowHeights[static_cast<std::size_t>(r)];
            out.choices.push_back({left + (k % perRow) * buttonWidth, y, buttonWidth,
                                   in.rowHeights[static_cast<std::size_t>(row)]});
        }
    } else if (!in.confirmMode) {
        out.edit = {left, in.bandTop - in.editHeight, width, in.editHeight};
        sentenceBottom = out.edit.top - px(2);
    }
    out.sentence = {left, sentenceTop, width, std::max(0, sentenceBottom - sentenceTop)};

    out.group = {0, in.bandTop + px(3), in.band.groupWidth, in.band.height};
    out.history = {in.band.groupWidth, in.bandTop + px(3), in.band.historyWidth, in.band.height};
    out.answerButton = {left + width - px(188), in.bandTop, px(90), in.band.height};
    out.abortButton = {left + width - px(94), in.bandTop, px(90), in.band.height};
    return out;
}

std::uint32_t stripeColour(std::uint32_t face, int x, int width) {
    const int run = width + 16;
    const int distance = std::abs(x - run / 2);
    const int brighten = std::max(0, run * 3 / 2 - 3 * distance);
    std::uint32_t colour = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int channel = std::min(255, static_cast<int>((face >> shift) & 0xFF) + brighten);
        colour |= static_cast<std::uint32_t>(channel) << shift;
    }
    return colour;
}

} // namespace rekal
