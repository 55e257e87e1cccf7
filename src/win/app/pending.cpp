#include "win/app/pending.h"

namespace rekal::win {

void openExamLogViewer(HWND) {}
void openExportDialog(HWND) {}
void openRangeDialog(HWND) {}
void startExamCommand(HWND, int) {}
void openListWindow(HWND) {}
void toggleHintWindow(HWND) {}

} // namespace rekal::win
