#include "win/app/pending.h"

#include "win/app/app.h"
#include "win/exam/rangedialog.h"

namespace rekal::win {

void openRangeDialog(HWND owner) {
    if (app().book.questionCount() > 0 && !examRunning()) showRangeDialog(owner, app().book);
}

} // namespace rekal::win
