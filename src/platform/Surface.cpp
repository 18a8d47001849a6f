// SPDX-License-Identifier: MIT
#include "platform/Surface.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Text.h"

namespace platform {

Surface::~Surface() {
    Release();
}

void Surface::Create(int width, int height, const Painter& paint, const Font& font,
                     std::function<void()> changed) {
    Release();
    m_changed = std::move(changed);
    m_dc = gdi::CreateCompatibleDC(nullptr);
    m_bitmap = gdi::CreateCompatibleBitmap(nullptr, std::max(width, 1), std::max(height, 1));
    m_initialBitmap = gdi::SelectObject(m_dc, m_bitmap);
    gdi::SetBkMode(m_dc, gdi::TRANSPARENT);
    gdi::SetTextColor(m_dc, gdi::RGB(0, 0, 0));
    SelectFont(font);
    Repaint(paint);
}

void Surface::Resize(int width, int height, const Painter& paint) {
    gdi::Bitmap* old = Image();
    if (old == nullptr) {
        return;
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (old->Width() == width && old->Height() == height) {
        return;
    }
    gdi::HBITMAP bigger = gdi::CreateCompatibleBitmap(nullptr, width, height);
    gdi::Bitmap* fresh = gdi::BitmapOf(bigger);
    if (fresh == nullptr) {
        return;  // too large: the surface keeps its size
    }
    paint(*fresh);
    for (int y = 0; y < std::min(height, old->Height()); ++y) {
        std::copy_n(old->Row(y), std::min(width, old->Width()), fresh->Row(y));
    }
    fresh->SetObserver(m_changed);
    gdi::SelectObject(m_dc, bigger);
    gdi::DeleteObject(m_bitmap);
    m_bitmap = bigger;
    fresh->Changed();
}

void Surface::Repaint(const Painter& paint) {
    gdi::Bitmap* image = Image();
    if (image == nullptr) {
        return;
    }
    image->SetObserver(nullptr);
    paint(*image);
    image->SetObserver(m_changed);
    image->Changed();
}

void Surface::SetFont(const Font& font) {
    if (Active()) {
        SelectFont(font);
    }
}

void Surface::SelectFont(const Font& font) {
    gdi::LOGFONTW lf;
    lf.lfHeight = -static_cast<int>(std::lround(font.size * 96.0f / 72.0f));
    lf.lfWeight = font.bold ? gdi::FW_BOLD : gdi::FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfCharSet = static_cast<std::uint8_t>(font.charset);
    lf.lfFaceName = font.name;
    gdi::HFONT created = gdi::CreateFontIndirectW(&lf);
    gdi::SelectObject(m_dc, created);
    if (m_font != nullptr) {
        gdi::DeleteObject(m_font);
    }
    m_font = created;
}

void Surface::Release() {
    if (m_dc == nullptr) {
        return;
    }
    if (gdi::Bitmap* image = Image()) {
        image->SetObserver(nullptr);
    }
    gdi::SelectObject(m_dc, m_initialBitmap);
    gdi::DeleteDC(m_dc);
    gdi::DeleteObject(m_bitmap);
    if (m_font != nullptr) {
        gdi::DeleteObject(m_font);
    }
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_initialBitmap = nullptr;
    m_font = nullptr;
    m_changed = nullptr;
}

gdi::Bitmap* Surface::Image() const {
    return m_dc != nullptr ? gdi::BitmapOf(m_bitmap) : nullptr;
}

}  // namespace platform
