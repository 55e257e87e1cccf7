#include "win/app/examstart.h"

#include "core/exam/run.h"
#include "win/app/app.h"
#include "win/exam/examsession.h"

namespace rekal::win {

bool startFixedListExam(const std::vector<int>& questions, ExamKind kind, bool shuffle) {
    ExamEnv* env = sessionExamEnv();
    return env && startFixedListRun(app().run, *env, questions, kind, shuffle);
}

} // namespace rekal::win
