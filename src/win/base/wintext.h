#pragma once
// The boundary between the core's CP932 texts and the W APIs. Every text crosses it here,
// explicitly through code page 932 (the core's conversions), so the program behaves the same
// whatever the system code page.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace rekal::win {

std::wstring toWide(std::string_view cp932);
std::string toCp932(std::wstring_view wide);
std::string toUtf8(std::wstring_view wide);
// The text in code page 932 when it holds every character as it is; none when a character would be
// lost or replaced by a look-alike.
std::optional<std::string> toCp932Exactly(std::wstring_view wide);

// Window text as it stands, and as CP932 (a character code page 932 lacks becomes a look-alike or '?').
std::wstring wideWindowText(HWND hwnd);
std::string windowText(HWND hwnd);
void setWindowText(HWND hwnd, std::string_view cp932);

// The full path of a module's file (the program's own with nullptr).
std::wstring moduleFilePath(HMODULE module);

} // namespace rekal::win
