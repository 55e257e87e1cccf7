#include "core/shell/listdialog.h"

#include "core/shell/dpi.h"

#include <algorithm>

namespace rekal {

ListDialogLayout layoutListDialog(PixelSize client, PixelSize button, int buttonCount, int dpi) {
    const int listTop = scaleForDpi(1, dpi);
    const int listGap = scaleForDpi(7, dpi);
    const int buttonGap = scaleForDpi(4, dpi);
    const int bottomMargin = scaleForDpi(2, dpi);
    ListDialogLayout layout;
    layout.list = {0, listTop, std::max(client.width, 0),
                   std::max(client.height - button.height - listGap, 0)};
    const int count = std::max(buttonCount, 0);
    const int rowWidth = count * button.width + std::max(count - 1, 0) * buttonGap;
    int left = (client.width - rowWidth) / 2;
    const int top = client.height - bottomMargin - button.height;
    for (int i = 0; i < count; ++i) {
        layout.buttons.push_back({left, top, button.width, button.height});
        left += button.width + buttonGap;
    }
    return layout;
}

PixelSize listDialogMinimumSize(int dpi) {
    return {scaleForDpi(200, dpi), scaleForDpi(120, dpi)};
}

} // namespace rekal
