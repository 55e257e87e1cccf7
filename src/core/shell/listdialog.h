#pragma once
// A resizable dialog made of one list over a row of push buttons (the detail list of a run): the
// list fills the width and the height above the buttons, and the buttons keep their size, centred
// as a row near the bottom. Pure arithmetic on pixel sizes.

#include "core/shell/geometry.h"

#include <vector>

namespace rekal {

struct ListDialogLayout {
    PixelRect list;
    std::vector<PixelRect> buttons; // left to right
};

// For a client area of `client` at `dpi`: the list from y = 1 down to the height less the
// button height less 7, the buttons 4 pixels apart and 2 above the bottom (96-dpi numbers,
// scaled). No size comes out negative in a client smaller than the buttons.
ListDialogLayout layoutListDialog(PixelSize client, PixelSize button, int buttonCount, int dpi);

// The smallest window of such a dialog, 200 x 120 at 96 dpi.
PixelSize listDialogMinimumSize(int dpi);

} // namespace rekal
