// The Windows console's text path, tested on its portable pieces: which handles take UTF-16, and
// the conversions between the program's UTF-8 and the console's UTF-16.
#include "cli/console.h"

#include <gtest/gtest.h>

namespace rekal::cli {
namespace {

TEST(ConsoleText, OnlyAConsoleTakesWideText) {
    EXPECT_EQ(TextPath::ConsoleWide, textPathFor(true, true, true));
    EXPECT_EQ(TextPath::Utf8Bytes, textPathFor(true, false, false));  // a pipe or a file
    EXPECT_EQ(TextPath::Utf8Bytes, textPathFor(true, true, false));   // NUL is a character device
    EXPECT_EQ(TextPath::Utf8Bytes, textPathFor(false, false, false)); // no handle
}

TEST(ConsoleText, OutputInPiecesKeepsSplitCharactersWhole) {
    // a, 日本 and 𠮷 (U+20BB7, a surrogate pair in UTF-16) in UTF-8 (narrow literals are CP932 here).
    const std::string text = "a\xE6\x97\xA5\xE6\x9C\xAC\xF0\xA0\xAE\xB7\n";
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        Utf8ToConsole console;
        std::u16string wide = console.convert(text.substr(0, cut));
        wide += console.convert(text.substr(cut));
        wide += console.finish();
        EXPECT_EQ(u"a日本\U00020BB7\n", wide) << cut;
    }
    Utf8ToConsole broken;
    EXPECT_EQ(u"\uFFFDx", broken.convert("\xFFx\xE6\x97")); // the start of 日 is held back
    EXPECT_EQ(u"\uFFFD\uFFFDz", broken.convert("z"));       // and never completed
    EXPECT_EQ(u"", broken.finish());
    Utf8ToConsole unfinished;
    EXPECT_EQ(u"", unfinished.convert("\xE6\x97"));
    EXPECT_EQ(u"\uFFFD", unfinished.finish());
}

TEST(ConsoleText, TypedInputBecomesUtf8Lines) {
    EXPECT_EQ("\xE3\x81\x8C\xE3\x81\xA3\n", consoleInputToUtf8(u"がっ\r\n"));
    EXPECT_EQ("\xF0\xA0\xAE\xB7\n", consoleInputToUtf8(u"\U00020BB7\n"));
    EXPECT_EQ("\xEF\xBF\xBD"
              "a",
              consoleInputToUtf8(std::u16string{0xD800, u'a'}));
    EXPECT_EQ("a\rb", consoleInputToUtf8(u"a\rb")); // only CR LF is a line end
    EXPECT_TRUE(isConsoleEndOfInput(consoleInputToUtf8(u"\x1A\r\n")));
    EXPECT_FALSE(isConsoleEndOfInput(consoleInputToUtf8(u"\r\n")));
}

} // namespace
} // namespace rekal::cli
