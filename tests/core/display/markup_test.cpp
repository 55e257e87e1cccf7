#include "core/display/markup.h"

#include <gtest/gtest.h>

#include <climits>

using namespace rekal;

TEST(MediaTags, FoundInTextOrderWithTheirParameters) {
    std::string text = "see \x02i\"fig\\map.png|width=50%\" and \x02m\"voice.wav\" end";
    auto first = nextMediaTag(text, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->kind, TagKind::Picture);
    EXPECT_EQ(first->begin, 4u);
    EXPECT_EQ(first->parameters, "fig\\map.png|width=50%");
    EXPECT_EQ(text[first->end], ' ');
    auto second = nextMediaTag(text, first->end);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->kind, TagKind::Media);
    EXPECT_EQ(second->parameters, "voice.wav");
    EXPECT_EQ(text.substr(second->end), " end");
    EXPECT_FALSE(nextMediaTag(text, second->end));
    EXPECT_EQ(countMediaTags(text), 2);
}

TEST(MediaTags, OnlyTagByteLetterAndQuoteMakeATag) {
    EXPECT_EQ(countMediaTags("a\x02x\"b\""), 0);    // unknown letter
    EXPECT_EQ(countMediaTags("a\x02i b"), 0);       // no quote
    EXPECT_EQ(countMediaTags("\x02I\"a.png\""), 0); // letters are lower case
    EXPECT_EQ(countMediaTags("a\x02"), 0);
    EXPECT_EQ(countMediaTags("\x02i\"\""), 1); // empty parameters
}

TEST(MediaTags, MissingClosingQuoteRunsToTheEnd) {
    std::string text = "ab\x02i\"pic.png|width=3";
    auto tag = nextMediaTag(text, 0);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->end, text.size());
    EXPECT_EQ(tag->parameters, "pic.png|width=3");
}

TEST(MediaTags, SecondByteOfACharacterIsNeverADelimiter) {
    // 0x83 0x7C is one character whose second byte is '|'.
    std::string params = "\x83\x7C.png|width=5";
    EXPECT_EQ(tagPath(params), "\x83\x7C.png");
    EXPECT_EQ(parsePictureAttributes(params).width, (TagValue{5, false}));
    // A character whose second byte is 0x5C does not hide the tag after it.
    std::string text = "\x95\x5C\x02i\"a.png\"";
    auto tag = nextMediaTag(text, 0);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->begin, 2u);
}

TEST(TagValues, IntegersPercentagesAndSigns) {
    EXPECT_EQ(parseTagValue("120"), (TagValue{120, false}));
    EXPECT_EQ(parseTagValue("50%"), (TagValue{50, true}));
    EXPECT_EQ(parseTagValue("-50%"), (TagValue{-50, false})); // a sign prevents the percentage
    EXPECT_EQ(parseTagValue("-7"), (TagValue{-7, false}));
    EXPECT_EQ(parseTagValue("12px"), (TagValue{12, false}));
    EXPECT_EQ(parseTagValue("12 %"), (TagValue{12, false}));
    EXPECT_EQ(parseTagValue("+5"), (TagValue{0, false}));
    EXPECT_EQ(parseTagValue(""), (TagValue{0, false}));
    EXPECT_EQ(parseTagValue("-"), (TagValue{0, false}));
    EXPECT_EQ(parseTagValue("%"), (TagValue{0, false}));
    EXPECT_EQ(parseTagValue("007%"), (TagValue{7, true}));
}

TEST(TagValues, HugeNumbersAreHeldAtTheIntRange) {
    EXPECT_EQ(parseTagValue("99999999999999999999").value, INT_MAX);
    EXPECT_EQ(parseTagValue("-99999999999999999999").value, INT_MIN);
    EXPECT_EQ(parseTagValue("2147483647").value, INT_MAX);
    EXPECT_EQ(parseTagValue("-2147483648").value, INT_MIN);
    EXPECT_EQ((TagValue{INT_MAX, true}).percentOf(INT_MAX), INT_MAX);
    EXPECT_EQ((TagValue{50, true}).percentOf(201), 100); // truncated
}

TEST(TagAttributes, NamesIgnoreCaseAndLaterOnesWin) {
    PictureAttributes a = parsePictureAttributes("p.png|WIDTH=10|Height=20%|width=30|srcLeft=1|SRCTOP=2|"
                                                 "srcwidth=3|srcheight=4");
    EXPECT_EQ(a.width, (TagValue{30, false}));
    EXPECT_EQ(a.height, (TagValue{20, true}));
    EXPECT_EQ(a.srcLeft, (TagValue{1, false}));
    EXPECT_EQ(a.srcTop, (TagValue{2, false}));
    EXPECT_EQ(a.srcWidth, (TagValue{3, false}));
    EXPECT_EQ(a.srcHeight, (TagValue{4, false}));
}

TEST(TagAttributes, ItemsWithoutEqualsAndUnknownNamesAreIgnored) {
    PictureAttributes a = parsePictureAttributes("p.png|width|loop=3|height=5=6||");
    EXPECT_FALSE(a.width);
    EXPECT_EQ(a.height, (TagValue{5, false})); // split at the first '='
    EXPECT_FALSE(parsePictureAttributes("p.png").width);
    // A name is the whole text before '='; spaces are part of it.
    EXPECT_FALSE(parsePictureAttributes("p.png| width=5").width);
}

TEST(TagAttributes, MediaAttributes) {
    MediaAttributes a = parseMediaAttributes("s.wav|autoplay=0|LOOP=2|interval=3|showcontrol=1|width=50%|"
                                             "srcleft=4");
    EXPECT_EQ(a.autoplay, 0);
    EXPECT_EQ(a.loop, 2);
    EXPECT_EQ(a.interval, 3);
    EXPECT_EQ(a.showControl, 1);
    EXPECT_EQ(a.width, (TagValue{50, true}));
    EXPECT_FALSE(a.height);
}

TEST(TagAttributes, PathIsEverythingBeforeTheFirstBar) {
    EXPECT_EQ(tagPath("fig\\map.png|width=50%|x"), "fig\\map.png");
    EXPECT_EQ(tagPath("plain.bmp"), "plain.bmp");
    EXPECT_EQ(tagPath("|width=1"), "");
}

TEST(ClipboardText, TagsAppearAsWritten) {
    std::string stored = "Q\n\x02i\"name.png|width=50%\"\nA\x02m\"s.wav\"";
    EXPECT_EQ(clipboardText(stored), "Q\n\\i\"name.png|width=50%\"\nA\\m\"s.wav\"");
    // Double-byte text is untouched.
    EXPECT_EQ(clipboardText("\x95\x5C\x83\x7C"), "\x95\x5C\x83\x7C");
}

TEST(PlainText, TagsAndLineFeedsGoOtherTextStays) {
    EXPECT_EQ(plainText("Q\n\x02i\"name.png|width=50%\"\nA\x02m\"s.wav\""), "QA");
    // A tag byte that starts no tag, and double-byte text, stay.
    EXPECT_EQ(plainText("\x02x\x95\x5C"), "\x02x\x95\x5C");
    // An unclosed tag runs to the end of the text.
    EXPECT_EQ(plainText("ab\x02i\"pic.png"), "ab");
}
