// SPDX-License-Identifier: MIT
#include "platform/gdi/Blend.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/GdiObjects.h"

namespace platform::gdi {
namespace {

std::uint32_t Mix(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    return (s * a + d * (255 - a) + 127) / 255;
}

Pixel Blend(Pixel s, Pixel d, std::uint32_t a) {
    const std::uint32_t r = Mix((s >> 16) & 0xFF, (d >> 16) & 0xFF, a);
    const std::uint32_t g = Mix((s >> 8) & 0xFF, (d >> 8) & 0xFF, a);
    const std::uint32_t b = Mix(s & 0xFF, d & 0xFF, a);
    return kOpaque | (r << 16) | (g << 8) | b;
}

}  // namespace

bool AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, BLENDFUNCTION blend) {
    Bitmap* db = SelectedBitmap(dest);
    const Bitmap* sb = SelectedBitmap(src);
    // The screen's context has no pixels of its own here to blend onto.
    if (db != nullptr && static_cast<const DcObject*>(dest)->fromGetDC) {
        return false;
    }
    if (db == nullptr || sb == nullptr || db->IsMonochrome() || sb->IsMonochrome()) {
        return false;
    }
    if (blend.BlendOp != AC_SRC_OVER || blend.BlendFlags != 0 || blend.AlphaFormat != 0) {
        return false;
    }
    if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0) {
        return false;
    }
    if (srcX < 0 || srcY < 0 || static_cast<long long>(srcX) + srcWidth > sb->Width() ||
        static_cast<long long>(srcY) + srcHeight > sb->Height()) {
        return false;
    }
    if (width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) {
        return true;
    }

    const long long x0 = std::max<long long>(x, 0);
    const long long y0 = std::max<long long>(y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(x) + width, db->Width());
    const long long y1 = std::min<long long>(static_cast<long long>(y) + height, db->Height());
    if (x0 >= x1 || y0 >= y1) {
        return true;
    }

    // A bitmap blended onto itself reads what it held before.
    std::vector<Pixel> snapshot;
    if (sb == db) {
        snapshot = sb->Pixels();
    }
    const auto sourceAt = [&](long long sx, long long sy) {
        return snapshot.empty() ? sb->At(static_cast<int>(sx), static_cast<int>(sy))
                                : snapshot[static_cast<size_t>(sy * sb->Width() + sx)];
    };

    const std::uint32_t a = blend.SourceConstantAlpha;
    for (long long yy = y0; yy < y1; ++yy) {
        const long long sy = srcY + (yy - y) * srcHeight / height;
        Pixel* out = db->Row(static_cast<int>(yy));
        for (long long xx = x0; xx < x1; ++xx) {
            const long long sx = srcX + (xx - x) * srcWidth / width;
            out[xx] = Blend(sourceAt(sx, sy), out[xx], a);
        }
    }
    db->Changed();
    return true;
}

}  // namespace platform::gdi
