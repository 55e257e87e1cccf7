#include "win/card/alternativesdialog.h"

#include "core/shell/helpcontexts.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/base/dpi.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"
#include "win/display/sentencelayout.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace rekal::win {

namespace {

struct AlternativesState {
    AlternativesState(const QuestionCard& q, const FontSpec& f) : question(q), answerFont(f) {}
    const QuestionCard& question;
    const FontSpec& answerFont;
    OwnedFont font;
    OwnedBrush background;
    std::vector<std::unique_ptr<SentenceState>> items;
    std::unique_ptr<MediaTimer> timer; // one for the sounds and videos of every item
    int listWidth = 0;
};

// Only one alternatives dialog is open at a time.
HWND& openDialog() {
    static HWND open = nullptr;
    return open;
}

INT_PTR onInit(HWND dialog, AlternativesState& state) {
    if (openDialog()) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    openDialog() = dialog;
    const QuestionBook& book = app().book;
    state.font.reset(createFontFromSpec(dialog, state.answerFont));
    state.background.reset(CreateSolidBrush(state.answerFont.backColor));
    HWND list = GetDlgItem(dialog, IDC_ANSWER_LIST);
    RECT client{};
    GetClientRect(list, &client);
    state.listWidth = client.right;
    int widest = 0;
    // The items share decoded pictures, one pixel budget and one cap on media windows.
    SentenceLoad load;
    load.startsTimers = false;
    std::vector<SentenceState*> loaded;
    for (int i = 0; i < book.answerCount(&state.question); ++i) {
        auto item = std::make_unique<SentenceState>();
        item->font = state.font.get();
        loadSentenceObjects(list, book.answerAt(&state.question, i), state.answerFont.backColor, *item,
                            &load);
        computeNaturalSize(list, *item);
        loaded.push_back(item.get());
        widest = std::max(widest, item->naturalWidth);
        state.items.push_back(std::move(item));
        // Added after the item exists: the list measures it as it is added.
        SendMessageW(list, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
    }
    state.timer = startMediaTimer(loaded);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(addClamped(widest, scaled(dialog, 5))), 0);
    centreOnOwner(dialog);
    return TRUE;
}

void onMeasure(HWND dialog, AlternativesState& state, MEASUREITEMSTRUCT& measure) {
    if (measure.itemData >= state.items.size()) return;
    SentenceState& item = *state.items[measure.itemData];
    const ContentSize size =
        measureSentenceContent(GetDlgItem(dialog, IDC_ANSWER_LIST), item, RECT{0, 0, state.listWidth, 32000});
    measure.itemHeight = static_cast<UINT>(std::min(255, addClamped(size.height, scaled(dialog, 4))));
}

// Each answer in the answer colour on the answer background, a line in the answer colour 2 pixels
// above the item's bottom.
void onDraw(HWND dialog, AlternativesState& state, const DRAWITEMSTRUCT& draw) {
    if (draw.itemID == static_cast<UINT>(-1) || draw.itemData >= state.items.size()) return;
    HDC dc = draw.hDC;
    RECT r = draw.rcItem;
    FillRect(dc, &r, state.background.get());
    SetTextColor(dc, state.answerFont.color);
    paintSentence(nullptr, dc, r, *state.items[draw.itemData]);
    OwnedPen pen(CreatePen(PS_SOLID, 1, state.answerFont.color));
    HGDIOBJ old = SelectObject(dc, pen.get());
    const int y = r.bottom - scaled(dialog, 2);
    MoveToEx(dc, r.left, y, nullptr);
    LineTo(dc, r.right, y);
    SelectObject(dc, old);
}

INT_PTR onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, AlternativesState& state) {
    switch (message) {
    case WM_MEASUREITEM:
        onMeasure(dialog, state, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        onDraw(dialog, state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<INT_PTR>(state.background.get());
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        if (openDialog() == dialog) openDialog() = nullptr;
        stopMediaTimer(std::move(state.timer)); // before the objects it drives go
        for (auto& item : state.items)
            releaseSentenceObjects(*item);
        return FALSE;
    }
    return FALSE;
}

} // namespace

void showAlternativesDialog(HWND owner, const QuestionCard& question, const FontSpec& answerFont) {
    AlternativesState state{question, answerFont};
    runModalDialog(owner, IDD_ALTERNATIVES,
                   kitDialogProc<AlternativesState, onInit, onMessage, kHelpAlternatives, IDC_DIALOG_HELP>,
                   &state);
}

} // namespace rekal::win
