#pragma once
// A font selected into a device context for the lifetime of the object.

#include <windows.h>

namespace rekal::win {

// None (a null font): nothing is selected.
class SelectedFont {
  public:
    SelectedFont(HDC dc, HFONT font) : dc_(dc), old_(font ? SelectObject(dc, font) : nullptr) {}
    ~SelectedFont() {
        if (old_) SelectObject(dc_, old_);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace rekal::win
