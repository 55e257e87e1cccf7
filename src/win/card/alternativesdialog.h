#pragma once
// The alternatives dialog (template 608, "別解"): every answer of a question as rich text in an
// owner-drawn list. Only one is open at a time; a second opening closes itself at once.

#include "core/data/book.h"
#include "core/settings/settings.h"

#include <windows.h>

namespace rekal::win {

// Modal over owner, with the answer font in effect for the question.
void showAlternativesDialog(HWND owner, const QuestionCard& question, const FontSpec& answerFont);

} // namespace rekal::win
