// Bringing tables in: awkward rows read back text for text under every separator, line end and
// encoding; characters without a code; columns, HTML and sections; the file written crash-safe.

#include "book_fixture.h"

#include "core/base/fileio.h"
#include "core/base/unicode.h"
#include "core/data/import.h"
#include "core/data/table.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

using test::items;
using test::text;

// Sources are compiled to CP932; the tables are UTF-8, written as u8 literals.
std::string utf8(const char8_t* s) {
    return std::string(reinterpret_cast<const char*>(s));
}

std::string utf16(std::string_view utf8Text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto unit = [&](char32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    for (std::size_t pos = 0; pos < utf8Text.size();) {
        const char32_t cp = nextUtf8(utf8Text, pos);
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out;
}

// One field as a spreadsheet writes it: quoted when it holds the separator, a quote or a line end.
std::string quotedField(std::string_view field, char separator) {
    if (field.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos)
        return std::string(field);
    std::string out = "\"";
    for (char c : field)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// Awkward rows: question, answer, hint, wrong choice, comment, group (UTF-8).
const std::vector<std::vector<std::string>> kAwkwardRows = {
    {utf8(u8"日本一高い山は？"), utf8(u8"富士(山|さん)"), utf8(u8"静岡県, 山梨県"), "[x]", "it's", "1"},
    {"\\h\\c\\n\\i\"x.png\"\\", "a\\", "\\", "|", "\\m\"s.wav\"", "9"},
    {"#not a title", "$Group=", "'", "(", ",", ""},
    {"$TimeLimit=5", "'quote", "", "", "", utf8(u8"２")},
    {"'apostrophe first", "\"quoted\" \"\"", "a\tb", "x,y", "line\r\nbreak", utf8(u8"全般")},
    {utf8(u8"ソ表能\\予"), utf8(u8"ソ|表"), utf8(u8"〜−‖—¢£¬"), utf8(u8"ｶﾀｶﾅ"), utf8(u8"¥100"), "0"},
    {"  spaces  ", " ", "", "", "", ""},
    {"two\nlines", "[a|b](c)", "", "", "", "3"},
    {"x", "", "", "", "", ""},
};

std::string awkwardTable(char separator, std::string_view lineEnd, bool lastLineEnd) {
    std::string table;
    for (std::size_t r = 0; r < kAwkwardRows.size(); ++r) {
        for (std::size_t f = 0; f < kAwkwardRows[r].size(); ++f) {
            if (f) table += separator;
            table += quotedField(kAwkwardRows[r][f], separator);
        }
        if (r + 1 < kAwkwardRows.size() || lastLineEnd) table += lineEnd;
    }
    return table;
}

// A UTF-8 cell as the stored text it must read back as (CRLF in quotes is one line break).
std::string stored(std::string cell) {
    for (std::size_t at; (at = cell.find("\r\n")) != std::string::npos;)
        cell.erase(at, 1);
    return utf8TextToCp932(cell, "");
}

ImportOptions awkwardOptions(char separator) {
    ImportOptions options;
    options.separator = separator;
    options.columns = *parseColumnRoles("question,answer,hint,wrong,comment,group");
    return options;
}

// Loads the converted file and compares every question with its row.
void expectAwkwardBook(const std::string& file, const std::string& variant) {
    SCOPED_TRACE(variant);
    QuestionBook book;
    test::Loaded loaded = test::loadText(book, file);
    ASSERT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.report.rejectedLines.empty()) << file;
    ASSERT_EQ(static_cast<int>(kAwkwardRows.size()), book.questionCount());
    for (int n = 0; n < book.questionCount(); ++n) {
        const std::vector<std::string>& row = kAwkwardRows[static_cast<std::size_t>(n)];
        const QuestionCard* q = book.questionAt(n);
        SCOPED_TRACE(n);
        EXPECT_EQ(stored(row[0]), text(q->question));
        EXPECT_EQ(stored(row[1]), text(q->rawAnswer));
        const std::vector<std::string> none;
        EXPECT_EQ(row[1].empty() ? none : std::vector<std::string>{stored(row[1])}, items(q->answers));
        EXPECT_EQ(row[2].empty() ? none : std::vector<std::string>{stored(row[2])}, items(q->hints));
        EXPECT_EQ(row[3].empty() ? none : std::vector<std::string>{stored(row[3])}, items(q->wrongChoices));
        EXPECT_EQ(stored(row[4]), text(q->comment));
        const int group = n == 0 ? 1 : n == 1 ? 9 : n == 3 ? 2 : n == 7 ? 3 : 0;
        EXPECT_EQ(group, q->group);
        EXPECT_EQ(0, q->history);
    }
}

TEST(Import, AwkwardRowsReadBackTextForTextInEveryForm) {
    const Settings settings = test::settingsWithCharSet();
    for (char separator : {',', '\t'}) {
        for (std::string_view lineEnd : {"\r\n", "\n"}) {
            for (bool lastLineEnd : {true, false}) {
                const std::string table = awkwardTable(separator, lineEnd, lastLineEnd);
                const std::string forms[] = {table, "\xEF\xBB\xBF" + table, utf16(table, false),
                                             utf16(table, true)};
                for (std::size_t f = 0; f < std::size(forms); ++f) {
                    ImportSummary summary;
                    const std::string file =
                        convertTable(forms[f], awkwardOptions(separator), settings, summary);
                    EXPECT_EQ(static_cast<int>(kAwkwardRows.size()), summary.imported);
                    EXPECT_EQ(0, summary.skipped);
                    EXPECT_TRUE(summary.problems.empty());
                    expectAwkwardBook(file, std::string("separator ") + separator + ", form " +
                                                std::to_string(f) +
                                                (lastLineEnd ? "" : ", no last line end"));
                }
            }
        }
    }
}

TEST(Import, TheFileIsVersion16WithCrLfAndTheMarksOfLiteralTextsEscaped) {
    ImportSummary summary;
    // (A # line at the top would be a line of the table's header.)
    const std::string file = convertTable(utf8(u8"富士山,ok\n#1,[a|b]\n"), awkwardOptions(','),
                                          test::settingsWithCharSet(), summary);
    EXPECT_EQ("REKALDATA V1.6\r\n"
              "富士山,ok,<00\r\n"
              "\\#1,\\[a\\|b\\],<00\r\n",
              file);
}

TEST(Import, CharactersWithoutCodeAreNamedAndTheirRowSkippedOrReplaced) {
    // Row 2 holds 😀 (column 1) and € (column 2); row 3 a byte that is no UTF-8 and a control
    // character; row 4 is fine; row 5 has no question.
    const std::string table = "ok,1\n" + utf8(u8"smile \U0001F600,\u20AC5\n") + "bad \xFF,\x01x\n" +
                              utf8(u8"〜,２\n") + ",orphan\n";
    ImportOptions options;
    options.separator = ',';
    ImportSummary summary;
    std::string file = convertTable(table, options, test::settingsWithCharSet(), summary);
    EXPECT_EQ(2, summary.imported);
    EXPECT_EQ(3, summary.skipped);
    EXPECT_EQ(0, summary.changed);
    ASSERT_EQ(5u, summary.problems.size());
    const ImportProblem expected[] = {{2, 1, ImportProblemKind::NoCode, 0x1F600, true},
                                      {2, 2, ImportProblemKind::NoCode, 0x20AC, true},
                                      {3, 1, ImportProblemKind::NotUtf8, 0xFF, true},
                                      {3, 2, ImportProblemKind::Control, 0x01, true},
                                      {5, 0, ImportProblemKind::NoQuestion, 0, true}};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].row, summary.problems[i].row);
        EXPECT_EQ(expected[i].column, summary.problems[i].column);
        EXPECT_EQ(expected[i].kind, summary.problems[i].kind);
        EXPECT_EQ(expected[i].value, summary.problems[i].value);
        EXPECT_EQ(expected[i].rowSkipped, summary.problems[i].rowSkipped);
    }
    EXPECT_EQ("REKALDATA V1.6\r\nok,1,<00\r\n～,２,<00\r\n", file);

    options.replace = true;
    file = convertTable(table, options, test::settingsWithCharSet(), summary);
    EXPECT_EQ(4, summary.imported);
    EXPECT_EQ(1, summary.skipped);
    EXPECT_EQ(2, summary.changed);
    ASSERT_EQ(5u, summary.problems.size());
    EXPECT_FALSE(summary.problems[0].rowSkipped);
    EXPECT_TRUE(summary.problems[4].rowSkipped);
    EXPECT_EQ("REKALDATA V1.6\r\nok,1,<00\r\nsmile 〓,〓5,<00\r\nbad 〓,〓x,<00\r\n～,２,<00\r\n", file);
}

