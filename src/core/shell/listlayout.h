#pragma once
// Where the question list window's right pane puts its parts: the section title, the question,
// answer and comment panes with the two splitters between them, and the group and history boxes
// along the bottom. The splitters' places are the stored ListAnswerTop and ListCommentTop (96-dpi
// numbers), clamped so that every pane keeps some room; the clamped values go back into the
// settings. Pure arithmetic on pixel sizes measured by the window.

#include "core/shell/dpi.h"
#include "core/shell/geometry.h"

namespace rekal {

struct ListPaneInput {
    int dpi = kBaseDpi;
    int width = 0, height = 0; // client size, screen pixels
    int titleHeight = 0;       // the title text wrapped at the pane's width (also when empty)
    PixelSize groupText;       // the group text's two lines, measured
    int historyTextWidth = 0;  // the history text's widest line, measured
    int answerTop = 146;       // ListAnswerTop as stored
    int commentTop = 194;      // ListCommentTop as stored
};

struct ListPaneLayout {
    PixelRect title, question, answerSplitter, answer, commentSplitter, comment, group, history;
    // What the settings keep: the stored value itself while its clamp leaves it alone, else the
    // clamped place as a 96-dpi number.
    int answerTop = 0, commentTop = 0;
};

// The pane starts 68 pixels from the left. The comment pane's top stays at least 16 pixels above
// the bottom row and then at least 60 from the top; the answer pane's top at least 23 from the top
// and then at least 30 above the comment pane's. No size comes out negative.
ListPaneLayout layoutListPane(const ListPaneInput& in);

// The pane's width in a client `clientWidth` wide (what the title wraps at).
int listPaneWidth(int clientWidth, int dpi);

} // namespace rekal
