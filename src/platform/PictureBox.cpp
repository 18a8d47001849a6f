// SPDX-License-Identifier: MIT
#include "platform/PictureBox.h"

#include <algorithm>

namespace platform {

void PictureBox::SetBackColor(gdi::COLORREF c) {
    m_backColor = c;
    // A new back colour clears the surface to it.
    m_surface.Repaint([this](gdi::Bitmap& b) { PaintBackground(b); });
    Changed(Property::BackColor);
}

void PictureBox::PaintBackground(gdi::Bitmap& target) const {
    // A value with bit 31 set names a system colour.
    const gdi::COLORREF colour = (m_backColor & 0x80000000u) != 0
                                     ? gdi::GetSysColor(static_cast<int>(m_backColor & 0x00FFFFFF))
                                     : m_backColor;
    std::fill(target.Pixels().begin(), target.Pixels().end(), gdi::ToPixel(colour));
}

void PictureBox::SetAutoRedraw(bool on) {
    if (on == m_surface.Active()) {
        return;
    }
    if (on) {
        m_surface.Create(
            TwipsToPixels(ScaleWidth()), TwipsToPixels(ScaleHeight()),
            [this](gdi::Bitmap& b) { PaintBackground(b); }, platform::Font{},
            [this] { Changed(Property::Surface); });
    } else {
        m_surface.Release();
        Changed(Property::Surface);
    }
}

void PictureBox::FitSurface() {
    m_surface.Resize(TwipsToPixels(ScaleWidth()), TwipsToPixels(ScaleHeight()),
                     [this](gdi::Bitmap& b) { PaintBackground(b); });
}

gdi::HDC PictureBox::hDC() {
    FitSurface();
    return m_surface.Dc();
}

const gdi::Bitmap* PictureBox::Image() {
    FitSurface();
    return m_surface.Image();
}

}  // namespace platform
