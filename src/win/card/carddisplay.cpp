#include "win/card/carddisplay.h"

#include "core/match/format.h"
#include "resource.h"
#include "win/base/contrast.h"
#include "win/base/selectedfont.h"
#include "win/base/wintext.h"
#include "win/display/sentence.h"

namespace rekal::win {

// The controls take the new fonts before the old ones are deleted.
void CardStyle::apply(HWND window, const QuestionFonts& fonts) {
    std::array<OwnedFont, kStoredFontCount> made;
    std::array<OwnedBrush, kStoredFontCount> brushes;
    for (std::size_t c = 0; c < made.size(); ++c) {
        made[c].reset(createFontFromSpec(window, fonts[c]));
        brushes[c].reset(CreateSolidBrush(fonts[c].backColor));
    }
    for (const CardControl& control : controls_)
        SendDlgItemMessageW(window, control.id, WM_SETFONT,
                            reinterpret_cast<WPARAM>(made[static_cast<std::size_t>(control.textClass)].get()),
                            FALSE);
    made_ = std::move(made);
    brushes_ = std::move(brushes);
    fonts_ = fonts;
    applied_ = true;
}

void CardStyle::release() {
    applied_ = false;
    for (auto& f : made_)
        f.reset();
    for (auto& b : brushes_)
        b.reset();
}

INT_PTR CardStyle::controlColour(HDC dc, int controlId) const {
    if (!applied_) return 0;
    for (const CardControl& control : controls_) {
        if (control.id != controlId) continue;
        const auto c = static_cast<std::size_t>(control.textClass);
        return textColours(dc, fonts_[c].color, fonts_[c].backColor, brushes_[c].get());
    }
    return 0;
}

void showCardFields(HWND window, const QuestionBook& book, const QuestionCard& q) {
    setSentenceText(window, IDC_QUESTION, q.question.view());
    const TitleCard* title = book.enclosingTitle(&q);
    const bool hasTitle = title && !title->title.empty();
    HWND titleField = GetDlgItem(window, IDC_TITLE);
    setWindowText(titleField, hasTitle ? title->title.view() : std::string_view());
    ShowWindow(titleField, hasTitle ? SW_SHOWNA : SW_HIDE);
    setWindowText(GetDlgItem(window, IDC_HISTORY), historyText(q.history));
    setWindowText(GetDlgItem(window, IDC_GROUP), "グループ\n" + book.groupName(q.group).value_or(""));
}

} // namespace rekal::win

namespace rekal::win {

bool fieldTextExtent(HWND field, UINT flags, RECT& rect) {
    wchar_t text[1024] = {};
    GetWindowTextW(field, text, 1024);
    if (!text[0]) return false;
    HDC dc = GetDC(field);
    {
        SelectedFont select(dc, reinterpret_cast<HFONT>(SendMessageW(field, WM_GETFONT, 0, 0)));
        DrawTextW(dc, text, -1, &rect, DT_CALCRECT | DT_NOPREFIX | flags);
    }
    ReleaseDC(field, dc);
    return true;
}

} // namespace rekal::win
