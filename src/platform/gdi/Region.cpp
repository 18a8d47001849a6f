// SPDX-License-Identifier: MIT
#include "platform/gdi/Region.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace platform::gdi {

namespace {

// Ellipses are kept to a size whose squared terms fit 64-bit arithmetic below.
constexpr long long kMaxEllipse = 32767;

RegionObject* Rgn(HRGN region) {
    return IsLive(region, ObjectKind::Region) ? region : nullptr;
}

// Adds the rows top <= y < bottom with one span, joining them to the band above when that
// band has the same span.
void AddBand(std::vector<RECT>& rects, long long top, long long bottom, long long left,
             long long right) {
    if (left >= right || top >= bottom) {
        return;
    }
    if (!rects.empty()) {
        RECT& last = rects.back();
        if (last.bottom == top && last.left == left && last.right == right) {
            last.bottom = static_cast<int>(bottom);
            return;
        }
    }
    rects.push_back(RECT{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                         static_cast<int>(bottom)});
}

// How far each row of an ellipse's top half lies in from the ellipse's bounding box, from the
// top row down to the middle row, for an ellipse `width` x `height` pixels (both at least 2).
//
// The midpoint algorithm on a quarter of the ellipse, in doubled coordinates so that even
// sizes (whose centre lies between pixels) work the same as odd ones: a pixel whose centre is
// x pixels right of the ellipse's centre has X = 2x, and the semi-axes are A = width - 1 and
// B = height - 1 in these units. F(X, Y) < 0 inside the ellipse.
std::vector<long long> EllipseInsets(long long width, long long height) {
    const long long a = width - 1;
    const long long b = height - 1;
    const long long aa = a * a;
    const long long bb = b * b;
    const auto f = [&](long long x, long long y) { return bb * x * x + aa * y * y - aa * bb; };

    const size_t rows = static_cast<size_t>((height + 1) / 2);
    std::vector<long long> extent(rows, 0);  // doubled half-width of each row
    const auto plot = [&](long long x, long long y) {
        if (y < 0) {
            return;
        }
        const auto row = static_cast<size_t>((b - y) / 2);
        if (row < rows) {
            extent[row] = std::max(extent[row], std::min(x, a));
        }
    };

    long long x = a % 2;
    long long y = b;
    // Where the curve is flatter than 45 degrees: one column at a time, one row down whenever
    // the midpoint below the next column lies outside.
    while (bb * x < aa * y) {
        plot(x, y);
        if (f(x + 2, y - 1) > 0) {
            y -= 2;
        }
        x += 2;
    }
    // Where it is steeper: one row at a time, one column across whenever the midpoint beside
    // the next row lies inside.
    while (y >= 0) {
        plot(x, y);
        if (f(x + 1, y - 2) <= 0) {
            x += 2;
        }
        y -= 2;
    }

    std::vector<long long> insets(rows);
    for (size_t i = 0; i < rows; ++i) {
        insets[i] = (a - extent[i]) / 2;
    }
    return insets;
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    auto* region = NewObject<RegionObject>();
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
    if (left < right && top < bottom) {
        region->rects.push_back(RECT{left, top, right, bottom});
    }
    return region;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight) {
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
    // The last column and row stay out of the region.
    const long long l = left;
    const long long t = top;
    const long long r = static_cast<long long>(right) - 1;
    const long long b = static_cast<long long>(bottom) - 1;
    const long long width = r - l;
    const long long height = b - t;
    if (width <= 0 || height <= 0) {
        return CreateRectRgn(0, 0, 0, 0);
    }
    const long long ew = std::min({std::llabs(ellipseWidth), width, kMaxEllipse});
    const long long eh = std::min({std::llabs(ellipseHeight), height, kMaxEllipse});
    if (ew < 2 || eh < 2) {
        return CreateRectRgn(left, top, static_cast<int>(r), static_cast<int>(b));
    }

    const std::vector<long long> insets = EllipseInsets(ew, eh);
    const auto rows = static_cast<long long>(insets.size());
    auto* region = NewObject<RegionObject>();
    std::vector<RECT>& rects = region->rects;
    // The top corners, the straight middle, then the bottom corners mirrored; a row where the
    // top and bottom corners meet is made once.
    for (long long k = 0; k < rows; ++k) {
        const long long inset = insets[static_cast<size_t>(k)];
        AddBand(rects, t + k, t + k + 1, l + inset, r - inset);
    }
    const long long middleTop = t + rows;
    AddBand(rects, middleTop, b - rows, l, r);
    for (long long k = rows - 1; k >= 0; --k) {
        const long long y = b - 1 - k;
        const long long inset = insets[static_cast<size_t>(k)];
        if (y >= middleTop) {
            AddBand(rects, y, y + 1, l + inset, r - inset);
        }
    }
    return region;
}

bool PtInRegion(HRGN region, int x, int y) {
    const RegionObject* rgn = Rgn(region);
    if (rgn == nullptr) {
        return false;
    }
    return std::any_of(rgn->rects.begin(), rgn->rects.end(), [&](const RECT& rc) {
        return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
    });
}

std::vector<RECT> RegionRects(HRGN region) {
    const RegionObject* rgn = Rgn(region);
    return rgn != nullptr ? rgn->rects : std::vector<RECT>{};
}

}  // namespace platform::gdi
