#pragma once
// Fixed-list runs started from outside the exam view (the exam-log viewer's re-exam): the run is
// set up by the engine with the program's exam surroundings and then asked in the main window.

#include "core/exam/method.h"
#include "core/exam/run.h"

#include <vector>

namespace rekal::win {

// The program's exam surroundings: its book, settings, vague table, random generator, the real
// clock, the exam log and the exam view's screen.
ExamEnv& programExamEnv();

// Starts the questions in this order as a run of `kind` (shuffled when asked). False when nothing
// started (an empty list, or ending the running exam started a retry instead).
bool startFixedListExam(const std::vector<int>& questions, ExamKind kind, bool shuffle);

} // namespace rekal::win
