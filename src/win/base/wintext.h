#pragma once
// The boundary between the core's CP932 texts and the W APIs. Every text crosses it here,
// explicitly through code page 932, so the program behaves the same whatever the system code page.

#include <windows.h>

#include <string>
#include <string_view>

namespace rekal::win {

std::wstring toWide(std::string_view cp932);
std::string toCp932(std::wstring_view wide);
std::string toUtf8(std::wstring_view wide);

// Window text as CP932.
std::string windowText(HWND hwnd);
void setWindowText(HWND hwnd, std::string_view cp932);

// The full path of a module's file (the program's own with nullptr).
std::wstring moduleFilePath(HMODULE module);

} // namespace rekal::win
