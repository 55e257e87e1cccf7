#include "core/base/fileio.h"
#include "core/data/merge.h"
#include "core/data/reader.h"

#include "core/data/book_fixture.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

using test::readBytes;
using test::settingsWithCharSet;
using test::TestFolder;

// The history after the newest `count` results of `source`: the file's older bits move down.
TEST(SessionResults, ShiftInOnTopOfAnotherHistory) {
    EXPECT_EQ(0b11100, historyWithResultsOf(0b11001, 0b10000, 1));
    EXPECT_EQ(0b01111, historyWithResultsOf(0b11100, 0b01011, 2));
    EXPECT_EQ(0b01011, historyWithResultsOf(0b11111, 0b01011, 5));
    EXPECT_EQ(0b11111, historyWithResultsOf(0b11111, 0b00000, 0));
}

struct OnDisk {
    TestFolder folder;
    Settings settings = settingsWithCharSet();
    RecordingNotifier notifier;
    std::string path;

    explicit OnDisk(const std::string& text) : path(folder.write("book.rkf", text)) {}
    void load(QuestionBook& book) { ASSERT_TRUE(loadBook(book, path, settings, notifier)); }
    BookSaveResult save(QuestionBook& book) { return saveBookMerging(book, settings, notifier); }
    void right(QuestionBook& book, int q) { book.recordResult(book.questionAt(q), Verdict::Right); }
};

// One session: a run, a save; the editor rewrites the file in UTF-8 with a new question, a deleted
// one, a history of its own and other compare digits; the next run is merged onto that.
TEST(MergeOnSave, ResultsGoOntoTheEditorsFileAndItsLinesStay) {
    OnDisk disk("REKALDATA V1.6\r\n#章,000000\r\n山,富士,<00\r\n川,信濃,<00\r\n湖,琵琶,<00\r\n");
    QuestionBook book;
    disk.load(book);
    disk.right(book, 0);
    EXPECT_EQ(BookSave::Saved, disk.save(book).outcome);
    EXPECT_FALSE(book.isDirty());
    EXPECT_EQ(0, book.questionAt(0)->sessionResults);

    disk.right(book, 0);                                   // 山: 11000
    disk.right(book, 1);                                   // 川: 10000, deleted by the editor
    book.recordResult(book.questionAt(2), Verdict::Wrong); // 湖: 00000 onto the editor's 11111
    std::string edited;
    appendInEncoding(edited,
                     "REKALDATA V1.6\r\n#章,110000'新\r\n谷,黒部,<00\r\n山,富士,L00\r\n湖,琵琶,[00\r\n",
                     TextEncoding::Utf8);
    disk.folder.write("book.rkf", edited);

    const BookSaveResult saved = disk.save(book);
    EXPECT_EQ(BookSave::Merged, saved.outcome);
    EXPECT_EQ((std::vector<int>{1, -1, 2}), saved.questionMap);
    EXPECT_EQ("ファイルがほかで変更されていたため、読み込み直して 2 問の解答結果を引き継ぎました。\n"
              "次の問題はファイルに見つからず、解答結果を引き継げませんでした：\n2: 川",
              saved.message);
    EXPECT_EQ(saved.message, disk.notifier.messages.back().text);
    std::string expected;
    appendInEncoding(expected,
                     "REKALDATA V1.6\r\n#章,110000'新\r\n谷,黒部,<00\r\n山,富士,T00\r\n湖,琵琶,K00\r\n",
                     TextEncoding::Utf8);
    EXPECT_EQ(expected, readBytes(disk.path));
    EXPECT_EQ(TextEncoding::Utf8, book.encoding());
    EXPECT_EQ(3, book.questionCount());
    EXPECT_FALSE(book.isDirty());

    // Saved again untouched: written as it is, nothing merged.
    disk.right(book, 0);
    EXPECT_EQ(BookSave::Saved, disk.save(book).outcome);
}

TEST(MergeOnSave, EqualQuestionsAreMatchedInTheirOrder) {
    OnDisk disk("REKALDATA V1.6\nq,a,<00\nq,a,<00\nq,b,<00\n");
    QuestionBook book;
    disk.load(book);
    disk.right(book, 1);
    disk.folder.write("book.rkf", "REKALDATA V1.6\nq,b,<00\nq,a,<00\nx,y,<00\nq,a,<00\n");
    const BookSaveResult saved = disk.save(book);
    EXPECT_EQ((std::vector<int>{1, 3, 0}), saved.questionMap);
    EXPECT_EQ("REKALDATA V1.6\r\nq,b,<00\r\nq,a,<00\r\nx,y,<00\r\nq,a,L00\r\n", readBytes(disk.path));
}

// Two instances of the program on one file: each save keeps what the other one wrote.
TEST(MergeOnSave, TwoBooksOfOneFileKeepEachOthersResults) {
    OnDisk disk("REKALDATA V1.6\nq1,a,<00\nq2,a,<00\n");
    QuestionBook first, second;
    disk.load(first);
    disk.load(second);
    disk.right(first, 0);
    disk.right(second, 1);
    EXPECT_EQ(BookSave::Saved, disk.save(first).outcome);
    EXPECT_EQ(BookSave::Merged, disk.save(second).outcome);
    disk.right(first, 1);
    EXPECT_EQ(BookSave::Merged, disk.save(first).outcome);
    EXPECT_EQ("REKALDATA V1.6\r\nq1,a,L00\r\nq2,a,T00\r\n", readBytes(disk.path));
}

TEST(MergeOnSave, AGoneOrForeignFileLeavesTheBookAsItWas) {
    OnDisk disk("REKALDATA V1.6\nq,a,<00\n");
    QuestionBook book;
    disk.load(book);
    disk.right(book, 0);
    std::filesystem::remove(disk.path);
    EXPECT_EQ(BookSave::FileLost, disk.save(book).outcome);
    disk.folder.write("book.rkf", "not a book\n");
    EXPECT_EQ(BookSave::FileLost, disk.save(book).outcome);
    EXPECT_TRUE(disk.notifier.messages.empty());
    EXPECT_TRUE(book.isDirty());
    EXPECT_EQ(16, book.questionAt(0)->history);
    // Save As names another file: written without a look at the old one.
    book.setFile(disk.folder.file("other.rkf"));
    EXPECT_EQ(BookSave::Saved, disk.save(book).outcome);
    EXPECT_EQ("REKALDATA V1.6\r\nq,a,L00\r\n", readBytes(disk.folder.file("other.rkf")));
}

TEST(MergeOnSave, ATouchedFileWithTheSameBytesIsNotMerged) {
    OnDisk disk("REKALDATA V1.6\nq,a,<00\n");
    QuestionBook book;
    disk.load(book);
    disk.right(book, 0);
    std::filesystem::last_write_time(disk.path,
                                     std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
    EXPECT_EQ(BookSave::Saved, disk.save(book).outcome);
}

TEST(MergeMessage, NamesTwentyLostQuestionsThenCountsTheRest) {
    MergeReport report;
    report.carried = 3;
    for (int i = 0; i < 25; ++i)
        report.lost.push_back({i, i == 0 ? std::string(30, 'x') + "日本一高い\n山は" : "q"});
    const std::string text = mergeMessage(report);
    EXPECT_NE(std::string::npos, text.find("\n1: " + std::string(30, 'x') + "日本一高い…\n2: q\n"));
    EXPECT_NE(std::string::npos, text.find("\n20: q\nほか 5 問"));
    EXPECT_EQ(std::string::npos, text.find("21: q"));
}

} // namespace
} // namespace rekal
