#pragma once
// The program-wide options record and its file, REKALWIN.INI.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

using Color = std::uint32_t; // 0x00BBGGRR, red in the low byte

struct FontSpec {
    int size = 0;    // points
    int charSet = 0; // Windows character-set number
    Color color = 0;
    Color backColor = 0;
    std::string face; // at most 31 bytes
};

// A window place; a left or top of kDefaultPosition leaves the placing to the system.
struct WindowRect {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
};
inline constexpr std::int32_t kDefaultPosition = static_cast<std::int32_t>(0x80000000u);

// Option bits, each stored under its own key as 0 or 1.
enum OptionBit : std::uint16_t {
    ToolBar = 1,
    StatusBar = 2,
    Group = 4,
    ToolHint = 8,
    InfoPain = 16,
    Sound = 32,
    SaveExamLog = 64,
    LoadLastFile = 128,
    NoAlready = 256,
    Retry = 512,
    RetryRandom = 1024,
    ExamLogSort = 2048,
    AnsDlgNoClickWrong = 4096,
};

// UseData bits: values taken from the question file instead of the settings.
enum UseDataBit : std::uint8_t {
    UseQuestionSettings = 1, // time limits, display and answer-start times, the question's own wrong choices
    UseCompareOptions = 2,
    UseFonts = 4,
};

enum FontClass {
    TitleFont,
    QuestionFont,
    HintFont,
    AnswerFont,
    GroupFont,
    CommentFont,
    InfoFont,
    FontClassCount
};
inline constexpr int kStoredFontCount = 6; // the information-pane font is not in the file

inline constexpr std::size_t kMaxPathText = 259; // bytes of a file name
inline constexpr std::size_t kMaxFaceName = 31;
inline constexpr int kMaxRecentFiles = 10;

struct Settings {
    WindowRect mainRect, listRect, hintRect, detailRect, graphRect;
    std::int32_t infoPainWidth = 0;
    std::int32_t listAnswerTop = 0;
    std::int32_t listCommentTop = 0;
    int recentFileMax = 0;
    bool mainMaximized = false, listMaximized = false, detailMaximized = false, graphMaximized = false;
    // The study graph's choices: every book (or the open one), and its period (index into
    // kStudyPeriodDays).
    bool graphAllBooks = false;
    int graphPeriod = 0;
    std::uint8_t compareMode = 0;
    std::uint16_t options = 0;
    std::uint8_t useData = 0, answerMode = 0, selectFrom = 0, answerView = 0, defaultSelection = 0,
                 lineSelection = 0, selectionHeight = 0, selectionAlign = 0;
    int initialExamCount = 0, weakPointStrength = 0, lineInterval = 0, timeLimit = 0, questionShowTime = 0,
        answerStartTime = 0, ansDlgAutoClickTime = 0, ansDlgClickButtonType = 0, baseWidthWndAnswer = 0,
        baseHeightWndAnswer = 0, examLogSize = 0;
    std::array<int, 8> examListWidth{};
    std::array<int, 5> detailsListWidth{};
    std::string sndExam, sndTrue, sndFalse, sndResult, examLogName;
    std::array<FontSpec, FontClassCount> fonts;
    Color colorHover = 0, colorActive = 0;

    bool has(OptionBit bit) const { return (options & bit) != 0; }
    void set(OptionBit bit, bool on) { options = on ? (options | bit) : (options & ~bit); }
};

// What the defaults need from the platform.
struct SettingsInputs {
    std::string programDir; // CP932, with its trailing separator (may be empty)
    Color buttonText = 0x000000;
    Color buttonFace = 0xC0C0C0;
};

Settings defaultSettings(const SettingsInputs& inputs);

// True for a sound-effect name without a folder or a drive (EXAM.WAV as the defaults give it): such
// a name is taken from the program's folder, never from the current folder.
bool isBareSoundName(std::string_view file);

// Where a sound effect (CP932, as the settings hold it) is played from: a bare name in the
// program's folder, any other path as it is written.
std::filesystem::path soundEffectPath(const std::filesystem::path& programDir, std::string_view file);

// The recently opened question files, newest first. Its length may exceed RecentFileMax by one
// after an add; only the first RecentFileMax entries are shown and stored.
struct RecentFiles {
    std::vector<std::string> paths;

    // Puts the path at the front, removing an equal entry (letter case ignored) among the first max.
    bool add(std::string_view path, int max);
    void clear() { paths.clear(); }
};

// Letter case ignored for ASCII letters; double-byte characters compared byte for byte.
bool equalPathsIgnoringCase(std::string_view a, std::string_view b);

// Reads the file over the record; keys not in the file keep their values. A missing file is no error.
// Recent-file names are added to recent when it is given.
void loadSettings(Settings& settings, const std::filesystem::path& path, RecentFiles* recent = nullptr);
// Reads settings text (already in memory) the same way.
void parseSettings(Settings& settings, std::string text, RecentFiles* recent = nullptr);

// The whole file as it is written (CR LF line ends).
std::string formatSettings(const Settings& settings, const RecentFiles* recent = nullptr);
// Writes every key; false when the file cannot be written (the old file is then kept).
bool saveSettings(const Settings& settings, const std::filesystem::path& path,
                  const RecentFiles* recent = nullptr);

} // namespace rekal