TEST(Import, ColumnsHeadersAndAlternatives) {
    // The header names the separator and, as another program does, the columns it keeps for itself;
    // the columns no line claims hold the question and the answer.
    const std::string table = "#separator:Semicolon\n#html:false\n#guid column:1\n#tags column:4\n"
                              "#comment\n"
                              "g1;q1;a1;tag\n";
    ImportSummary summary;
    std::string file = convertTable(table, ImportOptions{}, test::settingsWithCharSet(), summary);
    EXPECT_EQ("REKALDATA V1.6\r\nq1,a1,<00\r\n", file);

    // Several answer columns are alternatives, several hints and wrong choices items; several
    // question and comment columns are joined by line breaks; empty ones are left out.
    ImportOptions options;
    options.columns = *parseColumnRoles("q,q,a,a,a,h,h,w,w,c,c,g,-");
    const std::string wide = "q\tmore\tA\t\tB\th1\th2\tw1\t\tc1\tc2\t4\tignored\textra\n";
    file = convertTable(wide, options, test::settingsWithCharSet(), summary);
    QuestionBook book;
    ASSERT_TRUE(test::loadText(book, file).ok);
    const QuestionCard* q = book.questionAt(0);
    EXPECT_EQ("q\nmore", text(q->question));
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), items(q->answers));
    EXPECT_EQ((std::vector<std::string>{"h1", "h2"}), items(q->hints));
    EXPECT_EQ((std::vector<std::string>{"w1"}), items(q->wrongChoices));
    EXPECT_EQ("c1\nc2", text(q->comment));
    EXPECT_EQ(4, q->group);

    EXPECT_FALSE(parseColumnRoles("q,answer,nonsense"));
    EXPECT_FALSE(parseColumnRoles("q,g,g"));
    EXPECT_EQ((std::vector<ColumnRole>{ColumnRole::Title, ColumnRole::Skip}), *parseColumnRoles("Title, -"));

    // A group that is no number leaves its row out.
    options.columns = *parseColumnRoles("q,g");
    file = convertTable("a\t7\nb\tx\nc\t10\n", options, test::settingsWithCharSet(), summary);
    EXPECT_EQ(1, summary.imported);
    ASSERT_EQ(2u, summary.problems.size());
    EXPECT_EQ(ImportProblemKind::BadGroup, summary.problems[0].kind);
    EXPECT_EQ(2, summary.problems[0].column);
}

