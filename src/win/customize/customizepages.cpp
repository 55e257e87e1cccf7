#include "win/customize/customizepages.h"

#include "core/settings/customize.h"
#include "core/shell/helpcontexts.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/dialogs/filedialog.h"
#include "win/base/wintext.h"
#include "win/customize/vaguedialog.h"
#include "win/exam/hintwindow.h"
#include "win/dialogs/dialogkit.h"
#include "win/exam/examview.h"
#include "win/list/listwindow.h"

#include <commctrl.h>

#include <array>
#include <string>

namespace rekal::win {

bool isChecked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void setChecked(HWND page, int id, bool on) {
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

int numberOf(HWND page, int id) {
    return pageNumber(windowText(GetDlgItem(page, id)));
}

void showNumber(HWND page, int id, int value) {
    setWindowText(GetDlgItem(page, id), std::to_string(value));
}

void enableControls(HWND page, std::initializer_list<int> ids, bool on) {
    for (int id : ids)
        EnableWindow(GetDlgItem(page, id), on);
}

void putChosenFile(HWND page, int editId, const std::optional<std::filesystem::path>& file) {
    if (!file || file->empty()) return;
    if (const std::optional<std::string> name = storableChosenName(*file, app().notifier))
        setWindowText(GetDlgItem(page, editId), *name);
}

void restyleDisplay() {
    AppState& a = app();
    if (a.mainWindow) createDisplayFonts(a.mainWindow, a.settings, a.fonts);
    restyleExamView();
    restyleHintWindow();
    restyleListWindow();
}

namespace {

// A number edit and its up-down with their range.
struct NumberField {
    int edit, spin, minimum, maximum;
};

void setUpNumbers(HWND page, std::initializer_list<NumberField> fields) {
    for (const NumberField& f : fields)
        setUpNumberEdit(page, f.edit, f.spin, f.minimum, f.maximum, 0);
}

void noSetUp(HWND, const Settings&) {}
std::string_view noCheck(HWND) {
    return {};
}

// ---- 一般 ----

GeneralPage readGeneral(HWND page) {
    const std::optional<std::string> name = toCp932Exactly(wideWindowText(GetDlgItem(page, IDC_PAGE_1028)));
    return {isChecked(page, IDC_PAGE_1026), isChecked(page, IDC_PAGE_1027), name.value_or(std::string()),
            numberOf(page, IDC_PAGE_1029), storablePathText(name)};
}

// 参照: the save chooser starting from the edit's text.
PageCommand generalCommand(HWND page, int id, int code) {
    if (id != IDC_PAGE_BROWSE || code != BN_CLICKED) return PageCommand::NotMine;
    putChosenFile(page, IDC_PAGE_1028,
                  chooseSaveFile(page, wideWindowText(GetDlgItem(page, IDC_PAGE_1028)),
                                 {{"テキストファイル (*.txt)", "*.TXT"}}, app().notifier));
    return PageCommand::Unchanged; // the edit's own change notice marks the sheet
}

const CustomizePage kGeneral{
    0,
    IDD_PAGE_GENERAL,
    kHelpCustomizeGeneral,
    [](HWND page, const Settings&) {
        SendDlgItemMessageW(page, IDC_PAGE_1028, EM_LIMITTEXT, kMaxPathText, 0);
        setUpNumbers(page, {{IDC_PAGE_1029, IDC_PAGE_1030, 0, 32767}});
    },
    [](HWND page, const Settings& from) {
        const GeneralPage p = fillGeneralPage(from);
        setChecked(page, IDC_PAGE_1026, p.loadLastFile);
        setChecked(page, IDC_PAGE_1027, p.saveExamLog);
        setWindowText(GetDlgItem(page, IDC_PAGE_1028), p.examLogName);
        showNumber(page, IDC_PAGE_1029, p.examLogSize);
    },
    [](HWND page) { return checkGeneralPage(readGeneral(page)); },
    [](HWND page, Settings& to) { storeGeneralPage(readGeneral(page), to); },
    [](HWND page) {
        enableControls(page, {IDC_PAGE_1028, IDC_PAGE_BROWSE, IDC_PAGE_1029, IDC_PAGE_1030},
                       examLogControlsEnabled(readGeneral(page)));
    },
    generalCommand,
    nullptr,
};

// ---- 文字列比較 ----

constexpr std::array<int, 5> kCompareBoxes{IDC_PAGE_1024, IDC_PAGE_1025, IDC_PAGE_1026, IDC_PAGE_1027,
                                           IDC_PAGE_1028};

ComparePage readCompare(HWND page) {
    ComparePage p{isChecked(page, IDC_PAGE_USE_DATA), 0};
    for (std::size_t i = 0; i < kCompareBoxes.size(); ++i)
        if (isChecked(page, kCompareBoxes[i]))
            p.compareMode = static_cast<std::uint8_t>(p.compareMode | (1u << i));
    return p;
}

const CustomizePage kCompare{
    2,
    IDD_PAGE_COMPARE,
    kHelpCustomizeCompare,
    noSetUp,
    [](HWND page, const Settings& from) {
        const ComparePage p = fillComparePage(from);
        setChecked(page, IDC_PAGE_USE_DATA, p.useData);
        for (std::size_t i = 0; i < kCompareBoxes.size(); ++i)
            setChecked(page, kCompareBoxes[i], (p.compareMode & (1u << i)) != 0);
    },
    noCheck,
    [](HWND page, Settings& to) { storeComparePage(readCompare(page), to); },
    [](HWND page) {
        const bool on = compareOptionsEnabled(readCompare(page));
        for (int id : kCompareBoxes)
            EnableWindow(GetDlgItem(page, id), on);
    },
    [](HWND page, int id, int code) {
        if (id != IDC_PAGE_1029 || code != BN_CLICKED) return PageCommand::NotMine;
        // The pairs take effect on the dialog's OK, whatever becomes of the sheet.
        VagueDialogData data{&app().vague, app().vaguePath};
        return showVagueDialog(page, data) == IDOK ? PageCommand::Changed : PageCommand::Unchanged;
    },
    nullptr,
};

// ---- 問題 ----

QuestionPage readQuestion(HWND page) {
    QuestionPage p;
    p.useData = isChecked(page, IDC_PAGE_USE_DATA);
    p.defaultSelection = numberOf(page, IDC_PAGE_1024);
    p.lineSelection = numberOf(page, IDC_PAGE_1027);
    p.selectionHeight = numberOf(page, IDC_PAGE_1030);
    p.autoLineSelection = isChecked(page, IDC_PAGE_1029);
    p.autoSelectionHeight = isChecked(page, IDC_PAGE_1032);
    p.fromTitle = isChecked(page, IDC_PAGE_1039);
    p.fromGroup = isChecked(page, IDC_PAGE_1040);
    p.timeLimit = numberOf(page, IDC_PAGE_1033);
    p.questionShowTime = numberOf(page, IDC_PAGE_1035);
    p.answerStartTime = numberOf(page, IDC_PAGE_1037);
    p.lineInterval = numberOf(page, IDC_PAGE_1041);
    return p;
}

const CustomizePage kQuestion{
    4,
    IDD_PAGE_QUESTION,
    kHelpCustomizeQuestion,
    [](HWND page, const Settings&) {
        setUpNumbers(page, {{IDC_PAGE_1024, IDC_PAGE_1025, 1, 9},
                            {IDC_PAGE_1027, IDC_PAGE_1028, 1, 9},
                            {IDC_PAGE_1030, IDC_PAGE_1031, 1, 9},
                            {IDC_PAGE_1033, IDC_PAGE_1034, 0, 32767},
                            {IDC_PAGE_1035, IDC_PAGE_1036, 0, 32767},
                            {IDC_PAGE_1037, IDC_PAGE_1038, 0, 32767},
                            {IDC_PAGE_1041, IDC_PAGE_1042, 0, 32767}});
    },
    [](HWND page, const Settings& from) {
        const QuestionPage p = fillQuestionPage(from);
        setChecked(page, IDC_PAGE_USE_DATA, p.useData);
        showNumber(page, IDC_PAGE_1024, p.defaultSelection);
        showNumber(page, IDC_PAGE_1027, p.lineSelection);
        showNumber(page, IDC_PAGE_1030, p.selectionHeight);
        setChecked(page, IDC_PAGE_1029, p.autoLineSelection);
        setChecked(page, IDC_PAGE_1032, p.autoSelectionHeight);
        setChecked(page, IDC_PAGE_1039, p.fromTitle);
        setChecked(page, IDC_PAGE_1040, p.fromGroup);
        showNumber(page, IDC_PAGE_1033, p.timeLimit);
        showNumber(page, IDC_PAGE_1035, p.questionShowTime);
        showNumber(page, IDC_PAGE_1037, p.answerStartTime);
        showNumber(page, IDC_PAGE_1041, p.lineInterval);
    },
    [](HWND page) { return checkQuestionPage(readQuestion(page)); },
    [](HWND page, Settings& to) {
        storeQuestionPage(readQuestion(page), to);
        restyleExamView();
    },
    [](HWND page) {
        const QuestionPage p = readQuestion(page);
        enableControls(page, {IDC_PAGE_1027, IDC_PAGE_1028}, !p.autoLineSelection);
        enableControls(page, {IDC_PAGE_1030, IDC_PAGE_1031}, !p.autoSelectionHeight);
    },
    nullptr,
    nullptr,
};

// ---- 答え ----

AnswerPage readAnswer(HWND page) {
    AnswerPage p;
    p.baseWidth = numberOf(page, IDC_PAGE_1024);
    p.baseHeight = numberOf(page, IDC_PAGE_1026);
    p.autoClickTime = numberOf(page, IDC_PAGE_1028);
    p.noClickWrong = isChecked(page, IDC_PAGE_1030);
    p.clickButtonType =
        std::max(0, static_cast<int>(SendDlgItemMessageW(page, IDC_PAGE_1031, CB_GETCURSEL, 0, 0)));
    p.showComment = isChecked(page, IDC_PAGE_1032);
    p.showAlternatives = isChecked(page, IDC_PAGE_1033);
    return p;
}

const CustomizePage kAnswer{
    5,
    IDD_PAGE_ANSWER,
    kHelpCustomizeAnswer,
    [](HWND page, const Settings&) {
        for (const char* item : {"正解ボタン", "不正解ボタン", "スキップボタン"})
            SendDlgItemMessageW(page, IDC_PAGE_1031, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(toWide(item).c_str()));
        setUpNumbers(page, {{IDC_PAGE_1024, IDC_PAGE_1025, 260, 32767},
                            {IDC_PAGE_1026, IDC_PAGE_1027, 150, 32767},
                            {IDC_PAGE_1028, IDC_PAGE_1029, 0, 32767}});
    },
    [](HWND page, const Settings& from) {
        const AnswerPage p = fillAnswerPage(from);
        showNumber(page, IDC_PAGE_1024, p.baseWidth);
        showNumber(page, IDC_PAGE_1026, p.baseHeight);
        showNumber(page, IDC_PAGE_1028, p.autoClickTime);
        setChecked(page, IDC_PAGE_1030, p.noClickWrong);
        SendDlgItemMessageW(page, IDC_PAGE_1031, CB_SETCURSEL, p.clickButtonType, 0);
        setChecked(page, IDC_PAGE_1032, p.showComment);
        setChecked(page, IDC_PAGE_1033, p.showAlternatives);
    },
    [](HWND page) { return checkAnswerPage(readAnswer(page)); },
    [](HWND page, Settings& to) { storeAnswerPage(readAnswer(page), to); },
    [](HWND page) {
        enableControls(page, {IDC_PAGE_1030, IDC_PAGE_1031},
                       autoClickControlsEnabled(numberOf(page, IDC_PAGE_1028)));
    },
    nullptr,
    nullptr,
};

} // namespace

std::span<const CustomizePage> customizePages() {
    static const std::array<CustomizePage, 6> pages{kGeneral,   soundPage(), kCompare,
                                                    fontPage(), kQuestion,   kAnswer};
    return pages;
}

} // namespace rekal::win
