#include "core/shell/filename.h"

namespace rekal {

std::filesystem::path proposedExportFile(const std::filesystem::path& book) {
    std::filesystem::path table = book;
    table.replace_extension(".csv");
    return table;
}

std::filesystem::path withExtensionWhenNone(const std::filesystem::path& name, std::string_view extension) {
    const std::filesystem::path current = name.extension();
    if (extension.empty() || name.empty() || (!current.empty() && current != ".")) return name;
    std::filesystem::path::string_type text = name.native();
    if (text.back() != '.') text += '.';
    for (char c : extension) // ASCII extensions only
        text += static_cast<std::filesystem::path::value_type>(c);
    return text;
}

std::string_view patternExtension(std::string_view pattern) {
    pattern = pattern.substr(0, pattern.find(';'));
    const std::size_t dot = pattern.rfind('.');
    if (dot == std::string_view::npos) return {};
    const std::string_view extension = pattern.substr(dot + 1);
    return extension.find('*') == std::string_view::npos ? extension : std::string_view();
}

} // namespace rekal
