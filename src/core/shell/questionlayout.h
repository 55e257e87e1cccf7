#pragma once
// Where the question area's parts go while an exam runs: the title, the question sentence, the
// answer edit or the rows of choice buttons, the group and history band, and the 答え and 中止
// buttons; and the colours of those two buttons' stripes. Pure arithmetic on pixel sizes measured by
// the window; every fixed number is a 96-dpi value scaled to the view's dpi here.

#include "core/shell/geometry.h"

#include <cstdint>
#include <vector>

namespace rekal {

// The group and history band: with the Group flag the group text's measured size decides it (w, hg;
// when it cannot be measured w = 5 and hg = 2 font heights), else 24 pixels for all three.
struct BandSizes {
    int groupWidth = 0;
    int historyWidth = 0;
    int height = 0;
};
BandSizes bandSizes(bool groupShown, bool measured, int textWidth, int textHeight, int fontHeight, int dpi);

// Buttons per row: LineSelection, or with automatic rows as many buttons of the widest needed width
// as fit (at least 1, at most the number of buttons).
int choicesPerRow(int lineSelection, bool automatic, int widestNeeded, int areaWidth, int count);

// A row's height: its tallest text (or label) plus the two edges and 4 pixels.
int choiceRowHeight(int contentHeight, int edge, int dpi);

struct QuestionAreaInput {
    PixelRect area;  // the question area of the frame: right of the pane, from its top (T)
    int bandTop = 0; // top of the group/history band
    BandSizes band;
    int titleHeight = 0; // 0 when the question has no title
    int editHeight = 0;  // the answer font's height + 8
    bool confirmMode = false;
    int choiceCount = 0; // 0: the edit (or nothing in confirm mode)
    int choicesPerRow = 1;
    std::vector<int> rowHeights; // of the choice rows, top row first
    int dpi = 96;
};

struct QuestionAreaLayout {
    PixelRect title;
    PixelRect sentence;
    PixelRect edit;
    PixelRect group;
    PixelRect history;
    PixelRect answerButton;
    PixelRect abortButton;
    std::vector<PixelRect> choices; // choice k in reading order, the rows stacked up from the band
};

QuestionAreaLayout layoutQuestionArea(const QuestionAreaInput& in);

// The colour of the stripe at pixel x (0 at the button's left edge) of a 答え or 中止 button
// `width` wide: the button face brightened most in the middle of the run of stripes (which is
// width + 16 long) and less by 3 per pixel towards its ends, each channel capped at 255. Colours are
// 0x00BBGGRR.
std::uint32_t stripeColour(std::uint32_t face, int x, int width);

} // namespace rekal
