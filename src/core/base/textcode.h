#pragma once
// Conversions between CP932 texts and UTF-8 (terminal output, JSON, tests). Bytes that do not form a
// character are replaced by '?'. Implemented with iconv on POSIX and with the code page 932 APIs
// on Windows (src/win/base).

#include <string>
#include <string_view>

namespace rekal {

std::string cp932ToUtf8(std::string_view cp932);
std::string utf8ToCp932(std::string_view utf8);

} // namespace rekal
