// SPDX-License-Identifier: MIT
#include "platform/UserControl.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

gdi::COLORREF Solid(gdi::COLORREF c) {
    return (c & 0x80000000u) != 0 ? gdi::GetSysColor(static_cast<int>(c & 0xFFFFFF)) : c;
}

}  // namespace

std::int64_t PropertyBag::ReadProperty(const std::string& name, std::int64_t defaultValue) const {
    const auto it = m_values.find(Lower(name));
    return it != m_values.end() ? it->second : defaultValue;
}

void PropertyBag::WriteProperty(const std::string& name, std::int64_t value,
                                std::int64_t defaultValue) {
    if (value == defaultValue) {
        m_values.erase(Lower(name));
    } else {
        m_values[Lower(name)] = value;
    }
}

bool PropertyBag::Contains(const std::string& name) const {
    return m_values.count(Lower(name)) != 0;
}

UserControl::UserControl(std::string name, int index)
    : Control(std::move(name), index), m_dc(gdi::CreateCompatibleDC(nullptr)) {}

UserControl::~UserControl() {
    if (m_bitmap != nullptr) {
        gdi::BitmapOf(m_bitmap)->SetObserver(nullptr);
        gdi::SelectObject(m_dc, m_stock);
        gdi::DeleteObject(m_bitmap);
    }
    gdi::DeleteDC(m_dc);
}

void UserControl::SetBackColor(gdi::COLORREF c) {
    m_backColor = c;
    Changed(Property::BackColor);
}

gdi::HDC UserControl::hDC() {
    if (FitSurface()) {
        Clear();
    }
    return m_dc;
}

void UserControl::Refresh() {
    FitSurface();
    Clear();
}

bool UserControl::FitSurface() {
    const int w = std::max(TwipsToPixels(Width()), 1);
    const int h = std::max(TwipsToPixels(Height()), 1);
    const gdi::Bitmap* now = Surface();
    if (m_bitmap != nullptr && now != nullptr && now->Width() == w && now->Height() == h) {
        return false;
    }
    gdi::HBITMAP made = gdi::CreateCompatibleBitmap(nullptr, w, h);
    if (made == nullptr) {
        return false;  // too large: the last surface stays
    }
    if (m_bitmap != nullptr) {
        gdi::BitmapOf(m_bitmap)->SetObserver(nullptr);
        gdi::SelectObject(m_dc, m_stock);
        gdi::DeleteObject(m_bitmap);
    }
    m_bitmap = made;
    m_stock = gdi::SelectObject(m_dc, m_bitmap);
    // Whatever is drawn on the surface, the view shows it.
    gdi::BitmapOf(m_bitmap)->SetObserver([this] { Changed(Property::Surface); });
    return true;
}

void UserControl::Clear() {
    const gdi::Bitmap* now = Surface();
    if (m_bitmap == nullptr || now == nullptr) {
        return;
    }
    const gdi::RECT all{0, 0, now->Width(), now->Height()};
    gdi::HBRUSH brush = gdi::CreateSolidBrush(Solid(m_backColor));
    gdi::FillRect(m_dc, &all, brush);
    gdi::DeleteObject(brush);
    Changed(Property::Surface);
}

void UserControl::SetCapture() {
    if (!m_capture) {
        m_capture = true;
        Changed(Property::Other);
    }
}

void UserControl::ReleaseCapture() {
    if (m_capture) {
        m_capture = false;
        Changed(Property::Other);
    }
}

void UserControl::CaptureLostFromView() {
    m_capture = false;
}

void UserControl::ReadProperties(const PropertyBag& bag) {
    RunHandler([&] { UserControl_ReadProperties(bag); });
}

void UserControl::WriteProperties(PropertyBag& bag) const {
    RunHandler([&] { UserControl_WriteProperties(bag); });
}

void UserControl::MouseMoveFromView(std::int16_t button, std::int16_t shift, float x, float y) {
    RunHandler([&] { UserControl_MouseMove(button, shift, x, y); });
}

void UserControl::MouseDownFromView(std::int16_t button, std::int16_t shift, float x, float y) {
    RunHandler([&] { UserControl_MouseDown(button, shift, x, y); });
}

void UserControl::MouseUpFromView(std::int16_t button, std::int16_t shift, float x, float y) {
    RunHandler([&] { UserControl_MouseUp(button, shift, x, y); });
}

void UserControl::ClickFromView() {
    RunHandler([&] { UserControl_Click(); });
}

}  // namespace platform
