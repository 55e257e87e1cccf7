#pragma once
// The rules of the customize pages and of the vague settings dialog, over plain records: what each
// page holds, how it is filled from and stored into the settings, its reset values, its checks with
// the one warning they give, and which controls its values enable. The pages only move values
// between their controls and these records.

#include "core/settings/settings.h"
#include "core/settings/vague.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// The number a page's number edit holds: its decimal value (optional spaces and sign), or -1 when
// the text is no number; values beyond the int range are clamped. -1 lies outside every page range.
int pageNumber(std::string_view text);

// Names that code page 932 cannot hold, or that are longer than the settings keep, are refused:
// never stored with look-alike characters or cut short.
inline constexpr const char* kUnstorableChosenName =
    "このファイル名はシフトJISで表せないか長すぎるため、使用できません。";
inline constexpr const char* kUnstorableExamLogName =
    "出題履歴のファイル名にシフトJISで表せない文字が含まれているか、ファイル名が長すぎます。";
inline constexpr const char* kUnstorableSoundName =
    "効果音のファイル名にシフトJISで表せない文字が含まれているか、ファイル名が長すぎます。";

// Whether a path text (none when code page 932 cannot hold it) fits a settings path field.
inline bool storablePathText(const std::optional<std::string>& text) {
    return text && text->size() <= kMaxPathText;
}
inline constexpr const char* kUnstorableVagueText =
    "シフトJISで表せない文字が含まれているため、この文字列は登録できません。";
inline constexpr const char* kUnstorableFaceName =
    "このフォント名は設定ファイルに保存できないため、使用できません。";

// ---- 一般 ----
struct GeneralPage {
    bool loadLastFile = false;
    bool saveExamLog = false;
    std::string examLogName; // CP932, up to 259 bytes
    int examLogSize = 0;
    bool examLogNameStorable = true; // the edit's text is CP932 as it stands
};
GeneralPage fillGeneralPage(const Settings& settings);
// The warning of the first invalid field; empty when the page may be stored.
std::string_view checkGeneralPage(const GeneralPage& page);
void storeGeneralPage(const GeneralPage& page, Settings& settings);
// The path, browse button and size are enabled only while the log is kept.
inline bool examLogControlsEnabled(const GeneralPage& page) {
    return page.saveExamLog;
}

// ---- 効果音 ----
enum SoundKind { ExamSound, RightSound, WrongSound, ResultSound, SoundKindCount };
struct SoundPage {
    bool sound = false;
    std::array<std::string, SoundKindCount> paths; // working paths, CP932
    std::array<bool, SoundKindCount> storable{true, true, true, true};
};
SoundPage fillSoundPage(const Settings& settings);
// Only a path that code page 932 cannot hold is refused.
std::string_view checkSoundPage(const SoundPage& page);
void storeSoundPage(const SoundPage& page, Settings& settings);
// The path, its browse button and play are enabled only while sounds are played.
inline bool soundControlsEnabled(const SoundPage& page) {
    return page.sound;
}

// ---- 文字列比較 ----
struct ComparePage {
    bool useData = false;         // UseData bit 2
    std::uint8_t compareMode = 0; // the five options, kept while greyed
};
ComparePage fillComparePage(const Settings& settings);
void storeComparePage(const ComparePage& page, Settings& settings);
// The five options are enabled only while the question file's settings are not used.
inline bool compareOptionsEnabled(const ComparePage& page) {
    return !page.useData;
}

// ---- フォント ----
struct FontPage {
    bool useData = false; // UseData bit 4
    std::array<FontSpec, kStoredFontCount> fonts;
    Color colorActive = 0, colorHover = 0;
};
FontPage fillFontPage(const Settings& settings);
void storeFontPage(const FontPage& page, Settings& settings);

// ---- 問題 ----
struct QuestionPage {
    bool useData = false; // UseData bit 1
    int defaultSelection = 0, lineSelection = 0, selectionHeight = 0;
    bool autoLineSelection = false, autoSelectionHeight = false; // SelectionAlign bits 1 and 2
    bool fromTitle = false, fromGroup = false;                   // SelectFrom bits 1 and 2
    int timeLimit = 0, questionShowTime = 0, answerStartTime = 0, lineInterval = 0;
};
QuestionPage fillQuestionPage(const Settings& settings);
// A count is checked even while 自動 disables its field.
std::string_view checkQuestionPage(const QuestionPage& page);
void storeQuestionPage(const QuestionPage& page, Settings& settings);

// ---- 答え ----
struct AnswerPage {
    int baseWidth = 0, baseHeight = 0, autoClickTime = 0;
    bool noClickWrong = false;
    int clickButtonType = 0;                            // 0 right, 1 wrong, 2 skip
    bool showComment = false, showAlternatives = false; // AnswerView bits 1 and 2
};
AnswerPage fillAnswerPage(const Settings& settings);
std::string_view checkAnswerPage(const AnswerPage& page);
void storeAnswerPage(const AnswerPage& page, Settings& settings);
// The no-click-on-wrong box and the button list matter only while the answer dialog clicks itself.
inline bool autoClickControlsEnabled(int autoClickTime) {
    return autoClickTime != 0;
}

// Reset of a page is its fill from the built-in defaults: fillXPage(defaultSettings(inputs)).

// ---- the vague settings dialog's list ----
struct VagueRow {
    std::string first, second;
    bool selected = false;
    bool focused = false; // the list's focus row; it travels with its row
};
struct VagueList {
    std::vector<VagueRow> rows;
    std::array<bool, 2> ascending{true, true}; // per column, flipped before each sort
};
// A string comparison (negative, 0, positive), the platform's locale-aware one in the program.
using VagueCompare = std::function<int(std::string_view, std::string_view)>;

VagueList vagueListFromTable(const VagueTable& table);
// The table of the rows, top to bottom.
VagueTable vagueTableFromList(const VagueList& list);
// Appends a pair, the longer string (in bytes) first; -1 when both strings are empty (nothing added),
// else the new row's index.
int addVagueRow(VagueList& list, std::string_view first, std::string_view second);
// Moves every selected row one place up (down), keeping its selection; nothing when the first (last)
// row is selected. False when nothing moved.
bool moveVagueRowsUp(VagueList& list);
bool moveVagueRowsDown(VagueList& list);
// Removes every selected row; false when none was selected.
bool deleteVagueRows(VagueList& list);
// The 46 built-in pairs.
void resetVagueList(VagueList& list);
// Flips the column's direction, then sorts all rows by that column's text in it (stable).
void sortVagueList(VagueList& list, int column, const VagueCompare& compare);

} // namespace rekal
