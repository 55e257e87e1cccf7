#include "core/display/media.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace rekal {

namespace {

int magnitude(int v) {
    return v == INT_MIN ? INT_MAX : std::abs(v);
}

} // namespace

bool PictureGeometry::sourceInside(int pictureWidth, int pictureHeight) const {
    return sourceWidth > 0 && sourceHeight > 0 && sourceLeft >= 0 && sourceTop >= 0 &&
           static_cast<std::int64_t>(sourceLeft) + sourceWidth <= pictureWidth &&
           static_cast<std::int64_t>(sourceTop) + sourceHeight <= pictureHeight;
}

PictureGeometry pictureGeometry(int pictureWidth, int pictureHeight, const PictureAttributes& a) {
    PictureGeometry g;
    g.displayWidth = g.sourceWidth = pictureWidth;
    g.displayHeight = g.sourceHeight = pictureHeight;

    auto pixels = [](const TagValue& v, int whole) { return v.percent ? v.percentOf(whole) : v.value; };
    if (a.srcLeft) g.sourceLeft = pixels(*a.srcLeft, pictureWidth);
    if (a.srcTop) g.sourceTop = pixels(*a.srcTop, pictureHeight);
    if (a.srcWidth) g.sourceWidth = pixels(*a.srcWidth, pictureWidth);
    if (a.srcHeight) g.sourceHeight = pixels(*a.srcHeight, pictureHeight);
    if (a.width && !a.width->percent) g.displayWidth = magnitude(a.width->value);
    if (a.height && !a.height->percent) g.displayHeight = magnitude(a.height->value);

    g.sourceWidth =
        clampToInt(std::min<std::int64_t>(g.sourceWidth, std::int64_t{pictureWidth} - g.sourceLeft));
    g.sourceHeight =
        clampToInt(std::min<std::int64_t>(g.sourceHeight, std::int64_t{pictureHeight} - g.sourceTop));

    // A percentage display size follows the limited source size.
    if (a.width && a.width->percent) g.displayWidth = TagValue{a.width->value, true}.percentOf(g.sourceWidth);
    if (a.height && a.height->percent)
        g.displayHeight = TagValue{a.height->value, true}.percentOf(g.sourceHeight);
    // A band never has a negative size, even when a negative source size was given, nor one the
    // drawing calls cannot take.
    g.displayWidth = clampExtent(g.displayWidth);
    g.displayHeight = clampExtent(g.displayHeight);
    return g;
}

void applyMediaAttributes(const MediaAttributes& a, MediaPlay& play, MediaFrame& frame) {
    const int baseWidth = frame.source.width();
    const int baseHeight = frame.destination.height();
    auto extent = [](const TagValue& v, int base) { return v.percent ? v.percentOf(base) : v.value; };
    // The window's size is held within what the drawing calls take.
    if (a.width)
        frame.destination.right =
            addClamped(frame.destination.left, clampExtent(extent(*a.width, baseWidth)));
    if (a.height)
        frame.destination.bottom =
            addClamped(frame.destination.top, clampExtent(extent(*a.height, baseHeight)));
    if (a.loop) play.loopCount = *a.loop <= 0 ? -1 : *a.loop;
    if (a.autoplay) play.autoplay = *a.autoplay;
    if (a.interval) play.interval = clampToInt(std::int64_t{*a.interval} * 1000);
    if (a.showControl) frame.showControl = *a.showControl != 0;
}

MediaStep advanceMediaTimer(MediaPlay& play, bool stopped, unsigned elapsedMs) {
    if (play.autoplay == 0 || !stopped) return MediaStep::Wait;
    play.countdown = clampToInt(std::int64_t{play.countdown} - elapsedMs);
    if (play.countdown > 0) return MediaStep::Wait;
    if (play.loopCount == 0) {
        // Disabled once; the object is left alone from then on.
        play.autoplay = 0;
        return MediaStep::Disable;
    }
    if (play.loopCount > 0) --play.loopCount;
    play.countdown = play.interval;
    return MediaStep::Play;
}

} // namespace rekal
