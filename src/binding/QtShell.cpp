// SPDX-License-Identifier: MIT
#include "binding/QtShell.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QIcon>
#include <QImageReader>
#include <QUrl>

#include <algorithm>

#include "platform/Control.h"
#include "platform/Form.h"
#include "platform/Runtime.h"

namespace binding {
namespace nid = platform::nid;

namespace {

std::uint32_t IntAt(const platform::NotifyIconRecord& r, std::size_t at) {
    return static_cast<std::uint32_t>(r[at]) | (static_cast<std::uint32_t>(r[at + 1]) << 8) |
           (static_cast<std::uint32_t>(r[at + 2]) << 16) |
           (static_cast<std::uint32_t>(r[at + 3]) << 24);
}

// A text field of the record: its bytes up to the NUL (or the whole field), as UTF-8.
QString TextAt(const platform::NotifyIconRecord& r, std::size_t at, std::size_t size) {
    std::size_t n = 0;
    while (n < size && r[at + n] != 0) {
        ++n;
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(r.data() + at),
                             static_cast<qsizetype>(n));
}

// Every image of an icon file, so that the tray picks the size it shows.
QIcon IconFromFile(std::span<const std::uint8_t> ico) {
    QIcon icon;
    QByteArray bytes(reinterpret_cast<const char*>(ico.data()), static_cast<qsizetype>(ico.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ICO");
    do {
        const QImage image = reader.read();
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(image));
        }
    } while (reader.jumpToNextImage());
    return icon;
}

}  // namespace

QtShell::~QtShell() {
    for (auto& [key, icon] : m_icons) {
        delete icon.tray;
    }
}

bool QtShell::TrayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QSystemTrayIcon* QtShell::TrayIcon(std::uint32_t hWnd, std::uint32_t uID) const {
    const auto it = m_icons.find({hWnd, uID});
    return it != m_icons.end() ? it->second.tray : nullptr;
}

void QtShell::Apply(Icon& icon, const platform::NotifyIconRecord& record) {
    const std::uint32_t flags = IntAt(record, nid::uFlags);
    if (flags & platform::NIF_MESSAGE) {
        icon.callbackMessage = IntAt(record, nid::uCallbackMessage);
    }
    if (flags & platform::NIF_ICON) {
        icon.tray->setIcon(
            IconFromFile(platform::IconFile(static_cast<std::int32_t>(IntAt(record, nid::hIcon)))));
    }
    if (flags & platform::NIF_TIP) {
        icon.tray->setToolTip(TextAt(record, nid::szTip, nid::kTipSize));
    }
    if (flags & platform::NIF_INFO) {
        const QString info = TextAt(record, nid::szInfo, nid::kInfoSize);
        if (!info.isEmpty()) {
            const std::uint32_t kind = IntAt(record, nid::dwInfoFlags) & 0x0F;
            const QSystemTrayIcon::MessageIcon shown = kind == 1   ? QSystemTrayIcon::Information
                                                       : kind == 2 ? QSystemTrayIcon::Warning
                                                       : kind == 3 ? QSystemTrayIcon::Critical
                                                                   : QSystemTrayIcon::NoIcon;
            icon.tray->showMessage(TextAt(record, nid::szInfoTitle, nid::kInfoTitleSize), info,
                                   shown);
        }
    }
}

bool QtShell::NotifyIcon(std::uint32_t message, const platform::NotifyIconRecord& record) {
    if (IntAt(record, nid::cbSize) != platform::kNotifyIconDataSize) {
        return false;
    }
    const std::uint32_t hWnd = IntAt(record, nid::hWnd);
    const std::uint32_t uID = IntAt(record, nid::uID);
    const auto key = std::make_pair(hWnd, uID);
    auto it = m_icons.find(key);
    switch (message) {
        case platform::NIM_ADD: {
            if (it != m_icons.end()) {
                return false;
            }
            Icon icon{new QSystemTrayIcon(this), 0};
            connect(icon.tray, &QSystemTrayIcon::activated, this,
                    [this, hWnd, uID](QSystemTrayIcon::ActivationReason reason) {
                        // Posted, as the shell posts its callback messages: the handlers
                        // (which may take the icon away) run after the icon's own event.
                        QMetaObject::invokeMethod(
                            this, [this, hWnd, uID, reason] { Activated(hWnd, uID, reason); },
                            Qt::QueuedConnection);
                    });
            it = m_icons.emplace(key, icon).first;
            Apply(it->second, record);
            it->second.tray->show();
            return true;
        }
        case platform::NIM_MODIFY:
            if (it == m_icons.end()) {
                return false;
            }
            Apply(it->second, record);
            return true;
        case platform::NIM_DELETE:
            if (it == m_icons.end()) {
                return false;
            }
            it->second.tray->hide();
            it->second.tray->deleteLater();
            m_icons.erase(it);
            return true;
        default:
            return false;
    }
}

void QtShell::Activated(std::uint32_t hWnd, std::uint32_t uID,
                        QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            Deliver(hWnd, uID, {platform::WM_LBUTTONDOWN, platform::WM_LBUTTONUP});
            break;
        case QSystemTrayIcon::Context:
            Deliver(hWnd, uID, {platform::WM_RBUTTONDOWN, platform::WM_RBUTTONUP});
            break;
        case QSystemTrayIcon::DoubleClick:
            Deliver(hWnd, uID, {platform::WM_LBUTTONDBLCLK});
            break;
        case QSystemTrayIcon::MiddleClick:
            Deliver(hWnd, uID, {platform::WM_MBUTTONDOWN, platform::WM_MBUTTONUP});
            break;
        default:
            break;
    }
}

// The icon's mouse messages reach the owning window as the callback message; with the
// mouse-move message the window sees a pointer movement whose horizontal coordinate, in
// twips, carries the icon's mouse message. The window reads it back as the coordinate over the
// screen's vertical twips per pixel, both rounded, in whole numbers; so the coordinate is built
// from that same rounded factor, or at a logical dpi other than 96 (1440 / 110 = 13.09...) the
// message read back would be another one.
void QtShell::Deliver(std::uint32_t hWnd, std::uint32_t uID,
                      std::initializer_list<std::uint32_t> messages) {
    for (const std::uint32_t message : messages) {
        const auto it = m_icons.find({hWnd, uID});
        if (it == m_icons.end() || it->second.callbackMessage != platform::WM_MOUSEMOVE) {
            return;
        }
        platform::Form* form = platform::Form::FromHandle(hWnd);
        if (form == nullptr || platform::Process().HasEnded()) {
            return;
        }
        // A factor under half a twip (beyond 2880 dpi) reads as 0, and the window then takes
        // no message at all.
        const long long twipsPerPixel =
            std::max(1LL, platform::RoundHalfEven(platform::Screen().TwipsPerPixelY()));
        form->MouseMove.Raise(0, 0, static_cast<float>(message * twipsPerPixel), 0.0f);
    }
}

std::intptr_t QtShell::Execute(platform::gdi::HWND, const std::string& operation,
                               const std::string& file, int) {
    if (operation != "open") {
        return 31;  // SE_ERR_NOASSOC
    }
    const QUrl url = QUrl::fromUserInput(QString::fromUtf8(file.c_str()));
    return url.isValid() && QDesktopServices::openUrl(url) ? 42 : 2;
}

}  // namespace binding
