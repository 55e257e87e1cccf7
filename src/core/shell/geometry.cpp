#include "core/shell/geometry.h"

#include <algorithm>

namespace rekal {

PixelRect centredOverOwner(const PixelRect& owner, PixelSize size, const PixelRect& work) {
    return keptInside({owner.left + (owner.width - size.width) / 2,
                       owner.top + (owner.height - size.height) / 2, size.width, size.height},
                      work);
}

PixelRect keptInside(const PixelRect& place, const PixelRect& work) {
    PixelRect r = place;
    r.left = std::min(r.left, work.left + work.width - r.width);
    r.top = std::min(r.top, work.top + work.height - r.height);
    r.left = std::max(r.left, work.left);
    r.top = std::max(r.top, work.top);
    return r;
}

} // namespace rekal
