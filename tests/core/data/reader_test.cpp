// The question-file reader: header, line kinds, fields, escapes, directives and the load messages.

#include "book_fixture.h"
#include "core/data/field.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace rekal {
namespace {

using test::cardsOf;
using test::items;
using test::loadText;
using test::settingsWithCharSet;
using test::text;
using Kind = RecordingNotifier::Kind;

const QuestionCard* onlyQuestion(const QuestionBook& book) {
    EXPECT_EQ(book.questionCount(), 1);
    return book.questionAt(0);
}

// A file of one header and the given body lines (LF line ends).
std::string file(std::string_view version, std::initializer_list<std::string_view> lines) {
    std::string s = "REKALDATA V" + std::string(version) + "\n";
    for (std::string_view l : lines) {
        s += l;
        s += '\n';
    }
    return s;
}

// ---- header -------------------------------------------------------------------------------------

struct HeaderCase {
    const char* text;
    const char* path;
    const char* message; // nullptr: accepted
};

TEST(ReaderHeader, AcceptsOnlyVersions12To16InTheExactForm) {
    const HeaderCase cases[] = {
        {"REKALDATA V1.1\nq,a,<00\n", "a.rkf", "データのバージョンが違います。"},
        {"REKALDATA V1.7\nq,a,<00\n", "a.rkf", "データのバージョンが違います。"},
        {"REKALDATA V16\nq,a,<00\n", "a.rkf", "ヘッダの形式が違います。"},
        {"REKALDATA V1.6 \nq,a,<00\n", "a.rkf", "ヘッダの形式が違います。"},
        {"REKALDATA V1.5,,,\nq,a,<00\n", "a.rkf", "ヘッダの形式が違います。"},
        {"rekaldata V1.6\nq,a,<00\n", "a.rkf", "REKAL データではありません。"},
        {"REKALDATA", "a.rkf", "REKAL データではありません。"},
        {"", "a.rkf", "REKAL データではありません。"},
        {"REKALDATA V1.", "a.rkf", "ヘッダの形式が違います。"},
        {"REKALDATA V1.5,,,\nq,a,<00\n", "a.csv", nullptr},
        {"REKALDATA V1.5,,,\nq,a,<00\n", "A.CSV", nullptr},
        {"REKALDATA V1.2\nq,a,<00\n", "a.txt", nullptr},
        {"REKALDATA V1.6\r\nq,a,<00", "a.rkf", nullptr},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.text);
        QuestionBook book;
        auto r = loadText(book, c.text, c.path);
        if (c.message) {
            EXPECT_FALSE(r.ok);
            EXPECT_FALSE(book.isLoaded());
            ASSERT_EQ(r.notifier.messages.size(), 1u);
            EXPECT_EQ(r.notifier.messages[0].kind, Kind::Error);
            EXPECT_EQ(r.notifier.messages[0].text, c.message);
        } else {
            EXPECT_TRUE(r.ok);
            EXPECT_TRUE(r.notifier.messages.empty());
            EXPECT_EQ(book.questionCount(), 1);
        }
    }
}

TEST(ReaderHeader, VersionIsKeptInTheBook) {
    QuestionBook book;
    ASSERT_TRUE(loadText(book, "REKALDATA V1.4\nq,a,<00\n").ok);
    EXPECT_EQ(book.version(), 14);
}

// ---- the worked example -------------------------------------------------------------------------

