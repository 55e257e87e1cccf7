// Question files in UTF-8 and UTF-16: detection, reading line by line into code page 932, saving
// back in the file's own encoding, and the lines code page 932 cannot hold. The files in other
// encodings are made from the code page 932 originals with iconv, which serves as the reference.

#include "core/data/encoding.h"
#include "core/data/save.h"

#include "core/data/book_fixture.h"
#include "support/book_describe.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace rekal {
namespace {

using test::loadText;
using test::settingsWithCharSet;
using Kind = RecordingNotifier::Kind;
constexpr auto describe = test::describeCards;

constexpr TextEncoding kUnicodeEncodings[] = {TextEncoding::Utf8, TextEncoding::Utf8Bom,
                                              TextEncoding::Utf16Le, TextEncoding::Utf16Be};

std::string recode(std::string_view bytes, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string out(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size(), outLeft = out.size();
    char* dst = out.data();
    EXPECT_NE(iconv(cd, &in, &inLeft, &dst, &outLeft), static_cast<std::size_t>(-1)) << from << " " << to;
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

const char* iconvName(TextEncoding e) {
    return e == TextEncoding::Utf16Le ? "UTF-16LE" : e == TextEncoding::Utf16Be ? "UTF-16BE" : "UTF-8";
}

// A code page 932 text as a file in the encoding (with its byte-order mark).
std::string encoded(std::string_view cp932, TextEncoding e) {
    return std::string(byteOrderMark(e)) + recode(cp932, "CP932", iconvName(e));
}
// A UTF-8 text (a u8 literal) in the encoding.
std::string fromUtf8(std::u8string_view utf8, TextEncoding e) {
    const std::string_view bytes(reinterpret_cast<const char*>(utf8.data()), utf8.size());
    return std::string(byteOrderMark(e)) + recode(bytes, "UTF-8", iconvName(e));
}

std::string sampleBook() {
    return test::readBytes(REKAL_TEST_DATA "/../../samples/sample.rkf");
}

// A code page 932 file in the form a save writes it (so that saving it again changes nothing).
std::string asSaved(std::string_view cp932) {
    QuestionBook book;
    EXPECT_TRUE(loadText(book, cp932).ok);
    return formatBook(book, settingsWithCharSet());
}

// Loads the same book from its code page 932 form and from each Unicode form: the same cards, and a
// save gives back the file as it was.
TEST(EncodedBooks, TheSampleBookInEveryEncoding) {
    const std::string original = asSaved(sampleBook());
    QuestionBook reference;
    ASSERT_TRUE(loadText(reference, original).ok);
    EXPECT_EQ(reference.encoding(), TextEncoding::Cp932);
    EXPECT_EQ(reference.questionCount(), 15);
    for (TextEncoding e : kUnicodeEncodings) {
        SCOPED_TRACE(std::string(encodingName(e)));
        const std::string file = encoded(original, e);
        EXPECT_EQ(detectEncoding(file), e);
        QuestionBook book;
        auto loaded = loadText(book, file);
        ASSERT_TRUE(loaded.ok);
        EXPECT_EQ(book.encoding(), e);
        EXPECT_EQ(loaded.report.encoding, e);
        EXPECT_TRUE(loaded.report.rejectedLines.empty());
        EXPECT_EQ(describe(book), describe(reference));
        EXPECT_TRUE(formatBook(book, settingsWithCharSet()) == file);
    }
}

// Trail bytes 0x5C and 0x7C, every escape and media tag of the format, a character code page 932
// does not have (line 9) and one outside the Basic Multilingual Plane (line 10).
constexpr std::u8string_view kAwkward =
    u8"REKALDATA V1.6\r\n"
    u8"$Group=全般,ソ\\,表,能十\r\n"
    u8"#第一章\\,表示,011100'ポ－ソ\r\n"
    u8"ソ表能十\\h予\\,貼\\hポ,ー\\|ソ(表|能)[十|ポ]\\cソ|\\[表\\],<13'能\\n十\r\n"
    u8"\\#問\\n題\\i\"表.bmp\"\\m\"ソ.wav\"\\h\\i\"能.png\",[答\\\\え|\\(ソ\\)]\\c\\i\"十.bmp\",[59\r\n"
    u8"$Message=ソ\\'表\\\\示'能\r\n"
    u8"$FontQuestion=12,SHIFTJIS,ＭＳ ゴシック'ソ\r\n"
    u8"'\\i\"表.bmp\"コメント\\,ソ\r\n"
    u8"한국어？,ソ,<00'十\r\n"
    u8"😀,😀,<00\r\n"
    u8"\r\n"
    u8"最後,表,<00\r\n";
constexpr int kFirstForeignLine = 9;

TEST(EncodedBooks, AwkwardLinesInEveryEncoding) {
    // The code page 932 original: the same file with the two foreign lines as their stand-ins.
    std::u8string cp932Lines(kAwkward);
    cp932Lines.replace(cp932Lines.find(u8"한국어"), std::u8string_view(u8"한국어").size(), u8"〓〓〓");
    cp932Lines.replace(cp932Lines.find(u8"😀,😀"), std::u8string_view(u8"😀,😀").size(), u8"〓,〓");
    const std::string original =
        recode(std::string_view(reinterpret_cast<const char*>(cp932Lines.data()), cp932Lines.size()), "UTF-8",
               "CP932");
    QuestionBook reference;
    ASSERT_TRUE(loadText(reference, original).ok);
    ASSERT_EQ(asSaved(original), original); // the file is in the form a save writes
    std::vector<std::string> expected = describe(reference);
    // The foreign lines are comment cards showing their stand-ins.
    expected[kFirstForeignLine - 2] = "3|" + std::string("〓〓〓？,ソ,<00'十");
    expected[kFirstForeignLine - 1] = "3|" + std::string("〓,〓,<00");

    for (TextEncoding e : kUnicodeEncodings) {
        SCOPED_TRACE(std::string(encodingName(e)));
        const std::string file = fromUtf8(kAwkward, e);
        QuestionBook book;
        auto loaded = loadText(book, file);
        ASSERT_TRUE(loaded.ok);
        EXPECT_EQ(book.encoding(), e);
        EXPECT_EQ(describe(book), expected);
        EXPECT_EQ(loaded.report.rejectedLines, (std::vector<int>{9, 10}));
        ASSERT_EQ(loaded.report.unconverted.size(), 2u);
        EXPECT_EQ(loaded.report.unconverted[0].value, 0xD55Cu);
        EXPECT_EQ(loaded.report.unconverted[1].value, 0x1F600u);
        const auto& messages = loaded.notifier.messages;
        ASSERT_EQ(messages.size(), 2u); // the message card, then the warning
        EXPECT_EQ(messages[0].text, "ソ'表\\示");
        EXPECT_EQ(messages[1].kind, Kind::Warning);
        EXPECT_EQ(messages[1].text, "次の行にエラーがありました：\n9 (U+D55C), 10 (U+1F600)");
        const KeptLineCard* kept = asKeptLine(test::cardsOf(book)[kFirstForeignLine - 2]);
        ASSERT_NE(kept, nullptr);
        const std::string line = fromUtf8(u8"한국어？,ソ,<00'十", e);    // (not inside a macro: its text
        EXPECT_EQ(kept->original, line.substr(byteOrderMark(e).size())); // would be a CP932 literal)
        EXPECT_TRUE(formatBook(book, settingsWithCharSet()) == file);
    }
}

// A book written in many pieces, with kept lines among them, saves as it was read.
TEST(EncodedBooks, ALongBookSavesAsItWasRead) {
    const std::u8string_view body = kAwkward.substr(kAwkward.find(u8"\r\n") + 2);
    std::u8string longer(kAwkward.substr(0, kAwkward.find(u8"\r\n") + 2));
    for (int i = 0; i < 500; ++i)
        longer += body;
    for (TextEncoding e : kUnicodeEncodings) {
        SCOPED_TRACE(std::string(encodingName(e)));
        const std::string file = fromUtf8(longer, e);
        ASSERT_GT(file.size(), 200'000u);
        QuestionBook book;
        ASSERT_TRUE(loadText(book, file).ok);
        EXPECT_TRUE(formatBook(book, settingsWithCharSet()) == file);
    }
}

TEST(EncodedBooks, DetectionLeavesShiftJisAndAsciiFilesAlone) {
    const std::string ascii = "REKALDATA V1.6\r\nq,a,<00\r\n";
    EXPECT_EQ(detectEncoding(ascii), TextEncoding::Cp932);
    EXPECT_EQ(detectEncoding(sampleBook()), TextEncoding::Cp932);
    // Valid UTF-8 only up to a byte that starts no UTF-8 sequence.
    EXPECT_EQ(detectEncoding(fromUtf8(u8"REKALDATA V1.6\nあ", TextEncoding::Utf8) + "\x82\xA0"),
              TextEncoding::Cp932);
    // The text ends at its first zero byte: what follows it does not count.
    EXPECT_EQ(detectEncoding(ascii + std::string(1, '\0') + "\xE3\x81\x82"), TextEncoding::Cp932);
    EXPECT_EQ(detectEncoding("\xEF\xBB\xBF" + ascii), TextEncoding::Utf8Bom);

    // A pure-ASCII book is read and written as code page 932, byte for byte.
    QuestionBook book;
    ASSERT_TRUE(loadText(book, ascii).ok);
    EXPECT_EQ(book.encoding(), TextEncoding::Cp932);
    EXPECT_EQ(formatBook(book, settingsWithCharSet()), ascii);
    // A Shift-JIS file that is not in the saved form is still written as the program always did.
    const std::string sjis = "REKALDATA V1.6\n表\\示,ソ,<00\n";
    ASSERT_TRUE(loadText(book, sjis).ok);
    EXPECT_EQ(formatBook(book, settingsWithCharSet()), "REKALDATA V1.6\r\n表示,ソ,<00\r\n");
}

// WAVE DASH and the other characters that other systems' tables give for code page 932 codes are
// read as those codes, said once, and saved in the Windows form; a YEN SIGN would become the
// escape character and is not taken.
TEST(EncodedBooks, OtherTablesCharactersAreReadInTheWindowsForm) {
    const std::u8string_view file = u8"REKALDATA V1.6\n"
                                    u8"q,a,<00\n"
                                    u8"〜−‖,¢£¬—,<00\n"
                                    u8"〜,〜,<00\n"
                                    u8"¥100,a,<00\n";
    QuestionBook book;
    auto loaded = loadText(book, fromUtf8(file, TextEncoding::Utf8));
    ASSERT_TRUE(loaded.ok);
    const QuestionCard* q = book.questionAt(1);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(test::text(q->question), "～－∥");
    EXPECT_EQ(test::text(q->rawAnswer), "￠￡￢―");
    ASSERT_EQ(loaded.notifier.messages.size(), 2u);
    EXPECT_EQ(loaded.notifier.messages[0].text, "次の行にエラーがありました：\n5 (U+00A5)");
    EXPECT_EQ(loaded.notifier.messages[1].kind, Kind::Info);
    EXPECT_EQ(loaded.notifier.messages[1].text, "3 行目ほかの文字を Windows の形（～ － ∥ ￠ ￡ "
                                                "￢）で読みました。保存するとこの形で書き込まれます。");

    const std::string saved = formatBook(book, settingsWithCharSet());
    EXPECT_EQ(saved,
              fromUtf8(u8"REKALDATA V1.6\r\nq,a,<00\r\n～－∥,￠￡￢―,<00\r\n～,～,<00\r\n¥100,a,<00\r\n",
                       TextEncoding::Utf8));
    // Read again, the Windows forms need no notice.
    QuestionBook again;
    auto reloaded = loadText(again, saved);
    ASSERT_TRUE(reloaded.ok);
    EXPECT_EQ(describe(again), describe(book));
    EXPECT_EQ(reloaded.notifier.messages.size(), 1u);
}

// Bytes that form no character reject their line like a character code page 932 does not have;
// the line is kept exactly, and the text ends at the first zero character.
TEST(EncodedBooks, BrokenBytesAreKeptAsRead) {
    const std::string head = "\xEF\xBB\xBFREKALDATA V1.6\r\nq,a,<00\r\n";
    const std::string broken = "x\xFF\xE3\x81,a,<00";
    QuestionBook book;
    auto loaded = loadText(book, head + broken + "\r\n");
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.notifier.messages.at(0).text, "次の行にエラーがありました：\n3 (0xFF)");
    EXPECT_EQ(test::text(test::cardsOf(book)[1]->comment), "x〓〓〓,a,<00");
    EXPECT_EQ(formatBook(book, settingsWithCharSet()), head + broken + "\r\n");

    // The reader ends a line at a 0x01 byte too, and so does the count of lines kept as read.
    loaded = loadText(book, fromUtf8(u8"REKALDATA V1.6\nq,a,<00\u0001한\n", TextEncoding::Utf8));
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.notifier.messages.at(0).text, "次の行にエラーがありました：\n3 (U+D55C)");
    EXPECT_NE(asKeptLine(book.lastCard()), nullptr);

    // UTF-16 with an unpaired surrogate, a zero character and bytes after it.
    std::string utf16 = fromUtf8(u8"REKALDATA V1.6\nq,a,<00\nz", TextEncoding::Utf16Le);
    utf16 += std::string("\x00\xD8", 2) + fromUtf8(u8"!\n", TextEncoding::Utf16Le).substr(2);
    const std::string tail = std::string("\0\0", 2) + "ignored";
    loaded = loadText(book, utf16 + tail);
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.notifier.messages.at(0).text, "次の行にエラーがありました：\n3 (0xD800)");
    EXPECT_EQ(book.cardCount(), 2);
    EXPECT_EQ(formatBook(book, settingsWithCharSet()),
              fromUtf8(u8"REKALDATA V1.6\r\nq,a,<00\r\n", TextEncoding::Utf16Le) +
                  utf16.substr(utf16.size() - 8, 6) + fromUtf8(u8"\r\n", TextEncoding::Utf16Le).substr(2));
}

TEST(EncodedBooks, SavingThroughTheFileKeepsTheEncoding) {
    test::TestFolder folder;
    const std::string file = encoded(asSaved(sampleBook()), TextEncoding::Utf16Be);
    const std::string path = folder.write("book.rkf", file);
    QuestionBook book;
    RecordingNotifier notifier;
    ASSERT_TRUE(loadBook(book, path, settingsWithCharSet(), notifier));
    book.recordResult(book.questionAt(0), Verdict::Right);
    ASSERT_TRUE(saveBook(book, settingsWithCharSet(), notifier));
    const std::string written = test::readBytes(path);
    EXPECT_EQ(written.substr(0, 2), "\xFE\xFF");
    QuestionBook again;
    ASSERT_TRUE(loadBook(again, path, settingsWithCharSet(), notifier));
    EXPECT_EQ(again.encoding(), TextEncoding::Utf16Be);
    EXPECT_EQ(describe(again), describe(book));
    EXPECT_TRUE(notifier.messages.empty());
}

// The warning names at most twenty rejected lines and counts the others; the report keeps them all.
TEST(LoadWarning, NamesAtMostTwentyLines) {
    std::string text = "REKALDATA V1.6\nq,a,<00\n";
    for (int i = 0; i < 25; ++i)
        text += "bad\n";
    QuestionBook book;
    auto loaded = loadText(book, text);
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.notifier.messages.size(), 1u);
    EXPECT_EQ(loaded.notifier.messages[0].text, "次の行にエラーがありました：\n3, 4, 5, 6, 7, 8, 9, 10, 11, "
                                                "12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22 "
                                                "ほか 5 行");
    EXPECT_EQ(loaded.report.rejectedLines.size(), 25u);
    std::string all;
    for (int line = 3; line <= 27; ++line)
        all += (line > 3 ? ", " : "") + std::to_string(line);
    EXPECT_EQ(rejectedLineList(loaded.report, 0), all);

    // Exactly twenty are all named.
    text.resize(text.size() - 5 * 4);
    loaded = loadText(book, text);
    EXPECT_EQ(loaded.notifier.messages.at(0).text.find("ほか"), std::string::npos);
    EXPECT_EQ(loaded.report.rejectedLines.size(), 20u);
}

} // namespace
} // namespace rekal
