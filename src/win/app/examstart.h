#pragma once
// Fixed-list runs started from outside the exam view (the exam-log viewer's re-exam): the run is
// set up by the engine with the exam view's session and then asked in the main window.

#include "core/exam/method.h"

#include <vector>

namespace rekal::win {

// Starts the questions in this order as a run of `kind` (shuffled when asked). False when nothing
// started (no exam view, an empty list, or ending the running exam started a retry instead).
bool startFixedListExam(const std::vector<int>& questions, ExamKind kind, bool shuffle);

} // namespace rekal::win
