#pragma once
// The question book as the shell opens, saves and replaces it: the load procedure with the window
// steps around the core's reader, the save entry point, the open and save-as dialogs, a dropped
// file and the clearing of every history.

#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace rekal::win {

// Loads the file into the book (the caller has saved a changed book). The exam view is rebuilt in
// its idle state, the path goes to the top of the recent-file list, the commands and the caption
// follow the result. False when no book is loaded afterwards.
bool openBookFile(const std::filesystem::path& file);
// Writes the book back when it holds unsaved changes. False when they are still unsaved (the write
// failed, or the user would not write a read-only file): the book must then not be replaced.
bool saveBookIfChanged();
// The way every command that replaces the book opens another file (a recent file, a dropped file,
// the exam-log viewer's link and re-exam): saves a changed book first, and when that fails keeps it
// loaded and opens nothing. False when the file was not opened.
bool openAnotherBook(const std::filesystem::path& file);

// Open: saves a changed book (stopping when that fails), then asks for a file and opens it.
void openWithDialog(HWND owner);
// Save As: asks for a new name (".rkf" added when the REKAL filter is chosen and the name has no
// extension), stores it, marks the book changed, saves it and updates the caption.
void saveBookAs(HWND owner);
// A drop on the main window: opens the first file as openAnotherBook does (the others are
// ignored) and ends the drop.
void openDroppedFile(HDROP drop);
// Asks, then sets every question's history to 0 (the book is then changed).
void clearAllHistories();

} // namespace rekal::win
