#include "win/app/windowplace.h"

#include "core/shell/geometry.h"

namespace rekal::win {

namespace {

PixelRect pixelRect(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

} // namespace

void centreOnOwner(HWND dialog) {
    RECT own{}, work{};
    HWND owner = GetWindow(dialog, GW_OWNER);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (!owner || !GetWindowRect(owner, &own)) own = work;
    RECT self{};
    GetWindowRect(dialog, &self);
    const PixelRect place =
        centredOverOwner(pixelRect(own), {self.right - self.left, self.bottom - self.top}, pixelRect(work));
    SetWindowPos(dialog, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace rekal::win
