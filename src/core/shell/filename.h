#pragma once
// File names the dialogs propose and complete: the export table beside its book, and the extension
// a save dialog's chosen filter adds to a bare name.

#include <filesystem>
#include <string_view>

namespace rekal {

// The export table proposed for a book: the book's path with its extension replaced by ".csv".
std::filesystem::path proposedExportFile(const std::filesystem::path& book);

// A name typed without an extension (or ending with a bare dot) gets `extension` (without its dot);
// a name with one, or an empty extension (the "all files" filter), leaves the name as it is.
std::filesystem::path withExtensionWhenNone(const std::filesystem::path& name, std::string_view extension);

// The extension a save dialog's filter pattern adds to a bare name: what follows the dot of its
// first pattern ("*.TXT" gives "TXT"); empty when that holds a "*" ("*.*") or there is no dot.
std::string_view patternExtension(std::string_view pattern);

} // namespace rekal
