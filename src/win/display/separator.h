#pragma once
// The separator bar "RekalWinSeparator": a grooved bar between two panes that the user drags; it
// reports the drag position to its parent, which moves the panes.

#include <windows.h>

namespace rekal::win {

inline constexpr const wchar_t* kSeparatorClass = L"RekalWinSeparator";

// wParam: 0 = horizontal bar (dragged up and down), 1 = vertical bar (dragged left and right).
inline constexpr UINT kSetSeparatorOrientation = WM_APP + 1;
// Sent to the parent while dragging: wParam = the bar's control id, lParam = the cursor's position
// across the bar in the parent's client coordinates, plus 3.
inline constexpr UINT kSeparatorMoved = WM_APP + 2;

enum SeparatorOrientation { SeparatorHorizontal = 0, SeparatorVertical = 1 };

// Window data of the class: orientation and dragging flag.
inline constexpr int kSeparatorExtraBytes = 8;

LRESULT CALLBACK separatorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace rekal::win
