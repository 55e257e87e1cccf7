#pragma once
// JSON output of the commands that print records (log, dump).

#include <string>
#include <string_view>

namespace rekal::cli {

// Appends a CP932 text as a JSON string: converted to UTF-8, quotes, backslashes and control bytes
// escaped.
void appendJsonString(std::string& out, std::string_view cp932);

} // namespace rekal::cli
