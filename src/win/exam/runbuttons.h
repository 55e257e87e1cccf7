#pragma once
// The keys of the exam view's 答え and 中止 buttons, owner-drawn and so no push buttons to the
// dialog manager.

#include <windows.h>

namespace rekal::win {

// Sets up 答え (IDOK) and 中止 (IDCANCEL) of the exam view: Enter on a focused 中止 aborts, as on
// any push button, instead of going to the default 答え; Enter and Space on 答え do nothing while
// the answer input waits for its start time, so that an early key does not answer empty; and both
// take no input context, so that their keys act with the input method on.
void setUpRunButtons(HWND view);

} // namespace rekal::win