TEST(ReaderExample, GroupTitleAndQuestion) {
    QuestionBook book;
    auto r = loadText(
        book, "REKALDATA V1.6\r\n"
              "$Group=全般,地理,歴史\r\n"
              "#地理,011100'第一章\r\n"
              "日本一高い山は？\\h静岡県にある,富士(山|さん)\\c北岳|穂高岳,<10'静岡県と山梨県の境\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.notifier.messages.empty());
    auto cards = cardsOf(book);
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(book.groupName(1), "地理");
    EXPECT_EQ(book.groupName(2), "歴史");
    EXPECT_EQ(book.groupName(3), "３");

    const TitleCard* title = asTitle(cards[1]);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(text(title->title), "地理");
    EXPECT_EQ(title->choiceCount, 0);
    EXPECT_EQ(title->compareOptions, CompareIgnoreCase | CompareIgnoreKana | CompareIgnoreWidth);
    EXPECT_EQ(text(title->comment), "第一章");

    const QuestionCard* q = onlyQuestion(book);
    EXPECT_EQ(text(q->question), "日本一高い山は？");
    EXPECT_EQ(items(q->hints), (std::vector<std::string>{"静岡県にある"}));
    EXPECT_EQ(items(q->answers), (std::vector<std::string>{"富士山", "富士さん", "富士"}));
    EXPECT_EQ(book.displayAnswer(q), "富士山");
    EXPECT_EQ(items(q->wrongChoices), (std::vector<std::string>{"北岳", "穂高岳"}));
    EXPECT_EQ(text(q->rawAnswer), "富士\x06山\x03さん\x07");
    EXPECT_EQ(text(q->rawWrongChoices), "北岳\x03穂高岳");
    EXPECT_EQ(q->history, 0);
    EXPECT_EQ(q->group, 1);
    EXPECT_EQ(q->displayIndex, 0);
    EXPECT_EQ(text(q->comment), "静岡県と山梨県の境");
    EXPECT_EQ(book.compareOptionsFor(q), 7);
    EXPECT_EQ(book.enclosingTitle(q), title);
}

TEST(ReaderExample, TheSameFromItsFile) {
    QuestionBook book;
    RecordingNotifier notifier;
    ASSERT_TRUE(loadBook(book, REKAL_TEST_DATA "/data/example.rkf", settingsWithCharSet(), notifier));
    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(book.cardCount(), 3);
    EXPECT_EQ(items(onlyQuestion(book)->answers), (std::vector<std::string>{"富士山", "富士さん", "富士"}));
    EXPECT_EQ(text(onlyQuestion(book)->comment), "静岡県と山梨県の境");
}

// ---- question lines -----------------------------------------------------------------------------

TEST(ReaderQuestion, HistoryGroupAndDisplayIndex) {
    QuestionBook book;
    auto r = loadText(book, file("1.6", {"問題,答え", "問題,答え,<00", "q,a,[95", "q,a,;00", "q,a,\\00",
                                         "q,a,<0", "q,a,<0a", "q,a,<00x", "q,a,<00'c", "q,a,<00,c,d"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.report.rejectedLines, (std::vector<int>{2, 5, 6, 7, 8, 9}));
    ASSERT_EQ(book.questionCount(), 4);
    const QuestionCard* q = book.questionAt(0);
    EXPECT_EQ(text(q->question), "問題");
    EXPECT_EQ(text(q->rawAnswer), "答え");
    EXPECT_EQ(q->history, 0);
    EXPECT_EQ(q->group, 0);
    EXPECT_EQ(q->displayIndex, 0);
    EXPECT_FALSE(q->comment.present());
    EXPECT_FALSE(q->hints.present());
    EXPECT_FALSE(q->wrongChoices.present());
    EXPECT_EQ(book.questionAt(1)->history, 31);
    EXPECT_EQ(book.questionAt(1)->group, 9);
    EXPECT_EQ(book.questionAt(1)->displayIndex, 5);
    EXPECT_EQ(text(book.questionAt(2)->comment), "c");
    EXPECT_EQ(text(book.questionAt(3)->comment), "c,d");
}

TEST(ReaderQuestion, RejectedLineIsAKeptCommentCard) {
    QuestionBook book;
    const std::string bad = "#章";
    const std::string odd = "q\\n,\\i\"a,b,<00 \x7f\x80\xff";
    auto r = loadText(book, file("1.6", {bad, odd, "q,a,<00"}));
    ASSERT_TRUE(r.ok);
    auto cards = cardsOf(book);
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[0]->kind, CardKind::Comment);
    EXPECT_EQ(text(cards[0]->comment), bad);
    EXPECT_EQ(cards[1]->kind, CardKind::Comment);
    EXPECT_EQ(text(cards[1]->comment), odd);
    ASSERT_EQ(r.notifier.messages.size(), 1u);
    EXPECT_EQ(r.notifier.messages[0].kind, Kind::Warning);
    EXPECT_EQ(r.notifier.messages[0].text, "次の行にエラーがありました：\n2, 3");
}

TEST(ReaderQuestion, EmptyFieldsAndEmptyParts) {
    QuestionBook book;
    ASSERT_TRUE(loadText(book, file("1.6", {",,<00", "q\\h,a\\c,<00", "q\\h\\h,a\\c|,<00"})).ok);
    const QuestionCard* q = book.questionAt(0);
    EXPECT_EQ(text(q->question), "");
    EXPECT_EQ(book.answerCount(q), 0);
    EXPECT_EQ(book.answerAt(q, 0), "");
    EXPECT_EQ(book.answerAt(q, 1), std::nullopt);
    q = book.questionAt(1);
    EXPECT_FALSE(q->hints.present());
    EXPECT_FALSE(q->wrongChoices.present());
    EXPECT_EQ(book.hintCount(q), 0);
    EXPECT_EQ(book.hintAt(q, 0), std::nullopt);
    q = book.questionAt(2);
    EXPECT_EQ(items(q->hints), (std::vector<std::string>{"", ""}));
    // Two empty wrong choices are one after duplicate removal: an empty list text.
    EXPECT_TRUE(q->wrongChoices.present());
    EXPECT_EQ(book.wrongChoiceCount(q), 0);
}

TEST(ReaderQuestion, FieldsMustEndBeforeTheLineEnd) {
    QuestionBook book;
    auto r =
        loadText(book, file("1.6", {"q", "q\\hhint", "q,a", "q,a\\cwrong", "q,a\\cwrong,<00", "q,a,<00"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.report.rejectedLines, (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(book.questionCount(), 2);
}

TEST(ReaderQuestion, VersionGates) {
    struct Case {
        const char* version;
        const char* line;
        std::vector<std::string> answers;
        const char* question;
    };
    const Case cases[] = {
        {"1.2", "q,a|b,<00", {"a|b"}, "q"},
        {"1.3", "q,a|b,<00", {"a", "b"}, "q"},
        {"1.2", "q,[a|b]c,<00", {"[a|b]c"}, "q"},
        {"1.4", "q\\hx,a,<00", {"a"}, "qhx"},
        {"1.4", "q,a\\cb,<00", {"acb"}, "q"},
        {"1.3", "\\i\"p.bmp\",a,<00", {"a"}, "i\"p.bmp\""},
        {"1.4", "\\i\"p.bmp\",a,<00", {"a"}, "\x02i\"p.bmp\""},
        {"1.5", "\\m\"s.wav\",a,<00", {"a"}, "m\"s.wav\""},
        {"1.6", "\\m\"s.wav\",a,<00", {"a"}, "\x02m\"s.wav\""},
        {"1.3", "$x,a,<00", {"a"}, "$x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " " + c.line);
        QuestionBook book;
        auto r = loadText(book, file(c.version, {c.line}));
        ASSERT_TRUE(r.ok);
        const QuestionCard* q = onlyQuestion(book);
        EXPECT_EQ(text(q->question), c.question);
        EXPECT_EQ(items(q->answers), c.answers);
    }
}

TEST(ReaderQuestion, EscapesAndMediaTags) {
    QuestionBook book;
    auto r = loadText(book, file("1.6", {
                                            "a\\nb\\,c\\\\d\\x,e\\,\\|f|g\\[\\],<00'\\i\"c,d.png\"\\n",
                                            "\\i\"dir\\a,b.bmp\"\\hh1\\hh\\i\"2\",(x)\\cy\\c\\m\"s.wav\",<00",
                                            "\\ia,b,<00",
                                            "\\i\"a,b,<00",
                                            "q,a,<00'\\m\"x",
                                            "'\\i\"unclosed",
                                        }));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.report.rejectedLines, (std::vector<int>{4, 5, 6, 7}));
    ASSERT_EQ(book.questionCount(), 2);
    const QuestionCard* q = book.questionAt(0);
    EXPECT_EQ(text(q->question), "a\nb,c\\dx");
    EXPECT_EQ(items(q->answers), (std::vector<std::string>{"e,|f", "g[]"}));
    EXPECT_EQ(text(q->comment), "\x02i\"c,d.png\"\n");
    q = book.questionAt(1);
    EXPECT_EQ(text(q->question), "\x02i\"dir\\a,b.bmp\"");
    EXPECT_EQ(items(q->hints), (std::vector<std::string>{"h1", "h\x02i\"2\""}));
    EXPECT_EQ(items(q->answers), (std::vector<std::string>{"x", ""}));
    EXPECT_EQ(items(q->wrongChoices), (std::vector<std::string>{"y", "\x02m\"s.wav\""}));
}

TEST(ReaderQuestion, UnbalancedMarksRejectTheLine) {
    QuestionBook book;
    auto r = loadText(book, file("1.6", {"q,[a,<00", "q,a),<00", "q,[a),<00", "q,a\\c(b,<00", "q,\\[a,<00"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.report.rejectedLines, (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(items(onlyQuestion(book)->answers), (std::vector<std::string>{"[a"}));
}

TEST(ReaderQuestion, AtMost4096AlternativesPerList) {
    std::string many = "q,";
    for (int i = 0; i < 4095; ++i)
        many += std::to_string(i) + "|";
    QuestionBook book;
    auto r = loadText(
        book, file("1.6", {many + "x,<00", many + "x|y,<00", "q,[a|b][c|d][e|f][g|h][i|j][k|l][m|n],<00",
                           "q,a\\c" + many.substr(2) + "y|z,<00"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.report.rejectedLines, (std::vector<int>{3, 5}));
    EXPECT_EQ(book.answerCount(book.questionAt(0)), 4096);
    EXPECT_EQ(book.answerCount(book.questionAt(1)), 128);
}

// Lines that each expand 256 ways into some 400 KB: the book's budget takes a few dozen of them, the
// rest come back as rejected lines, and an ordinary line after them still loads.
TEST(ReaderQuestion, TheBookSharesOneExpansionBudget) {
    const std::string answer = "[a|b][c|d][e|f][g|h][i|j][k|l][m|n][o|p]" + std::string(1500, 'x');
    std::vector<std::string> lines(300, "q," + answer + ",<00");
    lines.push_back("q,(a|b)c,<00");
    std::string bytes = "REKALDATA V1.6\n";
    for (const std::string& line : lines)
        bytes += line + "\n";
    QuestionBook book;
    auto r = loadText(book, bytes);
    ASSERT_TRUE(r.ok);

    std::size_t expanded = 0;
    for (int i = 0; i < book.questionCount(); ++i)
        expanded += book.questionAt(i)->answers.view().size();
    const std::size_t budget = bookExpansionBudget(bytes.size());
    EXPECT_LE(expanded, budget);
    EXPECT_GT(expanded, budget - (std::size_t{512} << 10)); // only the last line's worth goes unused
    const int accepted = book.questionCount() - 1;
    EXPECT_GT(accepted, 10);
    ASSERT_EQ(r.report.rejectedLines.size(), 300u - static_cast<std::size_t>(accepted));
    EXPECT_EQ(r.report.rejectedLines.front(), accepted + 2);
    EXPECT_EQ(r.report.rejectedLines.back(), 301);
    EXPECT_EQ(text(cardsOf(book)[static_cast<std::size_t>(accepted)]->comment),
              lines[static_cast<std::size_t>(accepted)]);
    EXPECT_EQ(items(book.questionAt(accepted)->answers), (std::vector<std::string>{"ac", "bc", "c"}));
}

// A dictionary whose answers expand a few times over still loads whole.
TEST(ReaderQuestion, OrdinaryExpansionsStayWithinTheBudget) {
    std::string bytes = "REKALDATA V1.6\n";
    for (int i = 0; i < 20000; ++i)
        bytes += "\x95\x78\x8E\x6D,\x95\x78\x8E\x6D(\x8E\x52|\x82\xB3\x82\xF1)[\x82\xCD|\x82\xAA],<00\n";
    QuestionBook book;
    auto r = loadText(book, bytes);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.report.rejectedLines.empty());
    EXPECT_EQ(book.questionCount(), 20000);
}

// ---- double-byte characters ---------------------------------------------------------------------

// ソ (0x83 0x5C) and ポ (0x83 0x7C) hold a backslash and a vertical bar as their second byte.
TEST(ReaderDoubleByte, TrailBytesUnderShiftJisAreCharacters) {
    QuestionBook book;
    auto r = loadText(book, file("1.6", {
                                            "$Group=ソ,ポ\\n,x,x,x,x,x,x,x,ソ'ソ",
                                            "#ソ,000000,ソ",
                                            "ソ\\hソ\\hポ,ソ|ポ\\cソ|ポ,<00'ソ",
                                            "'ポソ",
                                            "$Message=ソ'ポ",
                                            "$FontHint=1,SHIFTJIS,ＭＳ ゴシック ソ'ソ",
                                        }));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.report.rejectedLines.empty());
    auto cards = cardsOf(book);
    ASSERT_EQ(cards.size(), 6u);
    const GroupNamesCard* g = asGroupNames(cards[0]);
    EXPECT_EQ(text(g->names[0]), "ソ");
    EXPECT_EQ(text(g->names[1]), "ポ");
    EXPECT_EQ(text(g->names[9]), "ソ");
    EXPECT_EQ(text(g->comment), "ソ");
    EXPECT_EQ(text(asTitle(cards[1])->title), "ソ");
    EXPECT_EQ(text(cards[1]->comment), "ソ");
    const QuestionCard* q = asQuestion(cards[2]);
    EXPECT_EQ(text(q->question), "ソ");
    EXPECT_EQ(items(q->hints), (std::vector<std::string>{"ソ", "ポ"}));
    EXPECT_EQ(items(q->answers), (std::vector<std::string>{"ソ", "ポ"}));
    EXPECT_EQ(items(q->wrongChoices), (std::vector<std::string>{"ソ", "ポ"}));
    EXPECT_EQ(text(q->comment), "ソ");
    EXPECT_EQ(text(cards[3]->comment), "ポソ");
    EXPECT_EQ(text(asMessage(cards[4])->message), "ソ");
    EXPECT_EQ(text(cards[4]->comment), "ポ");
    EXPECT_EQ(text(asFont(cards[5])->face), "ＭＳ ゴシック ソ");
    EXPECT_EQ(text(cards[5]->comment), "ソ");
}

TEST(ReaderDoubleByte, QuestionEndingInSoEndsAtTheComma) {
    QuestionBook book;
    ASSERT_TRUE(loadText(book, file("1.6", {"ソ,答え,<00"})).ok);
    EXPECT_EQ(text(onlyQuestion(book)->question), "ソ");
    EXPECT_EQ(text(onlyQuestion(book)->rawAnswer), "答え");
}

TEST(ReaderDoubleByte, TrailBytesUnderANonJapaneseSetAreDelimiters) {
    // Under ANSI the second byte of ソ escapes what follows and that of ポ separates alternatives.
    QuestionBook book;
    auto r = loadText(book,
                      file("1.6",
                           {
                               "ソ,x,a,<00",        // question "\x83,x"
                               "q\\hソ,h2,a,<00",   // hint "\x83,h2"
                               "q,aポb,<00",        // answers "a\x83", "b"
                               "q,a\\cwポv,<00",    // wrong choices "w\x83", "v"
                               "q,a,<00'ソn",       // comment: escaped n is a line break
                               "#ソ,t,000000",      // title "\x83,t"
                               "'ソn",              // comment line
                               "$Group=ソ,b",       // found as one name, decoded double-byte aware
                               "$Message=ソ'ポ",    // messages are always double-byte aware
                               "$FontTitle=,,ソ'c", // so are face names
                           }),
                      "a.rkf", settingsWithCharSet(kCharSetAnsi));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.report.rejectedLines.empty());
    auto cards = cardsOf(book);
    ASSERT_EQ(cards.size(), 10u);
    EXPECT_EQ(text(asQuestion(cards[0])->question), "\x83,x");
    EXPECT_EQ(items(asQuestion(cards[1])->hints), (std::vector<std::string>{"\x83,h2"}));
    EXPECT_EQ(items(asQuestion(cards[2])->answers), (std::vector<std::string>{"a\x83", "b"}));
    EXPECT_EQ(items(asQuestion(cards[3])->wrongChoices), (std::vector<std::string>{"w\x83", "v"}));
    EXPECT_EQ(text(cards[4]->comment), "\x83\n");
    EXPECT_EQ(text(asTitle(cards[5])->title), "\x83,t");
    EXPECT_EQ(text(cards[6]->comment), "\x83\n");
    const GroupNamesCard* g = asGroupNames(cards[7]);
    EXPECT_EQ(text(g->names[0]), "ソ,b");
    EXPECT_EQ(text(g->names[1]), "");
    EXPECT_EQ(text(asMessage(cards[8])->message), "ソ");
    EXPECT_EQ(text(cards[8]->comment), "ポ");
    EXPECT_EQ(text(asFont(cards[9])->face), "ソ");
    EXPECT_EQ(text(cards[9]->comment), "c");
}

TEST(ReaderDoubleByte, FontCardChangesTheCurrentSetOfItsClassOnly) {
    QuestionBook book;
    auto r = loadText(book, file("1.6", {
                                            "$FontQuestion=,ANSI",
                                            "ソ,x,a,<00",
                                            "ソ,a,<00",
                                            "$FontQuestion=,128",
                                            "ソ,a,<00",
                                        }));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.report.rejectedLines, (std::vector<int>{4}));
    ASSERT_EQ(book.questionCount(), 2);
    EXPECT_EQ(text(book.questionAt(0)->question), "\x83,x");
    EXPECT_EQ(text(book.questionAt(0)->rawAnswer), "a");
    EXPECT_EQ(text(book.questionAt(1)->question), "ソ");
}

TEST(ReaderDoubleByte, StartingSetsComeFromTheSettingsFonts) {
    Settings settings = settingsWithCharSet();
    settings.fonts[AnswerFont].charSet = kCharSetAnsi;
    QuestionBook book;
    ASSERT_TRUE(loadText(book, file("1.6", {"ソ,ポ,<00"}), "a.rkf", settings).ok);
    EXPECT_EQ(text(onlyQuestion(book)->question), "ソ");
    EXPECT_EQ(items(onlyQuestion(book)->answers), (std::vector<std::string>{"\x83", ""}));
    settings.fonts[AnswerFont].charSet = kCharSetDefault;
    ASSERT_TRUE(loadText(book, file("1.6", {"ソ,ポ,<00"}), "a.rkf", settings).ok);
    EXPECT_EQ(items(onlyQuestion(book)->answers), (std::vector<std::string>{"ポ"}));
}

// ---- line ends and the end of the text ----------------------------------------------------------

TEST(ReaderLines, MixedLineEndsAndNoFinalLineEnd) {
    QuestionBook book;
    auto r = loadText(book, "REKALDATA V1.6\r\na,1,<00\rb,2,<00\nc,3,<00\r\n\r\rd,4,<00\n\ne,5,<00");
    ASSERT_TRUE(r.ok);
    auto cards = cardsOf(book);
    ASSERT_EQ(cards.size(), 8u);
    EXPECT_EQ(book.questionCount(), 5);
    EXPECT_EQ(cards[3]->kind, CardKind::Comment);
    EXPECT_FALSE(cards[3]->comment.present());
    EXPECT_EQ(text(book.questionAt(4)->rawAnswer), "5");
    EXPECT_EQ(book.questionAt(3)->position + 2, 7u); // its file line
}

TEST(ReaderLines, TextEndsAtTheFirstZeroByte) {
    QuestionBook book;
    std::string data = "REKALDATA V1.6\na,1,<00\nb,2";
    data += '\0';
    data += ",<00\nc,3,<00\n";
    auto r = loadText(book, data);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(book.questionCount(), 1);
    EXPECT_EQ(r.report.rejectedLines, (std::vector<int>{3}));
    EXPECT_EQ(text(book.lastCard()->comment), "b,2");
}

TEST(ReaderLines, TrailingCarriageReturnOnlyEndsTheLine) {
    QuestionBook book;
    ASSERT_TRUE(loadText(book, "REKALDATA V1.6\rq,a,<00'c\r").ok);
    EXPECT_EQ(book.cardCount(), 1);
    EXPECT_EQ(text(onlyQuestion(book)->comment), "c");
}

// ---- directives ---------------------------------------------------------------------------------

TEST(ReaderDirectives, TimeValues) {
    QuestionBook book;
    auto r = loadText(book, file("1.6", {"$TimeLimit=-5", "$TimeLimit=", "$TIMELIMIT=30", "$TimeLimit= 1",
                                         "$QuestionShowTime=7'c", "$answerstarttime=99999999999,x",
                                         "$TimeLimit=3x", "q,a,<00"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.report.rejectedLines, (std::vector<int>{2, 5, 8}));
    auto cards = cardsOf(book);
    EXPECT_EQ(cards[1]->kind, CardKind::TimeLimit);
    EXPECT_EQ(asValue(cards[1])->value, 0);
    EXPECT_EQ(asValue(cards[2])->value, 30);
    EXPECT_EQ(cards[4]->kind, CardKind::QuestionShowTime);
    EXPECT_EQ(asValue(cards[4])->value, 7);
    EXPECT_EQ(text(cards[4]->comment), "c");
    EXPECT_EQ(cards[5]->kind, CardKind::AnswerStartTime);
    EXPECT_EQ(asValue(cards[5])->value, 2147483647);
}

TEST(ReaderDirectives, KeysNeedTheirVersion) {
    struct Case {
        const char* version;
        const char* line;
        bool accepted;
    };
    const Case cases[] = {
        {"1.4", "$Group=a", true},
        {"1.4", "$FontTitle=1", true},
        {"1.4", "$FontHint=1", false},
        {"1.5", "$FontHint=1", true},
        {"1.4", "$Message=m", true},
        {"1.4", "$TimeLimit=1", false},
        {"1.5", "$TimeLimit=1", true},
        {"1.5", "$QuestionShowTime=1", false},
        {"1.5", "$AnswerStartTime=1", false},
        {"1.6", "$AnswerStartTime=1", true},
        {"1.6", "$Unknown=1", false},
        {"1.6", "$Group", false},
        {"1.6", "$", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " " + c.line);
        QuestionBook book;
        auto r = loadText(book, file(c.version, {c.line, "q,a,<00"}));
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.report.rejectedLines.empty(), c.accepted);
    }
}

TEST(ReaderDirectives, FontValues) {
    QuestionBook book;
    auto r = loadText(
        book, file("1.6", {"$FontTitle=,,", "$FontTitle=12,KOREAN", "$FontQuestion=-12,shiftjis,ＭＳ 明朝'c",
                           "$FontAnswer=+9,204", "$FontGroup=10'x", "$FontComment=1,2,3,4",
                           "$FontHint=,GB2312,a\\,b", "$FontTitle=,,0123456789012345678901234567890",
                           "$FontTitle=,,01234567890123456789012345678901", "$FontTitle=,0123456789ABCDEF",
                           "$FontTitle=12x", "q,a,<00"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.report.rejectedLines, (std::vector<int>{3, 6, 10, 11, 12}));
    auto cards = cardsOf(book);
    const FontCard* f = asFont(cards[0]);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->textClass(), TitleFont);
    EXPECT_EQ(f->size, 0);
    EXPECT_EQ(f->charSet, -1);
    EXPECT_EQ(text(f->face), "");
    f = asFont(cards[2]);
    EXPECT_EQ(f->kind, CardKind::FontQuestion);
    EXPECT_EQ(f->size, -12);
    EXPECT_EQ(f->charSet, 128);
    EXPECT_EQ(text(f->face), "ＭＳ 明朝");
    EXPECT_EQ(text(f->comment), "c");
    f = asFont(cards[3]);
    EXPECT_EQ(f->textClass(), AnswerFont);
    EXPECT_EQ(f->size, 9);
    EXPECT_EQ(f->charSet, 204);
    EXPECT_EQ(asFont(cards[5])->comment.view(), "4");
    EXPECT_EQ(asFont(cards[6])->charSet, 134);
    EXPECT_EQ(text(asFont(cards[6])->face), "a,b");
    EXPECT_EQ(asFont(cards[7])->face.view().size(), 31u);
}

TEST(ReaderDirectives, CharacterSetNames) {
    const std::pair<const char*, int> names[] = {
        {"ANSI", 0},      {"default", 1},      {"Symbol", 2},   {"MAC", 77},      {"SHIFTJIS", 128},
        {"HANGEUL", 129}, {"JOHAB", 130},      {"GB2312", 134}, {"CHINESE", 136}, {"GREEK", 161},
        {"TURKISH", 162}, {"HEBREW", 177},     {"ARABIC", 178}, {"BALTIC", 186},  {"RUSSIAN", 204},
        {"THAI", 222},    {"EastEurope", 238}, {"OEM", 255},
    };
    for (auto [name, set] : names)
        EXPECT_EQ(charSetByName(name), set) << name;
    EXPECT_EQ(charSetByName("KOREAN"), -1);
    EXPECT_EQ(charSetByName("SHIFTJIS "), -1);
    EXPECT_EQ(charSetByName(""), -1);
}

TEST(ReaderDirectives, GroupNames) {
    QuestionBook book;
    auto r = loadText(book, file("1.6", {"$Group=a'b,c\\,d,e\\nf", "$group=0,1,2,3,4,5,6,7,8,9,rest,of'line",
                                         "$Group=0,1,2,3,4,5,6,7,8,9'c", "$Group=,,,,,,,,,", "q,a,<00"}));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.report.rejectedLines.empty());
    auto cards = cardsOf(book);
    const GroupNamesCard* g = asGroupNames(cards[0]);
    EXPECT_EQ(text(g->names[0]), "a'b");
    EXPECT_EQ(text(g->names[1]), "c,d");
    EXPECT_EQ(text(g->names[2]), "ef");
    for (int i = 3; i < 10; ++i)
        EXPECT_TRUE(g->names[static_cast<std::size_t>(i)].present() &&
                    g->names[static_cast<std::size_t>(i)].empty());
    EXPECT_FALSE(g->comment.present());
    g = asGroupNames(cards[1]);
    EXPECT_EQ(text(g->names[9]), "9");
    EXPECT_EQ(text(g->comment), "rest,of'line");
    EXPECT_EQ(text(asGroupNames(cards[2])->comment), "c");
    EXPECT_EQ(book.groupName(0), "a'b");
    EXPECT_EQ(book.groupName(3), "3");
}

TEST(ReaderDirectives, MessagesAreShownAtOnceInOrder) {
    QuestionBook book;
    auto r = loadText(
        book, file("1.6", {"$Message=一行目\\n二行目, まだ'注", "bad", "$Message=二つ目", "q,a,<00"}));
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.notifier.messages.size(), 3u);
    EXPECT_EQ(r.notifier.messages[0].kind, Kind::Info);
    EXPECT_EQ(r.notifier.messages[0].text, "一行目\n二行目, まだ");
    EXPECT_EQ(r.notifier.messages[1].kind, Kind::Info);
    EXPECT_EQ(r.notifier.messages[1].text, "二つ目");
    EXPECT_EQ(r.notifier.messages[2].kind, Kind::Warning);
    EXPECT_EQ(text(cardsOf(book)[0]->comment), "注");
}

TEST(ReaderCsv, CommentsAndMessagesEndAtAComma) {
    QuestionBook book;
    auto r =
        loadText(book, "REKALDATA V1.6,x,y\n'c1,more\nq,a,<00'c2,extra\n#t,000000,c3,x\n$Message=m,c4,z\n",
                 "file.CsV");
    ASSERT_TRUE(r.ok);
    auto cards = cardsOf(book);
    ASSERT_EQ(cards.size(), 4u);
    EXPECT_EQ(text(cards[0]->comment), "c1");
    EXPECT_EQ(text(cards[1]->comment), "c2");
    EXPECT_EQ(text(cards[2]->comment), "c3");
    EXPECT_EQ(text(asMessage(cards[3])->message), "m");
    EXPECT_EQ(text(cards[3]->comment), "c4");
}

// ---- the load procedure -------------------------------------------------------------------------

TEST(ReaderLoad, NoQuestionsLeavesNoBook) {
    QuestionBook book;
    ASSERT_TRUE(loadText(book, file("1.6", {"q,a,<00"})).ok);
    auto r = loadText(book, file("1.6", {"#t,000000", "'comment", "", "bad line"}));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(book.isLoaded());
    EXPECT_EQ(book.questionCount(), 0);
    EXPECT_EQ(book.firstCard(), nullptr);
    ASSERT_EQ(r.notifier.messages.size(), 2u);
    EXPECT_EQ(r.notifier.messages[0].kind, Kind::Warning);
    EXPECT_EQ(r.notifier.messages[0].text, "次の行にエラーがありました：\n5");
    EXPECT_EQ(r.notifier.messages[1].kind, Kind::Error);
    EXPECT_EQ(r.notifier.messages[1].text, "問題が見つかりません。");
}

TEST(ReaderLoad, SuccessResetsRangeFlagsAndDirty) {
    QuestionBook book;
    ASSERT_TRUE(loadText(book, file("1.6", {"q,a,<00"})).ok);
    book.setGroupEnabled(3, false);
    book.setExamRange(0, 0);
    book.setDirty(true);
    ASSERT_TRUE(loadText(book, file("1.6", {"q,a,<00", "#t,000000", "q,a,<30", "q,a,<00"}), "new.rkf").ok);
    EXPECT_EQ(book.file(), "new.rkf");
    EXPECT_EQ(book.path(), "new.rkf");
    EXPECT_EQ(book.rangeFirst(), 0);
    EXPECT_EQ(book.rangeLast(), 2);
    EXPECT_TRUE(book.groupEnabled(3));
    EXPECT_FALSE(book.isDirty());
}

class RecordingHooks : public LoadHooks {
  public:
    explicit RecordingHooks(const QuestionBook& book) : book_(book) {}
    void endRunningExam() override { log += book_.isReplacing() ? "end(replacing) " : "end "; }
    void beforeLoad() override { log += "before "; }
    void pathStored(const std::filesystem::path& file) override { log += "path(" + file.string() + ") "; }
    void bookDiscarded() override { log += book_.isLoaded() ? "discarded(still) " : "discarded "; }
    void loadFinished(bool loaded) override { log += loaded ? "loaded" : "failed"; }
    std::string log;

  private:
    const QuestionBook& book_;
};

TEST(ReaderLoad, HooksRunInOrderAroundTheLoad) {
    QuestionBook book;
    ASSERT_TRUE(loadText(book, file("1.6", {"q,a,<00"})).ok);
    RecordingHooks hooks(book);
    SilentNotifier quiet;
    EXPECT_TRUE(
        loadBookFromBytes(book, "b.rkf", file("1.6", {"q,a,<00"}), settingsWithCharSet(), quiet, &hooks));
    EXPECT_EQ(hooks.log, "end(replacing) before path(b.rkf) discarded loaded");
    EXPECT_FALSE(book.isReplacing());
    hooks.log.clear();
    EXPECT_FALSE(loadBookFromBytes(book, "c.rkf", "nothing", settingsWithCharSet(), quiet, &hooks));
    EXPECT_EQ(hooks.log, "end(replacing) before path(c.rkf) discarded failed");
    EXPECT_EQ(book.file(), "c.rkf");
}

TEST(ReaderLoad, FromFileAndMissingFile) {
    auto dir = std::filesystem::temp_directory_path() / "rekal-reader-test";
    std::filesystem::create_directories(dir);
    auto path = dir / "book.rkf";
    std::ofstream(path, std::ios::binary) << file("1.6", {"q,a,<00"});
    QuestionBook book;
    RecordingNotifier notifier;
    EXPECT_TRUE(loadBook(book, path.string(), settingsWithCharSet(), notifier));
    EXPECT_EQ(book.questionCount(), 1);
    EXPECT_TRUE(notifier.messages.empty());

    EXPECT_FALSE(loadBook(book, (dir / "missing.rkf").string(), settingsWithCharSet(), notifier));
    EXPECT_FALSE(book.isLoaded());
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "ファイルが見つかりません。");

    notifier.messages.clear();
    EXPECT_FALSE(readWholeFile((dir / "missing.rkf").string(), notifier, false).has_value());
    EXPECT_TRUE(notifier.messages.empty());
    auto bytes = readWholeFile(path.string(), notifier);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), std::filesystem::file_size(path));
    std::filesystem::remove_all(dir);
}

TEST(ReaderLoad, ArenaExhaustionIsReportedAsOutOfMemory) {
    QuestionBook book;
    BookBuilder builder(book, 16, std::string("q,a,<00\x01", 8));
    builder.limitArenaForTesting(1);
    CharSets charsets = startingCharSets(settingsWithCharSet());
    LineResult r = readLine(builder, builder.text(), 7, 16, false, charsets);
    EXPECT_EQ(r.status, LineStatus::OutOfMemory);
}

TEST(ReaderLoad, ReadLineLeavesARejectedLineUntouched) {
    QuestionBook book;
    const std::string line = "a\\nb,c[d,<00'e";
    BookBuilder builder(book, 16, line + '\x01');
    CharSets charsets = startingCharSets(settingsWithCharSet());
    LineResult r = readLine(builder, builder.text(), line.size(), 16, false, charsets);
    EXPECT_EQ(r.status, LineStatus::Rejected);
    EXPECT_EQ(std::string(builder.text(), line.size()), line);
}

} // namespace
} // namespace rekal
