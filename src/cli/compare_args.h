#pragma once
// Argument helpers of the commands: numbers, options with a value, flags.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekal::cli {

// A whole decimal number (optional sign), or none.
std::optional<long> parseNumber(const std::string& text);

// Removes "--compare N" from args and gives N; none when absent. bad is set when N is missing or
// outside 0 to 31.
std::optional<int> takeCompareOption(std::vector<std::string>& args, bool& bad);

// Removes "NAME VALUE" from args and gives VALUE; none when absent. bad is set when the value is
// missing.
std::optional<std::string> takeOption(std::vector<std::string>& args, std::string_view name, bool& bad);

// Removes a flag from args; true when it was there.
bool takeFlag(std::vector<std::string>& args, std::string_view flag);

} // namespace rekal::cli
