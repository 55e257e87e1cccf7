#pragma once
// The open and save dialogs' shared parts: the filter list from CP932 texts, the dialog record, and
// the name the user chose with the chosen filter's extension added to a bare name.

#include <windows.h>
#include <commdlg.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace rekal::win {

// Pairs of a description and a pattern, each ended by a zero.
std::wstring fileDialogFilter(std::initializer_list<std::pair<const char*, const char*>> entries);

// A name buffer of MAX_PATH characters holding `initial` (cut to fit).
std::vector<wchar_t> fileNameBuffer(const std::filesystem::path& initial);

// The record of an open or save dialog: the first filter chosen, the current folder left alone.
OPENFILENAMEW fileDialogRecord(HWND owner, const std::wstring& filter, std::vector<wchar_t>& name,
                               DWORD flags);

// The name chosen in the dialog; a bare name gets extensions[nFilterIndex - 1] (empty for none).
std::filesystem::path chosenFileName(const OPENFILENAMEW& ofn, std::initializer_list<const char*> extensions);

} // namespace rekal::win
