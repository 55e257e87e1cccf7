#pragma once
// The program's one open chooser and one save chooser: the platform's dialogs over a name of
// MAX_PATH characters, read-only box hidden, the current folder left alone. A name chosen without
// an extension in the save chooser gets the extension of the selected filter's pattern.

#include "core/base/notifier.h"

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>

namespace rekal::win {

// One entry of a chooser's filter list: a description and its pattern, CP932.
struct FileFilter {
    const char* description;
    const char* pattern;
};

// The save chooser starting from `initial`, with `extraFlags` (OFN_OVERWRITEPROMPT). None for a
// cancel; a dialog that fails to open tells "ダイアログを開けません。" first.
std::optional<std::filesystem::path> chooseSaveFile(HWND owner, const std::filesystem::path& initial,
                                                    std::initializer_list<FileFilter> filters,
                                                    Notifier& notifier, DWORD extraFlags = 0);
// The open chooser: the file must exist.
std::optional<std::filesystem::path> chooseOpenFile(HWND owner, const std::filesystem::path& initial,
                                                    std::initializer_list<FileFilter> filters,
                                                    Notifier& notifier);

// The CP932 text under which the settings keep a chosen or dropped file: its exact name, else its
// short name. A file that code page 932 cannot name is refused with a warning naming it.
std::optional<std::string> storableChosenName(const std::filesystem::path& file, Notifier& notifier);

// The first file of a drop (the drop is finished); empty when it holds none.
std::filesystem::path firstDroppedFile(HDROP drop);

} // namespace rekal::win
