#pragma once
// The exam-log viewer (dialog 594 "出題履歴"): the logged runs grouped by date or by question file in
// a tree, one record at a time with its asked questions, the record's file opened from its link, the
// log opened in a text editor, and a re-exam of the record's questions.

#include "core/exam/method.h"
#include "core/settings/settings.h"

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rekal::win {

// The questions of a re-exam chosen in the viewer, checked against the reopened file (maybe none).
struct ReexamRequest {
    std::vector<int> questions;
    ExamKind kind = KindRetryWrong;
    bool shuffle = false;
};

// How the record's link and the re-exam open the record's file (saving the book it replaces);
// false when the file was not opened.
using BookOpener = bool (*)(const std::filesystem::path& file);

struct ExamLogViewerData {
    Settings& settings;                  // ExamLogName, ExamLogSort, ExamListWidth and RetryRandom
    BookOpener openBook;                 // the shell's
    std::optional<ReexamRequest> reexam; // set when the viewer closed for a re-exam
};

// Parses the log and shows it, modal over owner; does not open when the log cannot be read (the
// user has been told why).
void showExamLogViewer(HWND owner, ExamLogViewerData& data);

// File > 出題履歴を開く: the viewer, then the re-exam it asked for in the main window.
void openExamLogViewer(HWND owner, BookOpener openBook);

} // namespace rekal::win
