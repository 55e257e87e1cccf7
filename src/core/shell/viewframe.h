#pragma once
// Where the fixed parts of the exam view go: the status-bar fields, the etched line under the
// toolbar, the information pane with its splitter, the question area and the idle information
// panel centred in it. Pure arithmetic on pixel sizes, so the window code only moves controls.
// Sizes measured from the windows (bar heights, scroll-bar width, the idle panel) come in screen
// pixels; the frame's own margins and the stored pane width are 96-dpi numbers scaled here by the
// view's dpi.

#include "core/shell/dpi.h"
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
// view is too narrow for both, the upper bound wins so the pane never covers the whole view. All in
// screen pixels; the two margins are scaled by `dpi`.
int clampInfoPaneWidth(int width, int viewWidth, int scrollBarWidth, int dpi = kBaseDpi);

// The InfoPainWidth to store when the splitter reports position x (screen pixels, in the view):
// the pane ends where the splitter begins, clamped as above, kept as a 96-dpi number.
int infoPaneWidthFromSplitter(int x, int viewWidth, int scrollBarWidth, int dpi = kBaseDpi);

// What the frame layout needs to know about the view.
struct ViewFrameInput {
    int dpi = kBaseDpi;        // of the view's screen
    int width = 0, height = 0; // client size of the view
    int toolbarHeight = 0;     // 0 when the toolbar is hidden
    int statusHeight = 0;      // 0 when the status bar is hidden
    bool infoPaneShown = true;
    int infoPaneWidth = 120; // InfoPainWidth as stored (96 dpi)
    int scrollBarWidth = 17;
    int bandHeight = 24;    // the group/history band under the question, in screen pixels
    bool runActive = false; // the pane and splitter stop above the band while a run is active
    PixelSize idlePanel;    // size of the idle information panel
};

// Everything in screen pixels.
struct ViewFrame {
    std::array<int, kStatusFieldCount> statusEdges{};
    int infoPaneWidth = 0; // scaled and clamped
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
