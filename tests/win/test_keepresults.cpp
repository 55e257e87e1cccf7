// No answer is lost: the end of the Windows session in the middle of a run, while its answer dialog
// is open, leaves the book, the exam log and the settings written; the book is saved after every
// run; and a book its author edited between two runs keeps both the editor's lines and the
// session's results, which the user is told about once.

#include "examtest.h"

#include <string>
#include <vector>

namespace {

using namespace examtest;

// The histories of the book in the window.
std::vector<int> loadedHistories() {
    std::vector<int> histories;
    for (int i = 0; i < app().book.questionCount(); ++i)
        histories.push_back(app().book.questionAt(i)->history);
    return histories;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

} // namespace

WINTEST(theSessionEndsWhileAnAnswerDialogIsOpen) {
    Exam exam(L"rekal-keep-session");
    setMode(CMD_MODE_WRITTEN);
    const fs::path ini = exam.dir / L"REKALWIN.INI";
    fs::remove(ini);
    int resultDialogs = 0;
    DialogWatcher results(L"結果", [&](HWND d) {
        ++resultDialogs;
        postKey(focusOf(d), VK_ESCAPE);
    });
    // What a process ended right after WM_ENDSESSION leaves: read while the second answer dialog is
    // still open, before anything else of the program runs.
    DWORD_PTR query = 0;
    bool delivered = false;
    std::vector<int> histories;
    rekal::ExamLog log;
    bool iniWritten = false;
    {
        int dialogs = 0;
        DialogWatcher answers(L"答え", [&](HWND dialog) {
            if (++dialogs == 2) {
                HWND main = app().mainWindow;
                DWORD_PTR ignored = 0;
                delivered = SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                                10000, &query) &&
                            SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                                10000, &ignored);
                histories = savedHistories(exam.book);
                log = readLog(exam.log);
                iniWritten = fs::exists(ini);
            }
            postKey(focusOf(dialog), VK_RETURN);
        });
        command(CMD_START_ALL);
        answerTyped(true);
        answerTyped(true); // its dialog is open when the session ends
        pump(300);
    }
    ok(delivered && query == TRUE, "the session end was refused or blocked (%d)", static_cast<int>(query));
    ok(resultDialogs == 0, "a result dialog waited for the user");
    ok(histories == (std::vector<int>{16, 16, 0, 0}), "the book holds %zu histories, the first %d",
       histories.size(), histories.empty() ? -1 : histories[0]);
    // The record: its heading row and the two answers.
    if (ok(log.entries.size() == 1, "%zu records in the exam log", log.entries.size()))
        ok(log.entries[0].rowCount == 3 && *log.entries[0].rate == "100.00%", "logged %u rows, rate %s",
           log.entries[0].rowCount, std::string(*log.entries[0].rate).c_str());
    ok(iniWritten, "the settings file was not written");
    // Should the process live on, the ended run stays ended and the program works as before.
    ok(idleAgain() && !app().book.isDirty(), "the program is not idle and saved after the session end");
    closeProgram();
    ok(readLog(exam.log).entries.size() == 1, "closing logged the run again");
}

WINTEST(theBookEditedBetweenTwoRuns) {
    Exam exam(L"rekal-keep-edit");
    setMode(CMD_MODE_WRITTEN);
    DialogWatcher results = closingResults();
    AnswerScript script(std::vector<AnswerScript::Key>(8, vk(VK_RETURN)));
    command(CMD_START_ALL);
    for (int i = 0; i < 4; ++i)
        answerTyped(true);
    pump(200);
    // Saved when the run ended, not only at exit.
    ok(idleAgain() && !app().book.isDirty(), "the book was not saved after the run");
    ok(savedHistories(exam.book) == (std::vector<int>{16, 16, 16, 16}), "the file lacks the run's results");

    // The author rewords the second question and adds one, keeping the histories the file holds.
    const std::string edited =
        replaced(readBytes(exam.book), "青森県の県庁所在地は？", "青森県の県庁所在地はどこ？") +
        "秋田県の県庁所在地は？,秋田,<00\r\n";
    writeBytes(exam.book, edited);
    command(CMD_LIST);
    ok(app().listWindow != nullptr, "no list window");

    DialogWatcher told(L"Rekal for Windows", [](HWND box) {
        if (!shotFolder().empty()) saveScreen(shotFolder() + L"\\merged.bmp");
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    command(CMD_START_ALL);
    for (int i = 0; i < 4 && app().run.active(); ++i)
        answerTyped(true);
    pump(200);
    ok(told.texts() ==
           std::vector<std::wstring>{L"ファイルがほかで変更されていたため、読み込み直して 3 "
                                     L"問の解答結果を引き継ぎました。\n次の問題はファイルに見つからず、"
                                     L"解答結果を引き継げませんでした：\n2: 青森県の県庁所在地は？"},
       "%d boxes, the first %s", told.seen(), told.seen() ? wintest::utf8(told.texts()[0]).c_str() : "");
    // The editor's lines are kept; the reworded question keeps the file's history, the others have
    // both runs' results.
    const std::string saved = readBytes(exam.book);
    ok(saved.find("青森県の県庁所在地はどこ？") != std::string::npos &&
           saved.find("秋田県の県庁所在地は？,秋田,<00") != std::string::npos,
       "the editor's lines are gone:\n%s", saved.c_str());
    ok(savedHistories(exam.book) == (std::vector<int>{24, 16, 24, 24, 0}), "histories after the merge");
    // The window shows the merged book; the list window, numbered by the old one, has closed.
    if (!shotFolder().empty()) saveScreen(shotFolder() + L"\\aftermerge.bmp");
    ok(loadedHistories() == savedHistories(exam.book) && !app().book.isDirty(),
       "the loaded book is not the merged one");
    ok(app().listWindow == nullptr, "the list window is still open");
    const rekal::ExamLog log = readLog(exam.log);
    ok(log.entries.size() == 2 && log.entries[1].rowCount == 5, "%zu records", log.entries.size());
    closeProgram();
    ok(savedHistories(exam.book) == (std::vector<int>{24, 16, 24, 24, 0}), "closing changed the book");
}

WINTEST_MAIN("keepresults")