TEST(Import, HtmlFieldsBecomePlainTextWhenTheHeaderOrTheOptionSaysSo) {
    const std::string table = "#html:true\n"
                              "<b>bold</b> &amp; <i>it</i><br>next<div>block</div>after,"
                              "\"&lt;tag&gt; &#x5BCC;&#22763;  \n  spaced&nbsp;&nbsp;x\"\n";
    ImportOptions options;
    options.separator = ',';
    ImportSummary summary;
    QuestionBook book;
    ASSERT_TRUE(test::loadText(book, convertTable(table, options, test::settingsWithCharSet(), summary)).ok);
    EXPECT_EQ("bold & it\nnext\nblock\nafter", text(book.questionAt(0)->question));
    EXPECT_EQ("<tag> 富士 spaced  x", text(book.questionAt(0)->rawAnswer));

    options.html = 0; // the option wins over the header
    ASSERT_TRUE(test::loadText(book, convertTable(table, options, test::settingsWithCharSet(), summary)).ok);
    EXPECT_EQ("<b>bold</b> &amp; <i>it</i><br>next<div>block</div>after", text(book.questionAt(0)->question));
}

TEST(Html, TagsReferencesAndWhiteSpace) {
    const struct {
        const char* html;
        const char* text;
    } cases[] = {
        {"a<br/>b<BR>c", "a\nb\nc"},
        {"<p>one</p><p>two</p>", "one\ntwo"},
        {"<ul><li>x</li><li>y</li></ul>", "x\ny"},
        {"x<br><br>y", "x\n\ny"},
        {"a < b && c > d", "a < b && c > d"},
        {"&unknown; &#0; &#xD800; &#65;&#x42;", "&unknown; \xEF\xBF\xBD \xEF\xBF\xBD AB"},
        {"<style>p{}</style><script>if(a<b)x()</script>t<!-- c -->u", "tu"},
        {"<span class=\"x\">in</span>line", "inline"},
        {"  lead\n\ttrail  ", "lead trail"},
        {"broken <b", "broken <b"},
    };
    std::string out;
    for (const auto& c : cases) {
        htmlToText(c.html, out);
        EXPECT_EQ(c.text, out) << c.html;
    }
}

