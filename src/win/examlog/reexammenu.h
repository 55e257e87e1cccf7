#pragma once
// The re-exam menu (dialog 595 "再出題メニュー"): which questions of a logged run to ask again, and
// whether in random order.

#include "core/examlog/browse.h"

#include <windows.h>

namespace rekal::win {

struct ReexamMenuData {
    bool selectionAvailable = false; // the third choice needs selected items
    ReexamChoice choice = ReexamChoice::Wrong;
    bool random = false; // in: the box's first state; out: as the user left it
};

// Modal over owner; true for OK.
bool showReexamMenu(HWND owner, ReexamMenuData& data);

} // namespace rekal::win
