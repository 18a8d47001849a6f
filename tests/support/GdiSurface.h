// SPDX-License-Identifier: MIT
// A memory device context with its own 32-bit bitmap, for tests that draw: released with
// everything it made when it goes.
#pragma once

#include <memory>

#include "platform/gdi/Gdi.h"

namespace testing_support {

class GdiSurface {
  public:
    GdiSurface(int width, int height, platform::gdi::Pixel fill = platform::gdi::kOpaque)
        : m_dc(platform::gdi::CreateCompatibleDC(nullptr)),
          m_bitmap(platform::gdi::CreateCompatibleBitmap(nullptr, width, height)) {
        m_old = platform::gdi::SelectObject(m_dc, m_bitmap);
        Fill(fill);
    }
    ~GdiSurface() {
        platform::gdi::SelectObject(m_dc, m_old);
        platform::gdi::DeleteObject(m_bitmap);
        platform::gdi::DeleteDC(m_dc);
    }
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    platform::gdi::HDC Dc() const { return m_dc; }
    platform::gdi::Bitmap& Bits() const { return *platform::gdi::BitmapOf(m_bitmap); }
    platform::gdi::Pixel At(int x, int y) const { return Bits().At(x, y); }
    void Fill(platform::gdi::Pixel p) const {
        for (platform::gdi::Pixel& q : Bits().Pixels()) {
            q = p;
        }
    }

  private:
    platform::gdi::HDC m_dc;
    platform::gdi::HBITMAP m_bitmap;
    platform::gdi::HGDIOBJ m_old = nullptr;
};

// A picture whose pixels tell where they came from: green is x, blue is y.
inline std::shared_ptr<const platform::gdi::Bitmap> Numbered(int width, int height) {
    auto b = std::make_shared<platform::gdi::Bitmap>(width, height, 32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b->Set(x, y,
                   0xFF000000u | static_cast<platform::gdi::Pixel>(x << 8) |
                       static_cast<platform::gdi::Pixel>(y));
        }
    }
    return b;
}

}  // namespace testing_support
