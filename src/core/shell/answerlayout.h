#pragma once
// The size of the answer dialog and the places of its parts, from the measured sizes of the answer
// and the comment. The window measures in two steps, each within the limits given here:
//
//     AnswerDialogMetrics m = ...;
//     PixelSize answer = measure(answerControl, answerLimit(m));           // clamped by the layout
//     int commentWidth = commentMeasureWidth(m, answer);                   // only with a comment
//     PixelSize comment = measure(commentControl, {commentWidth, large});
//     AnswerDialogLayout l = layoutAnswerDialog(m, answer, comment);
//
// Every fixed number, and the base width and height from the settings, is a 96-dpi value scaled to
// the dialog's dpi here.

#include "core/shell/geometry.h"

namespace rekal {

struct AnswerDialogMetrics {
    int baseWidth = 500;  // BaseWidthWndAnswer
    int baseHeight = 500; // BaseHeightWndAnswer
    int markHeight = 0;   // the mark font's height; 0 in confirm mode (no mark)
    bool confirmMode = false;
    bool comment = false;      // the comment is shown and the question has one
    bool alternatives = false; // the list of answers is shown (more than one answer)
    int frameWidth = 0;        // border + edge, each side
    int frameHeight = 0;       // border + edge, each side
    int captionHeight = 0;
    int dpi = 96;
};

struct AnswerDialogLayout {
    PixelSize window;  // outer size
    PixelSize client;  // client size the buttons are placed in
    PixelRect mark;    // M x M, hidden in confirm mode
    PixelRect answer;  // the answer sentence
    PixelRect comment; // 0 x 0 when hidden
    PixelRect list;    // the answers list; 0 x 0 when hidden
    // OK, 別解, ヘルプ (lower row) and 正解, 不正解, スキップ (upper row), 80 x 21 each.
    PixelRect ok, alternativesButton, help, right, wrong, skip;
};

// The most the answer may take: base width less the mark's room, base height less 78.
PixelSize answerLimit(const AnswerDialogMetrics& m);
// The width the comment is measured in, once the answer's size is known.
int commentMeasureWidth(const AnswerDialogMetrics& m, PixelSize answer);
AnswerDialogLayout layoutAnswerDialog(const AnswerDialogMetrics& m, PixelSize answer, PixelSize comment);

} // namespace rekal
