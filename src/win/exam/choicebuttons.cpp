#include "win/exam/choicebuttons.h"

#include "win/dialogs/dialogkit.h"

#include "core/display/markup.h"
#include "core/shell/questionlayout.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/program/tooltips.h"
#include "win/base/contrast.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/display/sentencelayout.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace rekal::win {

namespace {

constexpr UINT_PTR kChoiceSubclass = 0x5243; // "RC"

bool isChoiceOf(HWND parent, HWND hwnd) {
    if (!hwnd || GetParent(hwnd) != parent) return false;
    const int id = GetDlgCtrlID(hwnd);
    return id >= kFirstChoiceId && id < kFirstChoiceId + kMaxChoices;
}

// Hover on entering (with leave tracking), off on leaving; a focus that comes from another choice or
// from no window clicks the button.
LRESULT CALLBACK choiceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                            DWORD_PTR data) {
    auto* button = reinterpret_cast<ChoiceButton*>(data);
    switch (message) {
    case WM_MOUSEMOVE:
        if (!button->hover) {
            button->hover = true;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
            TrackMouseEvent(&track);
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        break;
    case WM_MOUSELEAVE:
        button->hover = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        break;
    case WM_SETFOCUS: {
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        HWND from = reinterpret_cast<HWND>(wParam);
        HWND parent = GetParent(hwnd);
        if (!from || isChoiceOf(parent, from))
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, choiceProc, id);
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

std::wstring labelText(int k) {
    return L"&" + std::to_wstring(k + 1) + L". ";
}

int edgeWidth() {
    return GetSystemMetrics(SM_CXEDGE);
}

} // namespace

void ChoiceButtons::create(HWND view, const std::vector<Choice>& choices, bool hidden,
                           const ChoiceLook& look) {
    remove(view);
    look_ = look;
    const int count = std::min(static_cast<int>(choices.size()), kMaxChoices);
    SentenceLoad load; // the choices share decoded pictures, one pixel budget and the media cap
    for (int k = 0; k < count; ++k) {
        const Choice& choice = choices[static_cast<std::size_t>(k)];
        auto button = std::make_unique<ChoiceButton>();
        DWORD style = WS_CHILD | WS_TABSTOP | BS_OWNERDRAW | (hidden ? 0 : WS_VISIBLE);
        if (k == 0) style |= WS_GROUP;
        // The window text carries the choice after its label, for screen readers; the drawing
        // shows the label alone beside the rich text.
        const std::wstring name = labelText(k) + toWide(plainText(choice.text));
        button->hwnd = CreateWindowExW(0, L"BUTTON", name.c_str(), style, 0, 0, 0, 0, view,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstChoiceId + k)),
                                       app().instance, nullptr);
        if (!button->hwnd) break;
        detachInputMethod(button->hwnd); // the digit mnemonics work with the input method on
        SendMessageW(button->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(look.captionFont), FALSE);
        button->font.reset(createFontFromSpec(view, choice.font));
        button->text.font = button->font.get();
        loadSentenceObjects(button->hwnd, choice.text, look.background, button->text, &load);
        computeNaturalSize(view, button->text);
        SetWindowSubclass(button->hwnd, choiceProc, kChoiceSubclass,
                          reinterpret_cast<DWORD_PTR>(button.get()));
        addControlTooltip(view, kFirstChoiceId + k, plainText(choice.text));
        // Just after the answer edit in the tab order, before 答え.
        SetWindowPos(button->hwnd, k == 0 ? GetDlgItem(view, IDC_ANSWER_EDIT) : buttons_.back()->hwnd, 0, 0,
                     0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        buttons_.push_back(std::move(button));
    }
}

void ChoiceButtons::remove(HWND view) {
    for (auto& button : buttons_) {
        removeControlTooltip(view, GetDlgCtrlID(button->hwnd));
        DestroyWindow(button->hwnd);
        releaseSentenceObjects(button->text);
    }
    buttons_.clear();
}

void ChoiceButtons::show() {
    for (auto& button : buttons_)
        ShowWindow(button->hwnd, SW_SHOWNA);
}

void ChoiceButtons::setLook(const ChoiceLook& look) {
    look_ = look;
    for (auto& button : buttons_)
        InvalidateRect(button->hwnd, nullptr, TRUE);
}

bool ChoiceButtons::contains(HWND hwnd) const {
    return std::any_of(buttons_.begin(), buttons_.end(), [&](const auto& b) { return b->hwnd == hwnd; });
}

int ChoiceButtons::labelWidth(HDC dc) const {
    SelectedFont select(dc, look_.captionFont);
    int widest = 0;
    for (std::size_t k = 0; k < buttons_.size(); ++k) {
        RECT r{};
        const std::wstring label = labelText(static_cast<int>(k));
        DrawTextW(dc, label.c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT);
        widest = std::max<int>(widest, r.right);
    }
    return widest;
}

int ChoiceButtons::widestNeeded(HWND view) const {
    HDC dc = GetDC(view);
    const int label = labelWidth(dc);
    ReleaseDC(view, dc);
    const int margins = 2 * (edgeWidth() + scaled(view, 2));
    int widest = 0;
    for (const auto& button : buttons_)
        widest = std::max(widest, label + button->text.naturalWidth + margins);
    return widest;
}

std::vector<int> ChoiceButtons::rowHeights(HWND view, int perRow, int buttonWidth, bool automatic, int lines,
                                           int dpi) const {
    std::vector<int> heights;
    if (buttons_.empty()) return heights;
    perRow = std::max(1, perRow);
    HDC dc = GetDC(view);
    const int label = labelWidth(dc);
    ReleaseDC(view, dc);
    const int labelHeight = fontHeight(view, look_.captionFont);
    int lineHeight = labelHeight;
    for (const auto& button : buttons_)
        lineHeight = std::max(lineHeight, fontHeight(view, button->font.get()));
    const int textWidth = std::max(1, buttonWidth - label - 2 * (edgeWidth() + scaled(view, 2)));
    const int rows = (count() + perRow - 1) / perRow;
    for (int r = 0; r < rows; ++r) {
        int content = lineHeight * std::max(1, lines);
        if (automatic) {
            content = labelHeight;
            for (int k = r * perRow; k < std::min(count(), (r + 1) * perRow); ++k) {
                ChoiceButton& b = *buttons_[static_cast<std::size_t>(k)];
                const ContentSize size = measureSentenceContent(view, b.text, RECT{0, 0, textWidth, 32000});
                content = std::max(content, size.height);
            }
        }
        heights.push_back(choiceRowHeight(content, GetSystemMetrics(SM_CYEDGE), dpi));
    }
    return heights;
}

void ChoiceButtons::place(const std::vector<PixelRect>& rects) {
    for (std::size_t k = 0; k < buttons_.size(); ++k) {
        const PixelRect r = k < rects.size() ? rects[k] : PixelRect{};
        MoveWindow(buttons_[k]->hwnd, r.left, r.top, r.width, r.height, TRUE);
    }
}

bool ChoiceButtons::draw(const DRAWITEMSTRUCT& item, int selectedId) const {
    auto it = std::find_if(buttons_.begin(), buttons_.end(),
                           [&](const auto& b) { return b->hwnd == item.hwndItem; });
    if (it == buttons_.end()) return false;
    ChoiceButton& button = **it;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    OwnedBrush background(CreateSolidBrush(look_.background));
    FillRect(dc, &r, shownBrush(background.get(), COLOR_WINDOW));

    const bool pressed = static_cast<int>(item.CtlID) == selectedId || (item.itemState & ODS_SELECTED);
    const COLORREF colour = button.hover ? shownColour(look_.hover, COLOR_HOTLIGHT)
                            : pressed    ? shownColour(look_.active, COLOR_HIGHLIGHT)
                                         : shownColour(look_.text, COLOR_WINDOWTEXT);
    RECT content = r;
    if (pressed) OffsetRect(&content, 1, 1);
    const int margin = edgeWidth() + scaled(item.hwndItem, 2);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);

    const std::wstring label = labelText(static_cast<int>(item.CtlID) - kFirstChoiceId);
    RECT labelRect = content;
    labelRect.left += margin;
    {
        SelectedFont select(dc, look_.captionFont);
        DrawTextW(dc, label.c_str(), -1, &labelRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        RECT measure{};
        DrawTextW(dc, label.c_str(), -1, &measure, DT_SINGLELINE | DT_CALCRECT);
        labelRect.left += measure.right;
    }
    RECT textArea{labelRect.left, content.top, content.right - margin, content.bottom};
    if (textArea.right > textArea.left) {
        const ContentSize size = layoutSentenceOnDc(dc, button.text, textArea, true);
        RECT place = textArea;
        if (size.width < textArea.right - textArea.left)
            place.left += (textArea.right - textArea.left - size.width) / 2;
        if (size.height < textArea.bottom - textArea.top)
            place.top += (textArea.bottom - textArea.top - size.height) / 2;
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, textArea.left, textArea.top, textArea.right, textArea.bottom);
        paintSentence(nullptr, dc, place, button.text);
        RestoreDC(dc, saved);
    }
    if (pressed)
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
    else if (button.hover)
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -scaled(item.hwndItem, 3), -scaled(item.hwndItem, 3));
        DrawFocusRect(dc, &focus);
    }
    return true;
}

} // namespace rekal::win
