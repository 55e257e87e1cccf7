#include "win/app/pending.h"

namespace rekal::win {

void openRangeDialog(HWND) {}
void openListWindow(HWND) {}
void toggleHintWindow(HWND) {}

} // namespace rekal::win
