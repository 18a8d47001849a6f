// SPDX-License-Identifier: MIT
// Regions: sets of pixels made of rectangles. Windows take one as their shape (SetWindowRgn).
#pragma once

#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"

namespace platform::gdi {

// A region is a GDI object like the others: DeleteObject ends it.
struct RegionObject final : GdiObject {
    RegionObject() : GdiObject(ObjectKind::Region) {}
    std::vector<RECT> rects;  // bands, top to bottom, not overlapping
};
using HRGN = RegionObject*;

// The pixels left <= x < right, top <= y < bottom (corners given in either order).
HRGN CreateRectRgn(int left, int top, int right, int bottom);

// A rectangle with rounded corners, covering exactly what the classic call covers: the region
// is one pixel narrower and shorter than the rectangle given (its last column and row stay
// out), and each corner is a quarter of an ellipse `ellipseWidth` x `ellipseHeight` pixels
// (at most the region's own size) rasterised with the midpoint algorithm. Ellipses under 2
// pixels in either direction give square corners.
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight);

bool PtInRegion(HRGN region, int x, int y);

// The region's pixels as rectangles, top to bottom: each band of rows with the same span is
// one rectangle, and no two overlap. Empty for an empty region or a handle that is not alive.
std::vector<RECT> RegionRects(HRGN region);

}  // namespace platform::gdi
