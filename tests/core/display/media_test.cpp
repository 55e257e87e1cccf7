#include "core/display/media.h"

#include <gtest/gtest.h>

using namespace rekal;

namespace {

PictureGeometry geometryOf(int width, int height, const char* parameters) {
    return pictureGeometry(width, height, parsePictureAttributes(parameters));
}

// display w, h; source left, top, w, h
PictureGeometry g(int dw, int dh, int sl, int st, int sw, int sh) {
    return {dw, dh, sl, st, sw, sh};
}

} // namespace

TEST(PictureGeometry, WholePictureByDefault) {
    EXPECT_EQ(geometryOf(200, 100, "a.png"), g(200, 100, 0, 0, 200, 100));
}

TEST(PictureGeometry, RightHalfStretchedToTheFullSize) {
    // srcwidth=100% is limited to what lies right of srcleft; the display size stays the picture's.
    EXPECT_EQ(geometryOf(200, 100, "a.png|srcleft=50%|srcwidth=100%"), g(200, 100, 100, 0, 100, 100));
}

TEST(PictureGeometry, PercentageDisplaySizeFollowsTheSource) {
    EXPECT_EQ(geometryOf(200, 100, "a.png|width=50%|height=50%"), g(100, 50, 0, 0, 200, 100));
    EXPECT_EQ(geometryOf(200, 100, "a.png|width=50%|height=50%|srcwidth=100"), g(50, 50, 0, 0, 100, 100));
    // The limited source size is the base.
    EXPECT_EQ(geometryOf(200, 100, "a.png|srcleft=150|width=50%"), g(25, 100, 150, 0, 50, 100));
}

TEST(PictureGeometry, CropInPixelsAndPercentages) {
    EXPECT_EQ(geometryOf(200, 100, "photo.jpg|srcleft=10|srctop=10|srcwidth=100|srcheight=80"),
              g(200, 100, 10, 10, 100, 80));
    EXPECT_EQ(geometryOf(200, 100, "a.png|srctop=25%|srcheight=50%"), g(200, 100, 0, 25, 200, 50));
    // Truncated: 33% of 100 is 33, 33% of 101 is 33.
    EXPECT_EQ(geometryOf(101, 101, "a.png|srcwidth=33%|width=33%"), g(10, 101, 0, 0, 33, 101));
}

TEST(PictureGeometry, DisplaySizeIsAMagnitudeAndSidesAreIndependent) {
    EXPECT_EQ(geometryOf(200, 100, "a.png|width=-40"), g(40, 100, 0, 0, 200, 100));
    EXPECT_EQ(geometryOf(200, 100, "a.png|height=30"), g(200, 30, 0, 0, 200, 100));
    // A later pixel width replaces an earlier percentage.
    EXPECT_EQ(geometryOf(200, 100, "a.png|width=50%|width=70"), g(70, 100, 0, 0, 200, 100));
}

TEST(PictureGeometry, NegativeSourceSizeNeverGivesANegativeBand) {
    PictureGeometry geometry = geometryOf(200, 100, "a.png|srcwidth=-20|width=50%");
    EXPECT_EQ(geometry.displayWidth, 0);
    EXPECT_FALSE(geometry.sourceInside(200, 100));
}

TEST(PictureGeometry, SourceOutsideThePictureIsNotDrawn) {
    EXPECT_TRUE(geometryOf(200, 100, "a.png|srcleft=50%").sourceInside(200, 100));
    EXPECT_FALSE(geometryOf(200, 100, "a.png|srcleft=300").sourceInside(200, 100));
    EXPECT_FALSE(geometryOf(200, 100, "a.png|srcleft=-10").sourceInside(200, 100));
    EXPECT_FALSE(geometryOf(200, 100, "a.png|srctop=100").sourceInside(200, 100));
    EXPECT_FALSE(geometryOf(0, 0, "a.png").sourceInside(0, 0));
}

TEST(PictureGeometry, HugeValuesDoNotOverflow) {
    PictureGeometry geometry = geometryOf(200, 100, "a.png|srcleft=-2147483648|width=99999999999%");
    EXPECT_GE(geometry.displayWidth, 0);
    EXPECT_FALSE(geometry.sourceInside(200, 100));
    // Display sizes are held within what the drawing calls take.
    EXPECT_EQ(geometryOf(200, 100, "a.png|width=-2147483648").displayWidth, kMaxDisplayExtent);
    EXPECT_EQ(geometryOf(200, 100, "a.png|width=2147483647|height=40000").displayHeight, kMaxDisplayExtent);
    EXPECT_EQ(geometryOf(200, 100, "a.png|width=32767").displayWidth, 32767);
    MediaPlay play;
    MediaFrame frame;
    frame.destination = {10, 10, 330, 250};
    applyMediaAttributes(parseMediaAttributes("v.avi|width=2147483647|height=-5"), play, frame);
    EXPECT_EQ(frame.destination, (DisplayRect{10, 10, 10 + kMaxDisplayExtent, 10}));
}

