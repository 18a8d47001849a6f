// SPDX-License-Identifier: MIT
// One icon in the notification area, driven by the classic 488-byte notify-icon record. The
// record is kept between calls: each method changes only its fields and passes the whole
// record to the shell.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Shell.h"

namespace core {

class VelNotifyIcon {
  public:
    static constexpr std::uint32_t kIconId = 1000;
    static constexpr std::uint32_t kFlags =
        platform::NIF_MESSAGE | platform::NIF_ICON | platform::NIF_TIP | platform::NIF_INFO;

    VelNotifyIcon() = default;
    ~VelNotifyIcon();
    VelNotifyIcon(const VelNotifyIcon&) = delete;
    VelNotifyIcon& operator=(const VelNotifyIcon&) = delete;

    void AddNotifyIcon(std::int32_t hwnd, std::int32_t hIcon, std::u16string_view strTip);
    void ModifyNotifyIcon(std::int32_t hwnd, std::int32_t hIcon, std::u16string_view strTip);
    void ShowBubble(std::u16string_view strTitle, std::u16string_view strInfo,
                    std::int32_t eInfoFlags);
    void HideBubble();
    void DeleteNotifyIcon();

    // The record as it was last handed to the shell.
    const platform::NotifyIconRecord& Record() const { return m_record; }

  private:
    void SetIconFields(std::int32_t hwnd, std::int32_t hIcon, std::u16string_view strTip);
    void PutInt(std::size_t offset, std::uint32_t value);
    void PutText(std::size_t offset, std::size_t size, std::u16string_view text);

    platform::NotifyIconRecord m_record{};
};

}  // namespace core
