// SPDX-License-Identifier: MIT
// The runtime services made real with Qt: timers on the event loop, the message loop, the end
// of the program, message boxes and the screen.
#pragma once

#include <QObject>
#include <QTimer>

#include <map>

#include "platform/Runtime.h"

namespace binding {

class QtClock final : public QObject, public platform::IClock {
  public:
    platform::TimerId StartTimer(std::uint32_t intervalMs, std::function<void()> tick) override;
    void StopTimer(platform::TimerId id) override;
    platform::LocalTime Now() const override;

  private:
    struct Entry {
        QTimer* timer;
        bool running = false;  // a tick is being handled: the timer does not tick into itself
    };
    std::map<platform::TimerId, Entry> m_timers;
    platform::TimerId m_next = 0;
};

class QtProcess final : public platform::IProcess {
  public:
    void DoEvents() override;
    [[noreturn]] void End(int status) override;
    bool HasEnded() const override { return m_ended; }

  private:
    bool m_ended = false;
};

class QtMessageBoxes final : public platform::IMessageBox {
  public:
    void Show(const std::u16string& text, const std::u16string& title,
              platform::MsgBoxStyle style) override;
};

class QtScreen final : public platform::IScreen {
  public:
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;
    int Width() const override;
    int Height() const override;
};

}  // namespace binding
