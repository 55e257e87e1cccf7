#pragma once
// The core's messages as message boxes captioned "Rekal for Windows".

#include "core/base/notifier.h"

#include <windows.h>

namespace rekal::win {

class MessageBoxNotifier : public Notifier {
  public:
    // The owner of the boxes; nullptr gives boxes without an owner.
    void setOwner(HWND owner) { owner_ = owner; }
    HWND owner() const { return owner_; }
    // While quiet nothing is shown and every question is answered No (the session is ending and
    // no box may wait for an answer).
    void setQuiet(bool quiet) { quiet_ = quiet; }

    void error(std::string_view text) override;
    void warning(std::string_view text) override;
    void info(std::string_view text) override;
    bool ask(std::string_view text) override;

  private:
    int show(std::string_view text, UINT flags);
    HWND owner_ = nullptr;
    bool quiet_ = false;
};

// One message box with the program's caption.
int showMessage(HWND owner, std::string_view cp932Text, UINT flags);

} // namespace rekal::win
