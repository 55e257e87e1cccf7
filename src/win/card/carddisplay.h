#pragma once
// How a question card is shown, the same in the exam view and in the question list window: its
// section title (hidden when there is none), question text, group and history in the controls of
// the shared identifiers, and the card's fonts and colours per text class, taken from the file
// when the settings allow it.

#include "core/data/book.h"
#include "core/exam/run.h"
#include "core/shell/geometry.h"
#include "win/dialogs/dialogkit.h"

#include <windows.h>

#include <array>
#include <span>

namespace rekal::win {

// A control of the card and the text class whose font and colours it takes.
struct CardControl {
    int id;
    FontClass textClass;
};

// The fonts and background brushes made for one card, given to its window's controls.
class CardStyle {
  public:
    explicit CardStyle(std::span<const CardControl> controls) : controls_(controls) {}

    // Makes a font and a brush for each text class of `fonts` and gives each control its font.
    void apply(HWND window, const QuestionFonts& fonts);
    // Deletes them; the controls must have been given other fonts before.
    void release();
    bool applied() const { return applied_; }
    const QuestionFonts& fonts() const { return fonts_; }

    // The colours of a control of the card: its class's text colour, transparent text on its
    // class's background brush. 0 when nothing is applied or the control is not the card's.
    INT_PTR controlColour(HDC dc, int controlId) const;

  private:
    std::span<const CardControl> controls_;
    QuestionFonts fonts_{};
    bool applied_ = false;
    std::array<OwnedFont, kStoredFontCount> made_;
    std::array<OwnedBrush, kStoredFontCount> brushes_;
};

// The card's fields: title (1054, shown only when its section has a non-empty title), question
// text (1055), history (1057) and group (1056).
void showCardFields(HWND window, const QuestionBook& book, const QuestionCard& q);

// The extent of a field's text in its own font (rect's right is the wrapping width with
// DT_WORDBREAK; without it only line breaks break); false, leaving rect alone, for an empty text.
bool fieldTextExtent(HWND field, UINT flags, RECT& rect);

} // namespace rekal::win
