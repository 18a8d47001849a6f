// SPDX-License-Identifier: MIT
// The shell with Qt: icons in the notification area from notify-icon records, and opening
// addresses in the user's default browser.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>

#include <map>
#include <utility>

#include "platform/Shell.h"

namespace binding {

class QtShell final : public QObject, public platform::IShell {
  public:
    ~QtShell() override;
    bool NotifyIcon(std::uint32_t message, const platform::NotifyIconRecord& record) override;
    bool TrayAvailable() const override;
    std::intptr_t Execute(platform::gdi::HWND owner, const std::string& operation,
                          const std::string& file, int showCommand) override;

    // The icon shown for a window's icon id, or null (for tests).
    QSystemTrayIcon* TrayIcon(std::uint32_t hWnd, std::uint32_t uID) const;

  private:
    struct Icon {
        QSystemTrayIcon* tray = nullptr;
        std::uint32_t callbackMessage = 0;
    };
    void Apply(Icon& icon, const platform::NotifyIconRecord& record);
    void Activated(std::uint32_t hWnd, std::uint32_t uID, QSystemTrayIcon::ActivationReason reason);
    void Deliver(std::uint32_t hWnd, std::uint32_t uID,
                 std::initializer_list<std::uint32_t> messages);

    std::map<std::pair<std::uint32_t, std::uint32_t>, Icon> m_icons;
};

}  // namespace binding
