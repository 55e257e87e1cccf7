#include "core/base/fileio.h"
#include "core/settings/settings.h"

#include "support/tempfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace rekal {
namespace {

SettingsInputs testInputs() {
    SettingsInputs in;
    in.programDir = "C:\\Rekal\\";
    in.buttonText = 0x000000;
    in.buttonFace = 0xC8D0D4;
    return in;
}

Settings readText(const std::string& text, RecentFiles* recent = nullptr) {
    Settings s = defaultSettings(testInputs());
    parseSettings(s, text, recent);
    return s;
}

std::string goldenFile(const char* name) {
    std::ifstream f(std::string(REKAL_TEST_DATA) + "/settings/" + name, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

TEST(SettingsDefaults, FileOfDefaultsIsWrittenInKeyOrderWithCrLf) {
    RecentFiles recent;
    recent.add("C:\\a.rkf", 5);
    EXPECT_EQ(goldenFile("defaults.ini"), formatSettings(defaultSettings(testInputs()), &recent));
}

TEST(SettingsRead, OutOfRangeValuesKeepTheDefault) {
    const std::string defaults = formatSettings(defaultSettings(testInputs()));
    EXPECT_EQ(defaults, formatSettings(readText("TimeLimit=40000")));
    EXPECT_EQ(defaults, formatSettings(readText("AnswerMode=4\r\nDefaultSelection=0\r\nRecentFileMax=11")));
    EXPECT_EQ(defaults,
              formatSettings(readText("BaseWidthWndAnswer=259\nWeakPointStrength=-1\nTimeLimit=abc")));
    Settings s = readText("TimeLimit=32767\nAnswerMode=3\nDefaultSelection=9\nBaseWidthWndAnswer=260");
    EXPECT_EQ(32767, s.timeLimit);
    EXPECT_EQ(3, s.answerMode);
    EXPECT_EQ(9, s.defaultSelection);
    EXPECT_EQ(260, s.baseWidthWndAnswer);
}

TEST(SettingsRead, NumbersAndFlags) {
    Settings s =
        readText("QuestionColor=0x0000FF\rToolBar=2\rShow=2\rListShow=1\rStatusBar=0\rCompareMode=0x1F3\r"
                 "Left=  -20\rTop=+0x10\rUseData=256");
    EXPECT_EQ(0x0000FFu, s.fonts[QuestionFont].color); // red text
    EXPECT_TRUE(s.has(ToolBar));
    EXPECT_FALSE(s.has(StatusBar));
    EXPECT_FALSE(s.mainMaximized); // only exactly 1 maximises
    EXPECT_TRUE(s.listMaximized);
    EXPECT_EQ(0xF3, s.compareMode); // the low byte
    EXPECT_EQ(0, s.useData);
    EXPECT_EQ(-20, s.mainRect.left);
    EXPECT_EQ(16, s.mainRect.top);
}

TEST(SettingsRead, KeysAreFoundByExactPrefixOnAnyLine) {
    Settings s =
        readText("[Options]\r\ntimelimit=5\r\nXTimeLimit=6\r\nTimeLimitX=7\r\n TimeLimit=8\r\nTimeLimit=9\r\n"
                 "TimeLimit=10\r\n");
    EXPECT_EQ(9, s.timeLimit); // the first line that starts with the key and '='
    EXPECT_EQ(0, readText("timelimit=5").timeLimit);
}

TEST(SettingsRead, TextsAndListsAreCut) {
    std::string longName(300, 'a');
    std::string longFace(40, 'F');
    Settings s = readText("SndExam=" + longName + "\nTitleName=" + longFace + "\nExamListWidth=1,2,x,4\n" +
                          "DetailsListWidth=9,8,7,6,5,4,3\nSndTrue=\n");
    EXPECT_EQ(std::string(259, 'a'), s.sndExam);
    EXPECT_EQ(std::string(31, 'F'), s.fonts[TitleFont].face);
    EXPECT_EQ((std::array<int, 8>{1, 2, 36, 60, 100, 100, 60, 100}), s.examListWidth);
    EXPECT_EQ((std::array<int, 5>{9, 8, 7, 6, 5}), s.detailsListWidth);
    EXPECT_EQ("", s.sndTrue);
}

TEST(SettingsRead, RecentFilesReadFromTheMaximumDown) {
    RecentFiles recent;
    Settings s =
        readText("RecentFileMax=3\nFile1=one\nFile2=two\nFile3=three\nFile4=four\nFile5=five\n", &recent);
    EXPECT_EQ((std::vector<std::string>{"one", "two", "three"}), recent.paths);

    RecentFiles gap;
    readText("File1=one\nFile2=\nFile3=three\n", &gap); // an empty name cannot be added: reading stops
    EXPECT_EQ((std::vector<std::string>{"three"}), gap.paths);

    RecentFiles dup;
    readText("File1=C:\\Q.RKF\nFile2=c:\\q.rkf\n", &dup);
    EXPECT_EQ((std::vector<std::string>{"C:\\Q.RKF"}), dup.paths);
}

TEST(RecentFilesList, AddMovesToFrontIgnoringCaseAndKeepsMax) {
    RecentFiles r;
    for (const char* p : {"e", "d", "c", "b", "a"})
        r.add(p, 5);
    r.add("C", 5); // third entry, other case: moved to the front as newly written
    EXPECT_EQ((std::vector<std::string>{"C", "a", "b", "d", "e"}), r.paths);
    r.add("f", 5);
    EXPECT_EQ("f", r.paths.front());
    r.add("g", 5);
    EXPECT_EQ((std::vector<std::string>{"g", "f", "C", "a", "b", "d"}), r.paths);
    EXPECT_FALSE(r.add("", 5));
    // Double-byte characters are compared whole: ｓ (0x82 0x93) is not an upper-cased letter.
    EXPECT_FALSE(equalPathsIgnoringCase("\x82\x93", "\x82\x73"));
    EXPECT_TRUE(equalPathsIgnoringCase("\x95\x5Cx.rkf", "\x95\x5CX.RKF"));
}

TEST(SettingsFile, WrittenRecordReadsBackTheSame) {
    Settings s = defaultSettings(testInputs());
    s.mainRect = {10, 20, 800, 600};
    s.mainMaximized = true;
    s.listRect = {kDefaultPosition, 5, 300, 200};
    s.recentFileMax = 10;
    s.options = AnsDlgNoClickWrong | NoAlready | ToolHint;
    s.compareMode = 31;
    s.answerMode = 2;
    s.timeLimit = 30;
    s.examLogSize = 0;
    s.examListWidth = {1, 2, 3, 4, 5, 6, 7, 8};
    s.sndExam = "音\\効果.wav";
    s.examLogName = "D:\\ログ\\EXAMLOG.TXT";
    s.fonts[AnswerFont] = {36, 0, 0x123456, 0xABCDEF, "Arial"};
    s.colorHover = 0xFFFFFF;
    RecentFiles recent;
    for (int i = 10; i >= 1; --i)
        recent.add("file" + std::to_string(i), 10);

    std::filesystem::path dir = std::filesystem::temp_directory_path() / "rekal-settings-test";
    std::filesystem::create_directories(dir);
    std::string path = (dir / "REKALWIN.INI").string();
    ASSERT_TRUE(saveSettings(s, path, &recent));

    Settings back = defaultSettings(testInputs());
    RecentFiles backRecent;
    loadSettings(back, path, &backRecent);
    EXPECT_EQ(formatSettings(s, &recent), formatSettings(back, &backRecent));
    EXPECT_EQ(recent.paths, backRecent.paths);

    // A write that fails keeps the file that was there, byte for byte, and leaves no temporary file.
    const std::string before = readFileBytes(path).bytes;
    failNextReplaceForTesting(1);
    EXPECT_FALSE(saveSettings(defaultSettings(testInputs()), path, nullptr));
    EXPECT_EQ(before, readFileBytes(path).bytes);
    EXPECT_EQ(1,
              std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()));
    std::filesystem::remove_all(dir);
}

TEST(SettingsFile, EveryRangeEndSurvivesASaveAndReloadAndOneBeyondIsRefused) {
    struct Ranged {
        const char* key;
        int Settings::*field;
        int low, high;
    };
    const Ranged keys[] = {
        {"WeakPointStrength", &Settings::weakPointStrength, 0, 10},
        {"TimeLimit", &Settings::timeLimit, 0, 32767},
        {"InitialExamCount", &Settings::initialExamCount, 1, 32767},
        {"AnsDlgClickButtonType", &Settings::ansDlgClickButtonType, 0, 2},
        {"BaseWidthWndAnswer", &Settings::baseWidthWndAnswer, 260, 32767},
        {"BaseHeightWndAnswer", &Settings::baseHeightWndAnswer, 150, 32767},
        {"ExamLogSize", &Settings::examLogSize, 0, 32767},
    };
    test::TestFolder dir;
    const std::string path = dir.file("REKALWIN.INI");
    const Settings defaults = defaultSettings(testInputs());
    for (const Ranged& k : keys) {
        for (const int value : {k.low, k.high}) {
            Settings s = defaults;
            s.*k.field = value;
            ASSERT_TRUE(saveSettings(s, path, nullptr));
            Settings back = defaults;
            loadSettings(back, path, nullptr);
            EXPECT_EQ(value, back.*k.field) << k.key;
        }
        for (const int value : {k.low - 1, k.high + 1})
            EXPECT_EQ(defaults.*k.field, readText(std::string(k.key) + "=" + std::to_string(value)).*k.field)
                << k.key << "=" << value;
    }
}

TEST(SettingsFile, MissingFileLeavesDefaults) {
    Settings s = defaultSettings(testInputs());
    loadSettings(s, "/nonexistent/REKALWIN.INI");
    EXPECT_EQ(formatSettings(defaultSettings(testInputs())), formatSettings(s));
    EXPECT_EQ("C:\\Rekal\\EXAMLOG.TXT", s.examLogName);
}

// Sound effects named without a folder come from the program's folder, not the current one; a
// path keeps its folder, and a Shift-JIS trail byte 0x5C is no separator.
TEST(SoundEffectPath, BareNamesAreTakenFromTheProgramFolder) {
    const std::filesystem::path program = std::filesystem::path("prog");
    EXPECT_EQ(soundEffectPath(program, "EXAM.WAV"), program / "EXAM.WAV");
    EXPECT_EQ(soundEffectPath(program, "\x95\x5C.wav"), program / nativePath("\x95\x5C.wav"));
    EXPECT_TRUE(isBareSoundName("\x95\x5C.wav"));
    for (const char* path : {"sub\\a.wav", "C:a.wav", "C:\\snd\\a.wav", "\\\\srv\\s\\a.wav", "x/a.wav"}) {
        EXPECT_FALSE(isBareSoundName(path)) << path;
        EXPECT_EQ(soundEffectPath(program, path), nativePath(path)) << path;
    }
    EXPECT_FALSE(isBareSoundName(""));
    EXPECT_EQ(soundEffectPath({}, "EXAM.WAV"), nativePath("EXAM.WAV"));
}

} // namespace
} // namespace rekal
