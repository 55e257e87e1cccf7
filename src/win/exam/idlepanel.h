#pragma once
// The idle information panel (dialog 590): the loaded file's path and question count beside the
// program's picture.

#include <windows.h>

namespace rekal::win {

HWND createIdlePanel(HWND examView);
// "ファイル名：" with the book's path (or "ファイルが読み込まれていません。") and "総問題数：" with
// its question count.
void fillIdlePanel(HWND panel);

} // namespace rekal::win
