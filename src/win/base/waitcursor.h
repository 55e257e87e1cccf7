#pragma once
// The wait cursor for the length of a load, a save or an export.

#include <windows.h>

namespace rekal::win {

class WaitCursor {
  public:
    WaitCursor() = default;
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { end(); }

    void begin() {
        if (!active_) previous_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        active_ = true;
    }
    void end() {
        if (active_) SetCursor(previous_ ? previous_ : LoadCursorW(nullptr, IDC_ARROW));
        active_ = false;
    }

  private:
    HCURSOR previous_ = nullptr;
    bool active_ = false;
};

} // namespace rekal::win
