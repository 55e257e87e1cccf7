#pragma once
// Rules of the application shell that need no window: the texts of the recent-file
// menu entries, the choice-button font and the window place kept in the settings. Texts are CP932.

#include "core/settings/settings.h"
#include "core/shell/geometry.h"

#include <optional>
#include <string>
#include <string_view>

namespace rekal {

// First and last command id of the recent-file entries; entry n (from 1) is kRecentCommandBase + n.
inline constexpr int kRecentCommandBase = 2700;
inline constexpr int kRecentClearCommand = 2711;

// The text of recent-file entry n (from 1): "&n " followed by the path.
std::string recentMenuText(int n, std::string_view path);

// The font of the choice buttons: the answer font at three quarters of its size.
FontSpec choiceButtonFont(const FontSpec& answerFont);

// The place stored for a window from its normal (restored) rectangle, which the platform gives
// relative to the work area: moved by the work area's origin, right and bottom as width and height.
WindowRect storedWindowPlace(int normalLeft, int normalTop, int normalRight, int normalBottom, int workLeft,
                             int workTop);

// Where a window with a stored place opens, in screen coordinates: the stored rectangle moved
// inside the work area. None when the place was never stored (kDefaultPosition or no size): the
// window keeps the place the system or its template gives.
std::optional<PixelRect> storedPlaceOnScreen(const WindowRect& stored, const PixelRect& work);

// The built-in sizes of the top-level windows (main window, list window, hint window, detail list)
// on a screen of `dpi`: scaled when the defaults are made, before the settings file is read over
// them. Stored placements are screen pixels and are read as they stand.
void scaleDefaultWindowSizes(Settings& defaults, int dpi);

} // namespace rekal
