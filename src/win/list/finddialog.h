#pragma once
// The platform's modeless Find dialog over the question list window's search text: downward
// preselected, without the match-case and whole-word options. While it is open the program's
// message loop gives it dialog navigation (app().findDialog); its requests arrive at its owner as
// the registered find message.

#include <windows.h>
#include <commdlg.h>

#include <array>
#include <optional>
#include <string>

namespace rekal::win {

// A press of 次を検索: the search text in code page 932 (none when it holds a character that code
// page has not, which no question can contain) and the direction.
struct FindRequest {
    std::optional<std::string> pattern;
    bool down = true;
};

class FindDialog {
  public:
    FindDialog() = default;
    FindDialog(const FindDialog&) = delete;
    FindDialog& operator=(const FindDialog&) = delete;
    ~FindDialog() { close(); }

    // Opens the dialog over owner, or gives it the focus when it is open.
    void open(HWND owner);
    // Closes it when it is open.
    void close();
    HWND handle() const { return dialog_; }

    // The registered find message from the dialog: none when the dialog closed (it is forgotten)
    // or for anything but 次を検索.
    std::optional<FindRequest> onFindMessage(LPARAM lParam);

  private:
    void forget();

    std::array<wchar_t, 1024> text_{}; // kept between openings
    FINDREPLACEW record_{};
    HWND dialog_ = nullptr;
};

} // namespace rekal::win
