// SPDX-License-Identifier: MIT
#include "binding/QtRuntime.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QScreen>

#include "binding/Convert.h"

namespace binding {

platform::TimerId QtClock::StartTimer(std::uint32_t intervalMs, std::function<void()> tick) {
    const platform::TimerId id = ++m_next;
    auto* timer = new QTimer(this);
    timer->setTimerType(intervalMs < 100 ? Qt::PreciseTimer : Qt::CoarseTimer);
    timer->setInterval(static_cast<int>(std::max<std::uint32_t>(intervalMs, 1)));
    m_timers[id] = Entry{timer};
    connect(timer, &QTimer::timeout, this, [this, id, tick = std::move(tick)] {
        auto it = m_timers.find(id);
        if (it == m_timers.end() || it->second.running) {
            return;
        }
        it->second.running = true;
        tick();
        // The handler may have stopped this timer (and so erased it).
        it = m_timers.find(id);
        if (it != m_timers.end()) {
            it->second.running = false;
        }
    });
    timer->start();
    return id;
}

void QtClock::StopTimer(platform::TimerId id) {
    const auto it = m_timers.find(id);
    if (it == m_timers.end()) {
        return;
    }
    it->second.timer->stop();
    it->second.timer->deleteLater();  // it may be the timer whose tick is running now
    m_timers.erase(it);
}

platform::LocalTime QtClock::Now() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

void QtProcess::DoEvents() {
    QCoreApplication::processEvents();
}

void QtProcess::End(int status) {
    m_ended = true;
    // Every window goes at once; the event loop then returns and the program shuts down in
    // order, so the browser's profile is written out.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        w->hide();
    }
    QCoreApplication::exit(status);
    throw platform::EndRequested{status};
}

void QtMessageBoxes::Show(const std::u16string& text, const std::u16string& title,
                          platform::MsgBoxStyle style) {
    QMessageBox box(
        style == platform::MsgBoxStyle::OkCritical ? QMessageBox::Critical : QMessageBox::NoIcon,
        ToQString(title), ToQString(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
    if (platform::Process().HasEnded()) {
        throw platform::EndRequested{0};
    }
}

float QtScreen::TwipsPerPixelX() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s != nullptr ? static_cast<float>(1440.0 / s->logicalDotsPerInchX()) : 15.0f;
}

float QtScreen::TwipsPerPixelY() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s != nullptr ? static_cast<float>(1440.0 / s->logicalDotsPerInchY()) : 15.0f;
}

int QtScreen::Width() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s != nullptr ? s->geometry().width() : 1024;
}

int QtScreen::Height() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s != nullptr ? s->geometry().height() : 768;
}

}  // namespace binding
