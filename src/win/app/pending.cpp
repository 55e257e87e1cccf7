#include "win/app/pending.h"

namespace rekal::win {

void openRangeDialog(HWND) {}
void startExamCommand(HWND, int) {}
void openListWindow(HWND) {}
void toggleHintWindow(HWND) {}
void openCustomizeSheet(HWND) {}

} // namespace rekal::win
