#pragma once
// The arithmetic of the objects a sentence's tags create: the crop and size of a picture, the
// rectangle and play settings of a sound or video window, and the replay countdown of the media
// timer.

#include "core/display/markup.h"
#include "core/display/wrap.h"

namespace rekal {

// Where a picture is drawn from and at what size.
struct PictureGeometry {
    int displayWidth = 0, displayHeight = 0;
    int sourceLeft = 0, sourceTop = 0;
    int sourceWidth = 0, sourceHeight = 0;
    friend bool operator==(const PictureGeometry&, const PictureGeometry&) = default;

    // True when the source rectangle lies inside a picture of the given size and is not empty.
    bool sourceInside(int pictureWidth, int pictureHeight) const;
};

// Crop and display size of a picture of the given size. Source offsets and sizes are pixels or
// percentages of the picture; a display size is a magnitude, a percentage of it applying to the
// (limited) source size. A display size not given stays the picture's full size.
PictureGeometry pictureGeometry(int pictureWidth, int pictureHeight, const PictureAttributes& attributes);

// Sound and video windows one display may open (a text, or the texts of one list): each is a
// window and a device of the platform's media player. Tags beyond them take no space.
inline constexpr int kMaxMediaWindows = 32;

// Play settings of a sound or video object.
struct MediaPlay {
    int loopCount = -1;  // automatic plays still to start; -1 without end
    int interval = 1000; // ms stopped before each automatic play
    int autoplay = 1;    // non-zero: the media timer drives the object
    int countdown = 0;   // ms still to wait while stopped
};

// What a media window looks like: its source and destination rectangles as the window reports
// them, and whether its play bar shows.
struct MediaFrame {
    DisplayRect source;
    DisplayRect destination;
    bool showControl = false;
};

// Applies a media tag's attributes: width and height set the destination size (pixels, or a
// percentage of the source width and of the destination height), loop (0 or less: without end),
// autoplay, interval (seconds) and showcontrol.
void applyMediaAttributes(const MediaAttributes& attributes, MediaPlay& play, MediaFrame& frame);

enum class MediaStep { Wait, Play, Disable };

// One poll of the media timer for an object: while the medium is stopped its countdown runs down by
// the elapsed time; at 0 it is played again (a positive loop count going down by one) or, with no
// plays left, disabled once. A playing or paused medium is never restarted.
MediaStep advanceMediaTimer(MediaPlay& play, bool stopped, unsigned elapsedMs);

} // namespace rekal
