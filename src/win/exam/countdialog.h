#pragma once
// The count dialog of "ランダム（回数指定）" and the weak-point dialog of "弱点問題": how many
// questions a run asks, whether a question already asked may come again, and (weak points) how
// hard the pick insists on questions answered wrong. Both are one dialog with or without the
// trackbar.

#include "core/data/book.h"
#include "core/settings/settings.h"

#include <windows.h>

#include <optional>

namespace rekal::win {

struct ExamCount {
    int count = 0;
    bool noRepeat = false;
};

// "OK" keeps the no-repeat box in the settings (NoAlready) even when the count is refused, and an
// accepted count as the next initial count; "キャンセル" keeps nothing. The accepted count and box,
// or none when the dialog was cancelled.
std::optional<ExamCount> showCountDialog(HWND owner, const QuestionBook& book, Settings& settings);

// The same with the trackbar, whose position "OK" keeps as WeakPointStrength.
std::optional<ExamCount> showWeakPointDialog(HWND owner, const QuestionBook& book, Settings& settings);

} // namespace rekal::win
