// SPDX-License-Identifier: MIT
#include "settings/VelNotifyIcon.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Text.h"

namespace core {

namespace nid = platform::nid;

VelNotifyIcon::~VelNotifyIcon() {
    DeleteNotifyIcon();
}

void VelNotifyIcon::PutInt(std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        m_record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// A text field holds the text, a NUL, and blanks up to its size. Text that does not fit is cut
// (never inside a character) so that its NUL still fits.
void VelNotifyIcon::PutText(std::size_t offset, std::size_t size, std::u16string_view text) {
    text = text.substr(0, text.find(u'\0'));
    std::string bytes = platform::ToUtf8Lossy(text);
    if (bytes.size() > size - 1) {
        std::size_t cut = size - 1;
        while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) {
            --cut;  // back to the first byte of the character that does not fit
        }
        bytes.resize(cut);
    }
    std::fill_n(m_record.begin() + static_cast<std::ptrdiff_t>(offset), size, ' ');
    std::memcpy(m_record.data() + offset, bytes.data(), bytes.size());
    m_record[offset + bytes.size()] = 0;
}

void VelNotifyIcon::SetIconFields(std::int32_t hwnd, std::int32_t hIcon,
                                  std::u16string_view strTip) {
    PutInt(nid::cbSize, platform::kNotifyIconDataSize);
    PutInt(nid::hIcon, static_cast<std::uint32_t>(hIcon));
    PutInt(nid::hWnd, static_cast<std::uint32_t>(hwnd));
    PutInt(nid::uID, kIconId);
    PutInt(nid::uCallbackMessage, platform::WM_MOUSEMOVE);
    PutInt(nid::uFlags, kFlags);
    PutText(nid::szTip, nid::kTipSize, strTip);
}

void VelNotifyIcon::AddNotifyIcon(std::int32_t hwnd, std::int32_t hIcon,
                                  std::u16string_view strTip) {
    SetIconFields(hwnd, hIcon, strTip);
    platform::Shell_NotifyIconA(platform::NIM_ADD, m_record);
}

void VelNotifyIcon::ModifyNotifyIcon(std::int32_t hwnd, std::int32_t hIcon,
                                     std::u16string_view strTip) {
    SetIconFields(hwnd, hIcon, strTip);
    platform::Shell_NotifyIconA(platform::NIM_MODIFY, m_record);
}

void VelNotifyIcon::ShowBubble(std::u16string_view strTitle, std::u16string_view strInfo,
                               std::int32_t eInfoFlags) {
    PutText(nid::szInfoTitle, nid::kInfoTitleSize, strTitle);
    PutText(nid::szInfo, nid::kInfoSize, strInfo);
    PutInt(nid::dwInfoFlags, static_cast<std::uint32_t>(eInfoFlags));
    platform::Shell_NotifyIconA(platform::NIM_MODIFY, m_record);
}

void VelNotifyIcon::HideBubble() {
    PutText(nid::szInfoTitle, nid::kInfoTitleSize, u"");
    PutText(nid::szInfo, nid::kInfoSize, u"");
    platform::Shell_NotifyIconA(platform::NIM_MODIFY, m_record);
}

void VelNotifyIcon::DeleteNotifyIcon() {
    platform::Shell_NotifyIconA(platform::NIM_DELETE, m_record);
}

}  // namespace core
