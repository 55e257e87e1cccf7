#pragma once
// The window steps around every save of the book, the one after each run and the shell's: the wait
// cursor and "保存中..." while it writes, and what the windows do with its outcome.

#include "core/data/merge.h"
#include "core/data/save.h"
#include "win/base/waitcursor.h"

namespace rekal::win {

// The wait cursor and the status text "保存中..." while the file is written.
class StatusSaveHooks : public SaveHooks {
  public:
    void saveStarted() override;
    void saveFinished() override;

  private:
    WaitCursor cursor_;
};

// After a save. Merged with a file written elsewhere: the idle panel and the information pane show
// the merged book, and the question list window, whose question numbers belong to the old one,
// closes. The file gone or unreadable: the user is asked whether to save the book under another
// name (the shell's Save As).
void afterBookSave(const BookSaveResult& result);

} // namespace rekal::win
