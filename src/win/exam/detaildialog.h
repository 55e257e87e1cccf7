#pragma once
// The detail list of a finished run: one row per finished question, sortable by any column, its
// place, maximised state and column widths kept in the settings.

#include "core/exam/selection.h"

#include <windows.h>

#include <vector>

namespace rekal::win {

// Modal over owner. The question texts come from the program's book.
void showDetailDialog(HWND owner, const std::vector<ExamResult>& results);

} // namespace rekal::win