TEST(Table, QuotedFieldsSeparatorsAndLineEnds) {
    const std::string table = "a,\"b,c\",\"d\"\"e\"\r\n"
                              "\"multi\r\nline\rcr\",x\"y\n"
                              "\n"
                              "\"after\"tail,\"open";
    TableReader reader(table, ',');
    std::vector<std::vector<std::string>> rows;
    while (reader.next()) {
        rows.emplace_back();
        for (std::size_t i = 0; i < reader.fieldCount(); ++i)
            rows.back().emplace_back(reader.field(i));
    }
    EXPECT_EQ(4, reader.row());
    ASSERT_EQ(4u, rows.size());
    EXPECT_EQ((std::vector<std::string>{"a", "b,c", "d\"e"}), rows[0]);
    EXPECT_EQ((std::vector<std::string>{"multi\nline\ncr", "x\"y"}), rows[1]);
    EXPECT_EQ((std::vector<std::string>{""}), rows[2]);
    EXPECT_EQ((std::vector<std::string>{"aftertail", "open"}), rows[3]);

    EXPECT_EQ('\t', separatorByName("TAB"));
    EXPECT_EQ(';', separatorByName(";"));
    EXPECT_EQ(0, separatorByName("\""));
    EXPECT_EQ(0, separatorByName("two"));
}

TEST(Import, SectionsByCountAndByColumn) {
    ImportOptions options;
    options.titleEvery = 2;
    ImportSummary summary;
    const std::string table = "q1\ta\nq2\ta\nq3\ta\nq4\ta\nq5\ta";
    std::string file = convertTable(table, options, test::settingsWithCharSet(), summary);
    EXPECT_EQ("REKALDATA V1.6\r\n"
              "#1～2,011111\r\nq1,a,<00\r\nq2,a,<00\r\n"
              "#3～4,011111\r\nq3,a,<00\r\nq4,a,<00\r\n"
              "#5～5,011111\r\nq5,a,<00\r\n",
              file);

    options.titleEvery = 0;
    options.titleColumn = 3;
    file = convertTable("q1\ta\tA,1\nq2\ta\tA,1\nq3\ta\t\nq4\ta\tB", options, test::settingsWithCharSet(),
                        summary);
    EXPECT_EQ("REKALDATA V1.6\r\n"
              "#A\\,1,011111\r\nq1,a,<00\r\nq2,a,<00\r\nq3,a,<00\r\n"
              "#B,011111\r\nq4,a,<00\r\n",
              file);
    // A title column beyond every row's fields starts no section and costs nothing.
    options.titleColumn = 1000000000;
    options.titleEvery = 2;
    EXPECT_EQ("REKALDATA V1.6\r\nq1,a,<00\r\n",
              convertTable("q1\ta", options, test::settingsWithCharSet(), summary));
}

TEST(ImportFile, NeverOverAnExistingFileWithoutForceAndCrashSafe) {
    test::TestFolder folder;
    const std::string table = folder.write("deck.csv", "q,a\n");
    const std::string output = folder.write("out.rkf", "old");
    ImportSummary summary;
    const Settings settings = test::settingsWithCharSet();
    EXPECT_EQ(ImportStatus::OutputExists, importTable(table, output, {}, settings, false, summary));
    EXPECT_EQ("old", test::readBytes(output));

    failNextReplaceForTesting(1);
    EXPECT_EQ(ImportStatus::WriteFailed, importTable(table, output, {}, settings, true, summary));
    EXPECT_EQ("old", test::readBytes(output));

    // A table named .csv is read comma-separated unless it says otherwise.
    EXPECT_EQ(ImportStatus::Written, importTable(table, output, {}, settings, true, summary));
    EXPECT_EQ("REKALDATA V1.6\r\nq,a,<00\r\n", test::readBytes(output));

    EXPECT_EQ(ImportStatus::TableNotFound,
              importTable(folder.file("none.csv"), folder.file("new.rkf"), {}, settings, false, summary));
    const std::string empty = folder.write("empty.txt", "\xEF\xBB\xBF\n\n");
    EXPECT_EQ(ImportStatus::NothingImported,
              importTable(empty, folder.file("new.rkf"), {}, settings, false, summary));
    EXPECT_FALSE(std::filesystem::exists(folder.file("new.rkf")));
}

} // namespace
} // namespace rekal