namespace {

MediaFrame videoFrame() {
    MediaFrame f;
    f.source = {0, 0, 160, 120};
    f.destination = {0, 0, 320, 240};
    return f;
}

} // namespace

TEST(MediaAttributes, DefaultsWithoutAttributes) {
    MediaPlay play;
    MediaFrame frame = videoFrame();
    applyMediaAttributes(parseMediaAttributes("v.avi"), play, frame);
    EXPECT_EQ(play.loopCount, -1);
    EXPECT_EQ(play.interval, 1000);
    EXPECT_EQ(play.autoplay, 1);
    EXPECT_EQ(frame.destination, (DisplayRect{0, 0, 320, 240}));
    EXPECT_FALSE(frame.showControl);
}

TEST(MediaAttributes, SizeInPixelsOrPercentages) {
    MediaPlay play;
    MediaFrame frame = videoFrame();
    // Width percentages are of the source width, height percentages of the destination height.
    applyMediaAttributes(parseMediaAttributes("v.avi|width=50%|height=50%"), play, frame);
    EXPECT_EQ(frame.destination, (DisplayRect{0, 0, 80, 120}));
    frame = videoFrame();
    frame.destination = {5, 6, 325, 246};
    applyMediaAttributes(parseMediaAttributes("v.avi|width=100|height=40"), play, frame);
    EXPECT_EQ(frame.destination, (DisplayRect{5, 6, 105, 46}));
    EXPECT_EQ(frame.source, (DisplayRect{0, 0, 160, 120}));
}

TEST(MediaAttributes, LoopAutoplayIntervalAndControls) {
    MediaPlay play;
    MediaFrame frame = videoFrame();
    applyMediaAttributes(parseMediaAttributes("s.wav|loop=2|autoplay=0|interval=3|showcontrol=1"), play,
                         frame);
    EXPECT_EQ(play.loopCount, 2);
    EXPECT_EQ(play.autoplay, 0);
    EXPECT_EQ(play.interval, 3000);
    EXPECT_TRUE(frame.showControl);
    applyMediaAttributes(parseMediaAttributes("s.wav|loop=0|showcontrol=0"), play, frame);
    EXPECT_EQ(play.loopCount, -1);
    EXPECT_FALSE(frame.showControl);
    applyMediaAttributes(parseMediaAttributes("s.wav|loop=-4|interval=99999999"), play, frame);
    EXPECT_EQ(play.loopCount, -1);
    EXPECT_EQ(play.interval, 2147483647);
}

namespace {

// Simulates the media timer polling every 100 ms for `total` ms. A play lasts `playMs`. Returns
// the times at which the object was played and disabled.
struct Timeline {
    std::vector<int> plays;
    std::vector<int> disables;
};

Timeline simulate(MediaPlay play, int playMs, int total) {
    Timeline t;
    play.countdown = play.interval;
    int playingUntil = -1;
    for (int now = 100; now <= total; now += 100) {
        bool stopped = now > playingUntil; // first seen stopped at the poll after the play ended
        switch (advanceMediaTimer(play, stopped, 100)) {
        case MediaStep::Play:
            t.plays.push_back(now);
            playingUntil = now + playMs;
            break;
        case MediaStep::Disable:
            t.disables.push_back(now);
            break;
        case MediaStep::Wait:
            break;
        }
    }
    return t;
}

} // namespace

TEST(MediaTimer, DefaultsRepeatForeverWithOneSecondPauses) {
    Timeline t = simulate(MediaPlay{}, 500, 5000);
    EXPECT_EQ(t.plays, (std::vector<int>{1000, 2500, 4000}));
    EXPECT_TRUE(t.disables.empty());
}

TEST(MediaTimer, LoopCountPlaysThatOftenThenDisablesOnce) {
    MediaPlay play;
    play.loopCount = 2;
    play.interval = 3000;
    Timeline t = simulate(play, 500, 20000);
    // 3 s after showing, again 3 s after the first play ended, disabled 3 s after the second.
    EXPECT_EQ(t.plays, (std::vector<int>{3000, 6500}));
    EXPECT_EQ(t.disables, (std::vector<int>{10000}));
}

TEST(MediaTimer, PlayingOrPausedMediaIsNeverRestarted) {
    MediaPlay play;
    play.countdown = 100;
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(advanceMediaTimer(play, false, 100), MediaStep::Wait);
    EXPECT_EQ(play.countdown, 100);
    EXPECT_EQ(advanceMediaTimer(play, true, 100), MediaStep::Play);
}

TEST(MediaTimer, WithoutAutoplayNothingHappens) {
    MediaPlay play;
    play.autoplay = 0;
    Timeline t = simulate(play, 500, 10000);
    EXPECT_TRUE(t.plays.empty());
    EXPECT_TRUE(t.disables.empty());
}
