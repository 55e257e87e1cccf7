// The exam-log viewer's model: the two sort orders, the tree over the sorted records, ranges of any
// size, the texts of a record and the questions of a re-exam.

#include "core/exam/exam_fixture.h"

#include "core/examlog/browse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rekal {
namespace {

struct Rec {
    std::string time; // "2024年5月17日(金) 12時30分"
    std::string file;
    std::vector<std::string> rows = {};
};

std::string logText(const std::vector<Rec>& records) {
    std::string text;
    for (const Rec& r : records) {
        if (!text.empty()) text += "\r\n\r\n";
        text += "Rekal for Windows Ver.1.63 出題履歴\r\n";
        text += "[   時刻   ] " + r.time + "\r\n";
        text += "[ファイル名] " + r.file + "\r\n";
        text += "順番,問題番号,正誤,所要時間,問題,答え,グループ,コメント\r\n";
        for (const std::string& row : r.rows)
            text += row + "\r\n";
    }
    return text;
}

std::string fileOf(const ExamLogEntry& e) {
    return std::string(e.file.value_or(""));
}

std::vector<std::string> labelsOf(const ExamLogTree& tree) {
    std::vector<std::string> labels;
    for (const ExamLogNode& n : tree.nodes)
        labels.push_back(n.label);
    return labels;
}

TEST(ExamLogOrder, ByDateTiesGoByFileNameIgnoringCaseByFileTiesGoByTime) {
    ExamLog log = parseExamLog(logText({{"2024年5月17日(金) 12時30分", "C:\\b.rkf"},
                                        {"2023年1月2日(月) 9時5分", "C:\\z.rkf"},
                                        {"2024年5月17日(金) 12時30分", "c:\\A.rkf"},
                                        {"2024年5月17日(金) 8時0分", "C:\\a.RKF"}}));
    sortExamLog(log, ExamLogOrder::ByDate);
    std::vector<std::string> files;
    for (const ExamLogEntry& e : log.entries)
        files.push_back(fileOf(e));
    EXPECT_EQ(files, (std::vector<std::string>{"C:\\z.rkf", "C:\\a.RKF", "c:\\A.rkf", "C:\\b.rkf"}));

    sortExamLog(log, ExamLogOrder::ByFile);
    files.clear();
    std::vector<int> hours;
    for (const ExamLogEntry& e : log.entries) {
        files.push_back(fileOf(e));
        hours.push_back(e.time.hour);
    }
    EXPECT_EQ(files, (std::vector<std::string>{"C:\\a.RKF", "c:\\A.rkf", "C:\\b.rkf", "C:\\z.rkf"}));
    EXPECT_EQ(hours, (std::vector<int>{8, 12, 12, 9}));
}

TEST(ExamLogOrder, FileNamesFoldOnlySingleByteLetters) {
    EXPECT_EQ(compareFileNamesIgnoringCase("C:\\Drill\\X.RKF", "c:\\drill\\x.rkf"), 0);
    // ア (83 41) and ャ (83 61): their second bytes are the letters A and a, which do not fold.
    EXPECT_NE(compareFileNamesIgnoringCase("\x83\x41", "\x83\x61"), 0);
    EXPECT_LT(compareFileNamesIgnoringCase("a", "ab"), 0);
    EXPECT_GT(compareFileNamesIgnoringCase("\x83\x41", "Z"), 0); // unsigned bytes
    EXPECT_LT(compareFileNamesIgnoringCase("", "a"), 0);
}

TEST(ExamLogTreeShape, ByDateYearsMonthsAndDaysWithTheLatestDaySelected) {
    ExamLog log = parseExamLog(logText({{"2024年1月3日(水) 10時0分", "a"},
                                        {"2023年12月31日(日) 23時59分", "a"},
                                        {"2024年1月3日(水) 9時0分", "a"},
                                        {"2024年1月2日(火) 9時0分", "a"}}));
    const ExamLogTree tree = arrangeExamLog(log, ExamLogOrder::ByDate);
    EXPECT_EQ(labelsOf(tree), (std::vector<std::string>{"出題履歴", "2023年", "12月", "31日(日)", "2024年",
                                                        "1月", "2日(火)", "3日(水)"}));
    const std::vector<int> parents = {-1, 0, 1, 2, 0, 4, 5, 5};
    for (std::size_t i = 0; i < tree.nodes.size(); ++i)
        EXPECT_EQ(tree.nodes[i].parent, parents[i]) << i;
    const std::vector<std::pair<std::size_t, std::size_t>> ranges = {{0, 4}, {0, 1}, {0, 1}, {0, 1},
                                                                     {1, 3}, {1, 3}, {1, 1}, {2, 2}};
    for (std::size_t i = 0; i < tree.nodes.size(); ++i) {
        EXPECT_EQ(tree.nodes[i].range.first, ranges[i].first) << i;
        EXPECT_EQ(tree.nodes[i].range.count, ranges[i].second) << i;
    }
    EXPECT_EQ(tree.expanded, (std::vector<int>{0, 4, 5}));
    EXPECT_EQ(tree.selected, 7);
    // Record 1 of the selected day is its earlier run.
    const ExamLogEntry* first = entryInRange(log, tree.nodes[7].range, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(examLogTimeText(first->time), "2024年1月3日(水) 9時0分");
    EXPECT_EQ(entryInRange(log, tree.nodes[7].range, 0), nullptr);
    EXPECT_EQ(entryInRange(log, tree.nodes[7].range, 3), nullptr);
    EXPECT_EQ(examLogRangeText(tree.nodes[7].range.count), "(1～2)");
}

TEST(ExamLogTreeShape, ByFileOneNodePerNameIgnoringCaseWithTheRootSelected) {
    ExamLog log = parseExamLog(logText({{"2024年1月3日(水) 10時0分", "C:\\b.rkf"},
                                        {"2024年1月1日(月) 10時0分", "C:\\A.rkf"},
                                        {"2024年1月2日(火) 10時0分", "c:\\a.rkf"}}));
    const ExamLogTree tree = arrangeExamLog(log, ExamLogOrder::ByFile);
    EXPECT_EQ(labelsOf(tree), (std::vector<std::string>{"出題履歴", "C:\\A.rkf", "C:\\b.rkf"}));
    EXPECT_EQ(tree.nodes[1].range.count, 2u);
    EXPECT_EQ(tree.nodes[2].range.first, 2u);
    EXPECT_EQ(tree.expanded, (std::vector<int>{0}));
    EXPECT_EQ(tree.selected, 0);

    ExamLog empty = parseExamLog("");
    const ExamLogTree none = arrangeExamLog(empty, ExamLogOrder::ByDate);
    ASSERT_EQ(none.nodes.size(), 1u);
    EXPECT_EQ(none.nodes[0].range.count, 0u);
    EXPECT_EQ(none.selected, 0);
    EXPECT_EQ(entryInRange(empty, none.nodes[0].range, 1), nullptr);
}

// A node of more than 65,535 records, and one that starts past 65,535, keep their ranges.
TEST(ExamLogTreeShape, RangesPastSixteenBits) {
    const std::string a = logText({{"2024年2月1日(木) 10時0分", "C:\\a.rkf", {"1,1,○,1秒,q,a,g,"}}});
    const std::string b = logText({{"2024年2月2日(金) 10時0分", "C:\\b.rkf", {"1,2,×,1秒,q,a,g,"}}});
    std::string text;
    for (int i = 0; i < 70000; ++i) {
        if (i) text += "\r\n\r\n";
        text += i < 66000 ? a : b;
    }
    ExamLog log = parseExamLog(text);
    ASSERT_EQ(log.entries.size(), 70000u);

    const ExamLogTree byFile = arrangeExamLog(log, ExamLogOrder::ByFile);
    ASSERT_EQ(byFile.nodes.size(), 3u);
    EXPECT_EQ(byFile.nodes[0].range.count, 70000u);
    EXPECT_EQ(byFile.nodes[1].range.count, 66000u);
    EXPECT_EQ(byFile.nodes[2].range.first, 66000u);
    EXPECT_EQ(byFile.nodes[2].range.count, 4000u);
    const ExamLogEntry* lastA = entryInRange(log, byFile.nodes[1].range, 66000);
    const ExamLogEntry* firstB = entryInRange(log, byFile.nodes[2].range, 1);
    ASSERT_TRUE(lastA && firstB);
    EXPECT_EQ(fileOf(*lastA), "C:\\a.rkf");
    EXPECT_EQ(fileOf(*firstB), "C:\\b.rkf");
    EXPECT_EQ(entryInRange(log, byFile.nodes[0].range, 70000), &log.entries.back());
    EXPECT_EQ(entryInRange(log, byFile.nodes[2].range, 4001), nullptr);

    const ExamLogTree byDate = arrangeExamLog(log, ExamLogOrder::ByDate);
    ASSERT_EQ(byDate.nodes.size(), 5u); // root, year, month, two days
    EXPECT_EQ(byDate.nodes[3].range.count, 66000u);
    EXPECT_EQ(byDate.nodes[4].range.first, 66000u);
    const ExamLogEntry* day2 = entryInRange(log, byDate.nodes[4].range, 1);
    ASSERT_NE(day2, nullptr);
    EXPECT_EQ(day2->time.day, 2);
    ASSERT_EQ(log.rowsOf(*day2).size(), 2u);
    EXPECT_EQ(log.fieldsOf(log.rowsOf(*day2)[1])[2], "×"); // the rows moved with their entry
}

TEST(ExamLogTexts, TimeRangeAndColumnWidths) {
    ExamLogTime t;
    t.year = 2024;
    t.month = 5;
    t.day = 7;
    t.weekday = 2;
    t.hour = 0;
    t.minute = 5;
    EXPECT_EQ(examLogTimeText(t), "2024年5月7日(火) 0時5分");
    EXPECT_EQ(examLogRangeText(70000), "(1～70000)");
    Settings settings = defaultSettings(SettingsInputs{});
    settings.examListWidth = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(questionColumnWidth(settings, 0), 1);
    EXPECT_EQ(questionColumnWidth(settings, 7), 8);
    EXPECT_EQ(questionColumnWidth(settings, 12), 8);
}

// A hand-edited header line of thousands of fields makes no more columns than the cap.
TEST(ExamLogTexts, QuestionColumnsAreCapped) {
    std::string text = logText({{"2024年5月17日(金) 12時30分", "a.rkf", {"1,1,○"}}});
    std::string wide = "順番";
    for (int i = 0; i < 5000; ++i)
        wide += ",c" + std::to_string(i);
    text.replace(text.find("順番"), text.find("\r\n", text.find("順番")) - text.find("順番"), wide);
    ExamLog log = parseExamLog(text);
    ASSERT_EQ(log.entries.size(), 1u);
    const auto titles = questionColumnTitles(log, log.entries[0]);
    ASSERT_EQ(titles.size(), kMaxQuestionColumns);
    EXPECT_EQ(titles[0], "順番");
    EXPECT_EQ(titles[kMaxQuestionColumns - 1], "c" + std::to_string(kMaxQuestionColumns - 2));
    ExamLog plain = parseExamLog(logText({{"2024年5月17日(金) 12時30分", "a.rkf"}}));
    EXPECT_EQ(questionColumnTitles(plain, plain.entries[0]).size(), 8u);
}

class Reexam : public ::testing::Test {
  protected:
    ExamLog log = parseExamLog(logText({{"2024年5月17日(金) 12時30分",
                                         "C:\\drill\\test.rkf",
                                         {"1,3,○,1秒,q,a,g,", "2,1,×,1秒,q,a,g,", "3,5,－,1秒,q,a,g,",
                                          "4,2,×,1秒,\"a,b\",a,g,", "5,x,×", "6"}}}));
    const ExamLogEntry& entry() const { return log.entries[0]; }
};

TEST_F(Reexam, WrongTakesCrossesAndDashesButNotCircles) {
    EXPECT_EQ(questionItemCount(log, entry()), 6u);
    // An item without a readable number gives -1; one without a verdict is not right.
    EXPECT_EQ(collectReexamQuestions(log, entry(), ReexamChoice::Wrong, {}),
              (std::vector<int>{0, 4, 1, -1, -1}));
    EXPECT_EQ(collectReexamQuestions(log, entry(), ReexamChoice::All, {}),
              (std::vector<int>{2, 0, 4, 1, -1, -1}));
    EXPECT_EQ(reexamKind(ReexamChoice::Wrong), KindRetryWrong);
    EXPECT_EQ(reexamKind(ReexamChoice::All), KindReexamAll);
    EXPECT_EQ(reexamKind(ReexamChoice::Selected), KindReexamSelected);
}

TEST_F(Reexam, SelectedTakesTheSelectedItemsTopToBottom) {
    EXPECT_EQ(collectReexamQuestions(log, entry(), ReexamChoice::Selected, {3, 0, 99}),
              (std::vector<int>{2, 1}));
    EXPECT_TRUE(collectReexamQuestions(log, entry(), ReexamChoice::Selected, {}).empty());
}

TEST_F(Reexam, NumbersMissingFromTheReopenedFileAreDroppedFirst) {
    QuestionBook book;
    test::loadText(book, test::numberedBook(2));
    std::vector<int> questions = collectReexamQuestions(log, entry(), ReexamChoice::All, {});
    keepExistingQuestions(book, questions);
    EXPECT_EQ(questions, (std::vector<int>{0, 1}));

    // A record whose every question is gone leaves nothing to start.
    ExamLog gone = parseExamLog(logText({{"2024年5月17日(金) 12時30分", "f", {"1,3,×", "2,9,×"}}}));
    std::vector<int> none = collectReexamQuestions(gone, gone.entries[0], ReexamChoice::Wrong, {});
    EXPECT_EQ(none.size(), 2u);
    keepExistingQuestions(book, none);
    EXPECT_TRUE(none.empty());
}

} // namespace
} // namespace rekal
