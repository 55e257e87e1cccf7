#pragma once
// Placing dialogs: centred over their owner and kept inside the desktop work area.

#include <windows.h>

namespace rekal::win {

void centreOnOwner(HWND dialog);

} // namespace rekal::win
