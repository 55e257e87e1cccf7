#include "core/settings/customize.h"

#include <algorithm>
#include <climits>

namespace rekal {

namespace {

bool inRange(int value, int minimum, int maximum) {
    return value >= minimum && value <= maximum;
}

void setBit(std::uint8_t& bits, std::uint8_t bit, bool on) {
    bits = static_cast<std::uint8_t>(on ? (bits | bit) : (bits & ~bit));
}

} // namespace

int pageNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return -1;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = std::min<long long>(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// ---- 一般 ----

GeneralPage fillGeneralPage(const Settings& s) {
    return {s.has(LoadLastFile), s.has(SaveExamLog), s.examLogName, s.examLogSize};
}

std::string_view checkGeneralPage(const GeneralPage& page) {
    if (!inRange(page.examLogSize, 0, 32767)) return "出題履歴サイズは 0 ～ 32767 の間で指定してください。";
    if (!page.examLogNameStorable) return kUnstorableExamLogName;
    return {};
}

void storeGeneralPage(const GeneralPage& page, Settings& s) {
    s.examLogSize = page.examLogSize;
    s.set(LoadLastFile, page.loadLastFile);
    s.set(SaveExamLog, page.saveExamLog);
    s.examLogName = page.examLogName.substr(0, kMaxPathText);
}

// ---- 効果音 ----

SoundPage fillSoundPage(const Settings& s) {
    return {s.has(Sound), {s.sndExam, s.sndTrue, s.sndFalse, s.sndResult}};
}

std::string_view checkSoundPage(const SoundPage& page) {
    for (bool storable : page.storable)
        if (!storable) return kUnstorableSoundName;
    return {};
}

void storeSoundPage(const SoundPage& page, Settings& s) {
    s.set(Sound, page.sound);
    std::string* fields[SoundKindCount] = {&s.sndExam, &s.sndTrue, &s.sndFalse, &s.sndResult};
    for (int i = 0; i < SoundKindCount; ++i)
        *fields[i] = page.paths[i].substr(0, kMaxPathText);
}

// ---- 文字列比較 ----

ComparePage fillComparePage(const Settings& s) {
    return {(s.useData & UseCompareOptions) != 0, s.compareMode};
}

void storeComparePage(const ComparePage& page, Settings& s) {
    setBit(s.useData, UseCompareOptions, page.useData);
    s.compareMode = page.compareMode;
}

// ---- フォント ----

FontPage fillFontPage(const Settings& s) {
    FontPage page;
    page.useData = (s.useData & UseFonts) != 0;
    std::copy_n(s.fonts.begin(), kStoredFontCount, page.fonts.begin());
    page.colorActive = s.colorActive;
    page.colorHover = s.colorHover;
    return page;
}

void storeFontPage(const FontPage& page, Settings& s) {
    setBit(s.useData, UseFonts, page.useData);
    std::copy_n(page.fonts.begin(), kStoredFontCount, s.fonts.begin());
    s.colorActive = page.colorActive;
    s.colorHover = page.colorHover;
}

// ---- 問題 ----

QuestionPage fillQuestionPage(const Settings& s) {
    QuestionPage page;
    page.useData = (s.useData & UseQuestionSettings) != 0;
    page.defaultSelection = s.defaultSelection;
    page.lineSelection = s.lineSelection;
    page.selectionHeight = s.selectionHeight;
    page.autoLineSelection = (s.selectionAlign & 1) != 0;
    page.autoSelectionHeight = (s.selectionAlign & 2) != 0;
    page.fromTitle = (s.selectFrom & 1) != 0;
    page.fromGroup = (s.selectFrom & 2) != 0;
    page.timeLimit = s.timeLimit;
    page.questionShowTime = s.questionShowTime;
    page.answerStartTime = s.answerStartTime;
    page.lineInterval = s.lineInterval;
    return page;
}

std::string_view checkQuestionPage(const QuestionPage& p) {
    if (!inRange(p.lineInterval, 0, 32767)) return "行間は 0 ～ 32767 の間で指定してください。";
    if (!inRange(p.timeLimit, 0, 32767)) return "制限時間は 0 ～ 32767 の間で指定してください。";
    if (!inRange(p.questionShowTime, 0, 32767)) return "表示時間は 0 ～ 32767 の間で指定してください。";
    if (!inRange(p.answerStartTime, 0, 32767)) return "解答開始時間は 0 ～ 32767 の間で指定してください。";
    if (!inRange(p.defaultSelection, 1, 9)) return "選択肢の数は 1 ～ 9 の間で指定してください。";
    if (!inRange(p.lineSelection, 1, 9)) return "一行に表示する選択肢の数は 1 ～ 9 の間で指定してください。";
    if (!inRange(p.selectionHeight, 1, 9)) return "選択肢ボタンの高さは 1 ～ 9 の間で指定してください。";
    return {};
}

void storeQuestionPage(const QuestionPage& p, Settings& s) {
    setBit(s.useData, UseQuestionSettings, p.useData);
    s.defaultSelection = static_cast<std::uint8_t>(p.defaultSelection);
    s.lineSelection = static_cast<std::uint8_t>(p.lineSelection);
    s.selectionHeight = static_cast<std::uint8_t>(p.selectionHeight);
    setBit(s.selectionAlign, 1, p.autoLineSelection);
    setBit(s.selectionAlign, 2, p.autoSelectionHeight);
    setBit(s.selectFrom, 1, p.fromTitle);
    setBit(s.selectFrom, 2, p.fromGroup);
    s.timeLimit = p.timeLimit;
    s.questionShowTime = p.questionShowTime;
    s.answerStartTime = p.answerStartTime;
    s.lineInterval = p.lineInterval;
}

// ---- 答え ----

AnswerPage fillAnswerPage(const Settings& s) {
    return {s.baseWidthWndAnswer,
            s.baseHeightWndAnswer,
            s.ansDlgAutoClickTime,
            s.has(AnsDlgNoClickWrong),
            std::clamp(s.ansDlgClickButtonType, 0, 2),
            (s.answerView & 1) != 0,
            (s.answerView & 2) != 0};
}

std::string_view checkAnswerPage(const AnswerPage& p) {
    if (!inRange(p.autoClickTime, 0, 32767))
        return "ボタンを自動的にクリックするまでの時間は 0 ～ 32767 の間で指定してください。";
    if (!inRange(p.baseWidth, 260, 32767))
        return "答えダイアログの基準幅は 260 ～ 32767 の間で指定してください。";
    if (!inRange(p.baseHeight, 150, 32767))
        return "答えダイアログの基準高さは 150 ～ 32767 の間で指定してください。";
    return {};
}

void storeAnswerPage(const AnswerPage& p, Settings& s) {
    s.baseWidthWndAnswer = p.baseWidth;
    s.baseHeightWndAnswer = p.baseHeight;
    s.ansDlgAutoClickTime = p.autoClickTime;
    s.ansDlgClickButtonType = p.clickButtonType;
    s.set(AnsDlgNoClickWrong, p.noClickWrong);
    setBit(s.answerView, 1, p.showComment);
    setBit(s.answerView, 2, p.showAlternatives);
}

// ---- the vague settings dialog's list ----

VagueList vagueListFromTable(const VagueTable& table) {
    VagueList list;
    forEachVaguePair(table.block, table.count, [&](const VaguePair& pair) {
        list.rows.push_back({std::string(pair.first), std::string(pair.second)});
    });
    return list;
}

VagueTable vagueTableFromList(const VagueList& list) {
    VagueTable table;
    for (const VagueRow& row : list.rows) {
        table.block.append(row.first).push_back('\0');
        table.block.append(row.second).push_back('\0');
    }
    table.count = static_cast<int>(list.rows.size());
    return table;
}

int addVagueRow(VagueList& list, std::string_view first, std::string_view second) {
    if (first.empty() && second.empty()) return -1;
    if (first.size() < second.size()) std::swap(first, second);
    list.rows.push_back({std::string(first), std::string(second)});
    return static_cast<int>(list.rows.size()) - 1;
}

bool moveVagueRowsUp(VagueList& list) {
    auto& rows = list.rows;
    if (rows.empty() || rows.front().selected) return false;
    bool moved = false;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (!rows[i].selected) continue;
        std::swap(rows[i], rows[i - 1]);
        moved = true;
    }
    return moved;
}

bool moveVagueRowsDown(VagueList& list) {
    auto& rows = list.rows;
    if (rows.empty() || rows.back().selected) return false;
    bool moved = false;
    for (std::size_t i = rows.size() - 1; i-- > 0;) {
        if (!rows[i].selected) continue;
        std::swap(rows[i], rows[i + 1]);
        moved = true;
    }
    return moved;
}

bool deleteVagueRows(VagueList& list) {
    const auto removed = std::erase_if(list.rows, [](const VagueRow& row) { return row.selected; });
    return removed != 0;
}

void resetVagueList(VagueList& list) {
    list.rows = vagueListFromTable(defaultVagueTable()).rows;
}

void sortVagueList(VagueList& list, int column, const VagueCompare& compare) {
    if (column < 0 || column > 1) return;
    const bool ascending = list.ascending[column] = !list.ascending[column];
    std::stable_sort(list.rows.begin(), list.rows.end(), [&](const VagueRow& a, const VagueRow& b) {
        const int order = column == 0 ? compare(a.first, b.first) : compare(a.second, b.second);
        return ascending ? order < 0 : order > 0;
    });
}

} // namespace rekal
