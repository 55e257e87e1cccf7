#pragma once
// The window side of an exam run: the ExamScreen the exam view gives the engine (fields, fonts,
// choice buttons, status bar, timer, dialogs, sounds), the real clock and the exam log, and the
// commands that start, answer and abort runs. One session lives in the exam view's record and goes
// with the view; runs start only through it.

#include "core/exam/run.h"
#include "core/shell/viewframe.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace rekal::win {

class ExamSession;

struct ExamSessionDeleter {
    void operator()(ExamSession* session) const;
};
using ExamSessionPtr = std::unique_ptr<ExamSession, ExamSessionDeleter>;

ExamSessionPtr createExamSession(HWND view);

// The exam surroundings of the view's session (its screen, clock and exam log), or null while
// there is no exam view.
ExamEnv* sessionExamEnv();

// Starts the questions in this order as a run of `kind` (shuffled when asked), as the exam-log
// viewer's re-exam does. False when nothing started (no exam view, an empty list, or ending the
// running exam started a retry instead).
bool startFixedListExam(const std::vector<int>& questions, ExamKind kind, bool shuffle);

// The start commands 2307 to 2312: すべて, ランダム（すべて）, 一問のみ and 完全 start at once;
// ランダム（回数指定） and 弱点問題 ask for their count over `owner` first.
void startExamCommand(HWND owner, int command);

// Ends the running exam (logged). False when a retry run started instead.
bool endRunningExam(ExamSession& session);

// The view's messages that belong to the run. Each returns false when the message is not the run's.
bool onRunCommand(ExamSession& session, int id, int notification);
bool onRunTimer(ExamSession& session, UINT_PTR timer);
bool drawRunItem(ExamSession& session, const DRAWITEMSTRUCT& item);
// Text and background colours of the question fields from the question's fonts; 0 when not a run
// field or no run is active.
INT_PTR runControlColour(ExamSession& session, HDC dc, int controlId);
// The view was activated: the focus goes to the run's input.
void onRunActivated(ExamSession& session);
// New display fonts were made: the question on screen takes its fonts again (the file's where
// they apply) and the choice buttons their colours.
void restyleRun(ExamSession& session);

// The band under the question while a run is active (its height goes into the frame), and the
// places of the run's fields once the frame is known.
int runBandHeight(ExamSession& session);
void layoutRunFields(ExamSession& session, const ViewFrame& frame);

} // namespace rekal::win
