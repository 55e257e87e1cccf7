#include "win/base/winnotifier.h"

#include "core/base/messages.h"
#include "win/base/wintext.h"

namespace rekal::win {

int showMessage(HWND owner, std::string_view cp932Text, UINT flags) {
    return MessageBoxW(owner, toWide(cp932Text).c_str(), toWide(msg::kAppName).c_str(), flags);
}

int MessageBoxNotifier::show(std::string_view text, UINT flags) {
    if (quiet_) return IDNO;
    return showMessage(owner_, text, flags);
}

void MessageBoxNotifier::error(std::string_view text) {
    show(text, MB_OK | MB_ICONERROR);
}
void MessageBoxNotifier::warning(std::string_view text) {
    show(text, MB_OK | MB_ICONWARNING);
}
void MessageBoxNotifier::info(std::string_view text) {
    show(text, MB_OK | MB_ICONINFORMATION);
}
bool MessageBoxNotifier::ask(std::string_view text) {
    return show(text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

} // namespace rekal::win
