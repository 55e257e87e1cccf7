#pragma once
// Pixel rectangles and sizes of the shell's window arithmetic.

namespace rekal {

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
    int width = 0, height = 0;
};

// A window of `size` centred over `owner`, then moved inside `work`: first so that its right and
// bottom edges are inside, then its left and top edges (which win for a window larger than the
// work area).
PixelRect centredOverOwner(const PixelRect& owner, PixelSize size, const PixelRect& work);

// A window rectangle moved inside `work` by the same rule (right and bottom edges first, then left
// and top); its size is kept.
PixelRect keptInside(const PixelRect& r, const PixelRect& work);

} // namespace rekal
