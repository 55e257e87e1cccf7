#pragma once
// The answer dialog (template 607) that opens when the user presses 答え: the big ○ or ×, "正解！" or
// the expected answer, the comment and the list of answers; in confirm mode the user grades himself
// with 正解 / 不正解 / スキップ (Esc counts as wrong). It may click itself after AnsDlgAutoClickTime.

#include "core/exam/run.h"

#include <windows.h>

namespace rekal::win {

// Modal over owner. `fonts` are the question's fonts in effect. In confirm mode the grade given
// (Esc or the close box: Wrong); otherwise None.
Verdict showAnswerDialog(HWND owner, const AnswerDialogInput& input, const QuestionFonts& fonts);

} // namespace rekal::win
