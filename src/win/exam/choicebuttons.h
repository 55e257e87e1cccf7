#pragma once
// The choice buttons of a question in the exam view: created per question (hidden while the answer
// start time runs), owner-drawn with their number label and the choice's rich text, with hover and
// pressed states, tooltips of the plain text, and a focus that arrives from another choice (arrow
// and Tab keys) clicking the button so the selection follows it.

#include "core/exam/choices.h"
#include "core/shell/geometry.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace rekal::win {

struct ChoiceButton {
    HWND hwnd = nullptr;
    SentenceState text; // the choice's layout, drawn without a window of its own
    OwnedFont font;     // the answer font of the question the text came from
    bool hover = false;
};

// How the buttons look: the caption font and the colours in effect for the question.
struct ChoiceLook {
    HFONT captionFont = nullptr;
    COLORREF text = 0;
    COLORREF background = 0;
    COLORREF hover = 0;
    COLORREF active = 0;
};

class ChoiceButtons {
  public:
    ChoiceButtons() = default;
    ChoiceButtons(const ChoiceButtons&) = delete;
    ChoiceButtons& operator=(const ChoiceButtons&) = delete;

    // Buttons 1071 + k of `view` for the choices, hidden when asked.
    void create(HWND view, const std::vector<Choice>& choices, bool hidden, const ChoiceLook& look);
    // Destroys the buttons with their tooltips and layouts.
    void remove(HWND view);
    void show();
    // The question's colours, which arrive after the buttons: repaints them.
    void setLook(const ChoiceLook& look);
    int count() const { return static_cast<int>(buttons_.size()); }
    bool contains(HWND hwnd) const;

    // The widest width a button needs for its label and its text on one line.
    int widestNeeded(HWND view) const;
    // Row heights for `perRow` buttons per row of `buttonWidth`: each row its tallest wrapped text
    // (automatic) or one text line times `lines`, with edges.
    std::vector<int> rowHeights(HWND view, int perRow, int buttonWidth, bool automatic, int lines,
                                int dpi) const;
    void place(const std::vector<PixelRect>& rects);

    // Owner drawing of one button; false when it is not a choice button.
    bool draw(const DRAWITEMSTRUCT& item, int selectedId) const;

  private:
    int labelWidth(HDC dc) const;
    std::vector<std::unique_ptr<ChoiceButton>> buttons_;
    ChoiceLook look_;
};

} // namespace rekal::win
