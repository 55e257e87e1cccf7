#pragma once
// The export dialog of the File menu: the target file (proposed beside the book, or chosen with
// 参照), comma or tab separation, the overwrite question, then the table writer.

#include "core/base/notifier.h"
#include "core/data/book.h"

#include <windows.h>

namespace rekal::win {

struct ExportDialogData {
    const QuestionBook* book = nullptr;
    Notifier* notifier = nullptr;
    bool exported = false; // out: the table was written
};

// Modal over owner; nothing happens without a loaded book.
void showExportDialog(HWND owner, ExportDialogData& data);

// File > エクスポート with the program's book.
void openExportDialog(HWND owner);

} // namespace rekal::win
