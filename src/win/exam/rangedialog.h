#pragma once
// The range dialog: the question range and the groups that runs ask from.

#include "core/data/book.h"

#include <windows.h>

namespace rekal::win {

// Shows the dialog over `owner`; on "OK" with a range holding at least one eligible question the
// range and group flags go into the book. True when they were stored.
bool showRangeDialog(HWND owner, QuestionBook& book);
// 出題範囲 with the program's book: nothing without questions or while an exam runs.
void openRangeDialog(HWND owner);

} // namespace rekal::win
