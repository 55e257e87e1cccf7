#pragma once
// Where the fixed parts of the exam view go: the status-bar fields, the etched line under the
// toolbar, the information pane with its splitter, the question area and the idle information
// panel centred in it. Pure arithmetic on pixel sizes, so the window code only moves controls.

#include "core/shell/geometry.h"

#include <array>

namespace rekal {

inline constexpr int kStatusFieldCount = 5;
inline constexpr int kSplitterWidth = 7;

// Right edges of the five status-bar fields of a view `viewWidth` wide whose status bar is
// `barHeight` high: fields 1 to 4 are barHeight * 7 / 2 wide and the last ends barHeight short of
// the right edge (room for the size grip); field 0 takes the rest.
std::array<int, kStatusFieldCount> statusFieldEdges(int viewWidth, int barHeight);

// The information pane's width kept between a scroll bar's width + 19 and viewWidth - 27; when the
// view is too narrow for both, the upper bound wins so the pane never covers the whole view.
int clampInfoPaneWidth(int width, int viewWidth, int scrollBarWidth);

// What the frame layout needs to know about the view.
struct ViewFrameInput {
    int width = 0, height = 0; // client size of the view
    int toolbarHeight = 0;     // 0 when the toolbar is hidden
    int statusHeight = 0;      // 0 when the status bar is hidden
    bool infoPaneShown = true;
    int infoPaneWidth = 120; // InfoPainWidth as stored
    int scrollBarWidth = 17;
    int bandHeight = 24;    // the group/history band under the question
    bool runActive = false; // the pane and splitter stop above the band while a run is active
    PixelSize idlePanel;    // size of the idle information panel
};

struct ViewFrame {
    std::array<int, kStatusFieldCount> statusEdges{};
    int infoPaneWidth = 0; // after clamping
    int top = 0;           // T: first line under the toolbar and its etched line
    PixelRect etchedLine;  // 2 pixels high, just under the toolbar
    PixelRect infoPane;
    PixelRect splitter;
    PixelRect questionArea; // right of the pane (or the whole width), between toolbar and status bar
    PixelRect idlePanel;    // centred in the question area, never left of or above it
    int bandTop = 0;        // top of the group/history band
};

ViewFrame layoutViewFrame(const ViewFrameInput& in);

} // namespace rekal
