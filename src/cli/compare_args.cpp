#include "cli/compare_args.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace rekal::cli {

std::optional<long> parseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size()) return std::nullopt;
    return value;
}

std::optional<int> takeCompareOption(std::vector<std::string>& args, bool& bad) {
    auto it = std::find(args.begin(), args.end(), "--compare");
    if (it == args.end()) return std::nullopt;
    std::optional<long> value;
    if (it + 1 != args.end()) value = parseNumber(*(it + 1));
    if (!value || *value < 0 || *value > 31) {
        bad = true;
        return std::nullopt;
    }
    args.erase(it, it + 2);
    return static_cast<int>(*value);
}

std::optional<std::string> takeOption(std::vector<std::string>& args, std::string_view name, bool& bad) {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) return std::nullopt;
    if (it + 1 == args.end()) {
        bad = true;
        return std::nullopt;
    }
    std::string value = *(it + 1);
    args.erase(it, it + 2);
    return value;
}

bool takeFlag(std::vector<std::string>& args, std::string_view flag) {
    auto it = std::find(args.begin(), args.end(), flag);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

} // namespace rekal::cli
