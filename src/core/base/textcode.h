#pragma once
// Conversions between CP932 texts and UTF-8 (terminal output, JSON, tests). Bytes that do not form a
// character are replaced by '?'. Implemented with iconv on POSIX (textcode_posix.cpp) and with the
// code page 932 functions on Windows (textcode_win.cpp), which also convert to and from the
// platform's UTF-16 texts.

#include <optional>
#include <string>
#include <string_view>

namespace rekal {

std::string cp932ToUtf8(std::string_view cp932);
std::string utf8ToCp932(std::string_view utf8);

#ifdef _WIN32
// CP932 and UTF-8 texts as UTF-16 and back, explicitly through code page 932 whatever the system's
// code page. wideToCp932 gives a look-alike or '?' for a character code page 932 lacks;
// wideToCp932Exactly gives none instead.
std::wstring cp932ToWide(std::string_view cp932);
std::string wideToCp932(std::wstring_view wide);
std::optional<std::string> wideToCp932Exactly(std::wstring_view wide);
std::wstring utf8ToWide(std::string_view utf8);
std::string wideToUtf8(std::wstring_view wide);
#endif

} // namespace rekal
