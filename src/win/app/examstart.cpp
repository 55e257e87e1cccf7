#include "win/app/examstart.h"

#include "core/examlog/examlog.h"
#include "resource.h"
#include "win/app/app.h"
#include "win/base/wintext.h"
#include "win/exam/examsession.h"
#include "win/exam/resultdialog.h"

#include <memory>

namespace rekal::win {

namespace {

// What a run asks of the window: the answer edit of the exam view, the abort question and the
// result dialog.
class WindowExamScreen : public ExamScreen {
  public:
    std::string answerEditText() override {
        return app().examView ? windowText(GetDlgItem(app().examView, IDC_ANSWER_EDIT)) : std::string();
    }
    Verdict runAnswerDialog(const AnswerDialogInput&) override { return Verdict::None; }
    bool confirmAbort() override { return app().notifier.ask(kAbortQuestion); }
    ResultDialogChoice runResultDialog(const ResultDialogInput& input) override {
        return showResultDialog(app().mainWindow, input);
    }
    bool mainWindowEnabled() override { return app().mainWindow && IsWindowEnabled(app().mainWindow); }
};

struct ProgramExam {
    SystemClock clock;
    WindowExamScreen screen;
    ExamLogFile log;
    ExamEnv env;

    ProgramExam()
        : log(app().book, app().settings, clock, app().notifier), env{app().book,  app().settings,
                                                                      app().vague, app().random,
                                                                      clock,       screen,
                                                                      &log} {}
};

} // namespace

ExamEnv& programExamEnv() {
    // The exam view's session asks the questions; the stand-in below serves only while no view
    // exists.
    if (ExamEnv* env = sessionExamEnv()) return *env;
    static std::unique_ptr<ProgramExam> exam;
    // The program record is made anew for each start (tests start the program several times).
    if (!exam || &exam->env.book != &app().book) exam = std::make_unique<ProgramExam>();
    return exam->env;
}

bool startFixedListExam(const std::vector<int>& questions, ExamKind kind, bool shuffle) {
    return startFixedListRun(app().run, programExamEnv(), questions, kind, shuffle);
}

} // namespace rekal::win
