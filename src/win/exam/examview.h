#pragma once
// The exam view (dialog 591): the child window filling the main window with the toolbar, the
// information pane and its splitter, the question area (the idle information panel while no exam
// runs) and the status bar.

#include <windows.h>

namespace rekal::win {

// Destroys the view that exists (after ending a running exam; nothing changes when that started a
// retry run instead), then creates a new one sized to the main window. False when nothing changed.
bool createExamView();
// Moves the view over the main window's client area and lays its controls out again.
void layoutExamView();
// After the settings changed fonts, colours or spacing: the view's controls take the display fonts
// (a running question its own), the question text is measured and laid out again and the view is
// drawn again. Nothing while there is no view.
void restyleExamView();

// Ends a running exam while the view is closed or the book replaced. False when a retry run
// started instead.
bool endExamRun();

class ExamSession;
// The window side of the run, kept in the view's record; null while there is no view.
ExamSession* examSession();

// The view's toolbar, or null while there is no view.
HWND examToolbar();

// Progress texts of the status bar's first field.
enum class StatusText { Loading, Saving, Analysing, Idle };
// Does nothing while there is no view.
void setStatusText(StatusText code);

// The idle information panel: shown when the view is created, after a load and when a run ends;
// closed when a run is prepared. Refreshing fills in the book's path and question count.
void showIdlePanel();
void closeIdlePanel();
void refreshIdlePanel();

INT_PTR CALLBACK examViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace rekal::win
