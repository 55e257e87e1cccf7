#pragma once
// The vague settings dialog: the user's list of vague string pairs, edited as a list and put in
// place of the table, and into its file, on OK.

#include "core/settings/vague.h"

#include <windows.h>

#include <filesystem>

namespace rekal::win {

struct VagueDialogData {
    VagueTable* table = nullptr; // replaced on OK
    std::filesystem::path file;  // RKLVAGUE.DAT, rewritten on OK (empty: not written)
};

// IDOK when the table was replaced, IDCANCEL after キャンセル or when the dialog cannot open.
int showVagueDialog(HWND owner, VagueDialogData& data);

} // namespace rekal::win
