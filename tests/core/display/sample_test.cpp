// The sample book that comes with the program: it reads without a rejected line, a save writes it
// back byte for byte, and its sound plays after a pause of seconds, as its tag means.

#include "core/base/fileio.h"
#include "core/base/notifier.h"
#include "core/data/reader.h"
#include "core/data/save.h"
#include "core/display/markup.h"
#include "core/display/media.h"

#include <gtest/gtest.h>

using namespace rekal;

namespace {

const char* const kSample = REKAL_TEST_DATA "/../../samples/sample.rkf";

TEST(SampleBook, ReadsCleanlyAndSavesUnchanged) {
    const FileBytes file = readFileBytes(kSample);
    ASSERT_EQ(ReadStatus::Ok, file.status);
    const Settings settings = defaultSettings(SettingsInputs{});
    QuestionBook book;
    RecordingNotifier notifier;
    LoadReport report;
    ASSERT_TRUE(loadBook(book, kSample, settings, notifier, nullptr, &report));
    EXPECT_TRUE(report.rejectedLines.empty());
    for (const auto& m : notifier.messages)
        ADD_FAILURE() << "message: " << m.text;
    EXPECT_EQ(file.bytes, formatBook(book, settings));

    int sounds = 0;
    for (int i = 0; i < book.questionCount(); ++i) {
        const std::string_view text = book.questionAt(i)->question.view();
        for (auto tag = nextMediaTag(text, 0); tag; tag = nextMediaTag(text, tag->end)) {
            if (tag->kind != TagKind::Media) continue;
            MediaPlay play;
            MediaFrame frame;
            applyMediaAttributes(parseMediaAttributes(tag->parameters), play, frame);
            EXPECT_EQ(2000, play.interval) << "the sound waits two seconds, not half an hour";
            EXPECT_EQ(2, play.loopCount);
            ++sounds;
        }
    }
    EXPECT_EQ(1, sounds);
}

} // namespace
