#include "core/shell/viewframe.h"

#include <algorithm>

namespace rekal {

std::array<int, kStatusFieldCount> statusFieldEdges(int viewWidth, int barHeight) {
    const int field = barHeight * 7 / 2;
    const int last = viewWidth - barHeight;
    std::array<int, kStatusFieldCount> edges{};
    for (int i = 0; i < kStatusFieldCount; ++i)
        edges[static_cast<std::size_t>(i)] = last - (4 - i) * field;
    return edges;
}

int clampInfoPaneWidth(int width, int viewWidth, int scrollBarWidth, int dpi) {
    return std::min(std::max(width, scrollBarWidth + scaleForDpi(19, dpi)), viewWidth - scaleForDpi(27, dpi));
}

int infoPaneWidthFromSplitter(int x, int viewWidth, int scrollBarWidth, int dpi) {
    const int width =
        clampInfoPaneWidth(x - scaleForDpi(kSplitterWidth, dpi), viewWidth, scrollBarWidth, dpi);
    return unscaleForDpi(width, dpi);
}

ViewFrame layoutViewFrame(const ViewFrameInput& in) {
    const auto px = [&](int px96) { return scaleForDpi(px96, in.dpi); };
    const int gap = px(3);
    const int splitter = px(kSplitterWidth);
    ViewFrame f;
    f.statusEdges = statusFieldEdges(in.width, in.statusHeight);
    f.infoPaneWidth = clampInfoPaneWidth(px(in.infoPaneWidth), in.width, in.scrollBarWidth, in.dpi);
    f.top = in.toolbarHeight + gap;
    const int left = in.infoPaneShown ? f.infoPaneWidth + splitter : 0;
    const int width = in.width - left;
    const int bottom = in.height - in.statusHeight;

    f.etchedLine = {0, f.top - gap, left + width + 1, px(2)};
    const int paneHeight = bottom - f.top - gap - (in.runActive ? in.bandHeight : 0);
    f.infoPane = {0, f.top, f.infoPaneWidth, paneHeight};
    f.splitter = {f.infoPaneWidth, f.top, splitter, paneHeight};
    f.questionArea = {left, f.top, width, bottom - f.top};
    f.bandTop = bottom - in.bandHeight - gap;

    const PixelRect& area = f.questionArea;
    f.idlePanel = {area.left + std::max(0, (area.width - in.idlePanel.width) / 2),
                   area.top + std::max(0, (area.height - in.idlePanel.height) / 2), in.idlePanel.width,
                   in.idlePanel.height};
    return f;
}

} // namespace rekal
