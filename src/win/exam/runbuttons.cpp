#include "win/exam/runbuttons.h"

#include "core/exam/run.h"
#include "win/dialogs/dialogkit.h"
#include "win/program/app.h"

#include <commctrl.h>

namespace rekal::win {

namespace {

constexpr UINT_PTR kRunButtonSubclass = 0x5242; // "RB"

bool isKeyMessage(const MSG* msg, UINT vk) {
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) &&
           (msg->wParam == vk || (vk == VK_RETURN && msg->wParam == L'\r'));
}

// Enter on the button is the button's own (it reaches WM_KEYDOWN here, not the dialog manager's
// default button): 中止 clicks itself; 答え clicks itself unless the input is still to come. Space
// on 答え is swallowed while the input is still to come (the button clicks on Space up only after
// its Space down).
LRESULT CALLBACK runButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR) {
    const bool answerButton = GetDlgCtrlID(button) == IDOK;
    const bool pending = answerButton && inputPending(app().run, app().settings);
    switch (message) {
    case WM_GETDLGCODE:
        if (isKeyMessage(reinterpret_cast<const MSG*>(lParam), VK_RETURN))
            return DefSubclassProc(button, message, wParam, lParam) | DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            if (!pending)
                SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
            return 0;
        }
        if (wParam == VK_SPACE && pending) return 0;
        break;
    case WM_CHAR:
        if (wParam == L'\r') return 0;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(button, runButtonProc, id);
        break;
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

} // namespace

void setUpRunButtons(HWND view) {
    for (int id : {IDOK, IDCANCEL}) {
        HWND button = GetDlgItem(view, id);
        if (!button) continue;
        SetWindowSubclass(button, runButtonProc, kRunButtonSubclass, 0);
        detachInputMethod(button);
    }
}

} // namespace rekal::win
