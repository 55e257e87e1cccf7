// Screenshots of an exam for the documentation, taken only when REKAL_SCREENSHOTS names a folder:
// a question with its title, a picture and the history; choice mode with nine choices in rows; the
// answer dialog with a comment and the list of answers; the information pane idle and during a run,
// with the hint window beside the main window. Each is the whole screen as a BMP file.

#include "examtest.h"

namespace {

using namespace examtest;

std::string nineQuestions() {
    std::string text = "REKALDATA V1.6\r\n#県庁所在地,000000\r\n";
    const char* pairs[][2] = {{"北海道", "札幌市"}, {"青森県", "青森市"}, {"岩手県", "盛岡市"},
                              {"宮城県", "仙台市"}, {"秋田県", "秋田市"}, {"山形県", "山形市"},
                              {"福島県", "福島市"}, {"茨城県", "水戸市"}, {"栃木県", "宇都宮市"}};
    for (const auto& p : pairs)
        text += std::string(p[0]) + "の県庁所在地は？,(" + p[1] + "|" +
                std::string(p[1]).substr(0, std::string(p[1]).size() - 2) + ")," + "<00'" + p[0] +
                "の中心都市\r\n";
    return text;
}

} // namespace

void abortRun() {
    DialogWatcher yes = DialogWatcher::pressing(IDYES);
    pressKey(VK_ESCAPE, 300);
}

void bigWindow() {
    MoveWindow(app().mainWindow, 0, 0, 760, 560, TRUE);
    pump(100);
}

WINTEST(examScreenshots) {
    const std::wstring dir = shotFolder();
    if (dir.empty()) return;
    {
        // A question with a title, a picture and a history.
        const std::string book =
            "REKALDATA V1.6\r\n#東北地方,000000\r\n"
            "この地図の県の県庁所在地は？\\n\\i\"map.png\",盛岡(市|),Z00'わんこそばで有名\r\n";
        Exam exam(L"rekal-shots-picture", book);
        writeBytes(exam.dir / L"map.png",
                   readBytes(fs::path(hostPath(REKAL_TEST_DATA "/../../resources/infopane.png"))));
        bigWindow();
        setMode(CMD_MODE_WRITTEN);
        command(CMD_START_ALL);
        typeAnswer(L"もりおか");
        pump(300);
        ok(saveScreen(dir + L"\\exam-question.bmp"), "no screenshot");
        abortRun();
        closeProgram();
    }
    {
        // Choice mode with nine choices, three to a row, the fifth selected.
        Exam exam(L"rekal-shots-choices", nineQuestions());
        bigWindow();
        app().settings.defaultSelection = 9;
        app().settings.lineSelection = 3;
        app().settings.selectionAlign = 0;
        app().settings.selectionHeight = 2;
        setMode(CMD_MODE_CHOICE);
        app().random.seed(3);
        command(CMD_START_ALL);
        postCharKey(GetFocus(), L'5');
        pump(300);
        ok(app().run.choiceCount == 9, "%d choices", app().run.choiceCount);
        ok(saveScreen(dir + L"\\exam-choices.bmp"), "no screenshot");
        abortRun();
        closeProgram();
    }
    {
        // The answer dialog of a wrong answer with the comment and the answers list.
        Exam exam(L"rekal-shots-answer", nineQuestions());
        bigWindow();
        app().settings.answerView = 3;
        setMode(CMD_MODE_WRITTEN);
        DialogWatcher results = closingResults(); // the abort after a wrong answer shows them
        DialogWatcher shot(L"答え", [&](HWND d) {
            Sleep(300);
            saveScreen(dir + L"\\exam-answer.bmp");
            postKey(focusOf(d), VK_RETURN);
        });
        command(CMD_START_ALL);
        typeAnswer(L"函館");
        pressKey(VK_RETURN, 800);
        ok(shot.seen() == 1, "no answer dialog");
        abortRun();
        closeProgram();
    }
    {
        // Idle: the information pane typing its tips; then a run with the pane's fields and the hint
        // window beside a main window that made room for it at the screen's right edge.
        const std::string book =
            "REKALDATA V1.6\r\n#県庁所在地,000000\r\n"
            "岩手県の県庁所在地は？\\h北上川が流れる\\h「わんこそば」で有名\\h石川啄木ゆかりの町,"
            "盛岡(市|),<00\r\n";
        Exam exam(L"rekal-shots-hint", book);
        DialogWatcher results = closingResults();
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        MoveWindow(app().mainWindow, work.right - 640, 40, 640, 480, TRUE);
        pump(2500);
        ok(saveScreen(dir + L"\\exam-idle.bmp"), "no screenshot");
        setMode(CMD_MODE_WRITTEN);
        command(CMD_START_ALL);
        SendMessageW(app().mainWindow, WM_COMMAND, CMD_VIEW_HINT, 0);
        if (app().hintWindow) SendDlgItemMessageW(app().hintWindow, IDC_HINT_NEXT, BM_CLICK, 0, 0);
        pump(1500);
        ok(app().hintWindow != nullptr, "no hint window");
        ok(saveScreen(dir + L"\\exam-hint.bmp"), "no screenshot");
        SendMessageW(app().mainWindow, WM_COMMAND, CMD_VIEW_HINT, 0);
        SetFocus(examControl(IDC_ANSWER_EDIT));
        abortRun();
        closeProgram();
    }
}

WINTEST_MAIN("examshots")
