#pragma once
// The result dialog at the end of a run: the counts, the rate and the time, the retry and random
// boxes, and the detail list of every answered question.

#include "core/exam/run.h"

#include <windows.h>

namespace rekal::win {

// Modal over owner; the boxes are stored into the settings on OK only. The results are the
// finished entries of the run (the book and settings are the program's).
ResultDialogChoice showResultDialog(HWND owner, const ResultDialogInput& input);

} // namespace rekal::win
