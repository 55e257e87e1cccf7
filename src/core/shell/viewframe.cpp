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

int clampInfoPaneWidth(int width, int viewWidth, int scrollBarWidth) {
    return std::min(std::max(width, scrollBarWidth + 19), viewWidth - 27);
}

ViewFrame layoutViewFrame(const ViewFrameInput& in) {
    ViewFrame f;
    f.statusEdges = statusFieldEdges(in.width, in.statusHeight);
    f.infoPaneWidth = clampInfoPaneWidth(in.infoPaneWidth, in.width, in.scrollBarWidth);
    f.top = in.toolbarHeight + 3;
    const int left = in.infoPaneShown ? f.infoPaneWidth + kSplitterWidth : 0;
    const int width = in.width - left;
    const int bottom = in.height - in.statusHeight;

    f.etchedLine = {0, f.top - 3, left + width + 1, 2};
    const int paneHeight = bottom - f.top - 3 - (in.runActive ? in.bandHeight : 0);
    f.infoPane = {0, f.top, f.infoPaneWidth, paneHeight};
    f.splitter = {f.infoPaneWidth, f.top, kSplitterWidth, paneHeight};
    f.questionArea = {left, f.top, width, bottom - f.top};
    f.bandTop = bottom - in.bandHeight - 3;

    const PixelRect& area = f.questionArea;
    f.idlePanel = {area.left + std::max(0, (area.width - in.idlePanel.width) / 2),
                   area.top + std::max(0, (area.height - in.idlePanel.height) / 2), in.idlePanel.width,
                   in.idlePanel.height};
    return f;
}

} // namespace rekal
