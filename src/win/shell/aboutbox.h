#pragma once
// The about box (dialog 604): program name, version, author and the project's web address.

#include <windows.h>

namespace rekal::win {

inline constexpr const char* kProjectAddress = "https://example.org/rekal";

// Modal, centred on its owner.
void showAboutBox(HWND owner);

} // namespace rekal::win
