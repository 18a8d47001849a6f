// SPDX-License-Identifier: MIT
// The one-instance rule made real: the lock file, a local socket beside it, and the ending
// signals of the session (logout, shutdown, Ctrl+C) turned into the program's own exit.
#pragma once

#include <QObject>

#include <filesystem>
#include <functional>

#include "platform/Instance.h"

class QLocalServer;
class QSocketNotifier;

namespace binding {

class QtInstancePeer final : public QObject, public platform::IInstancePeer {
  public:
    explicit QtInstancePeer(const std::filesystem::path& dir);
    ~QtInstancePeer() override;

    platform::LockState TakeLock() override;
    bool CallFirst() override;
    bool Listen() override;
    void Pause() override;

    // Runs on the event loop when a later start asks for this instance.
    std::function<void()> onCalled;

  private:
    void Answer();

    platform::LockFile m_lock;
    QString m_socketPath;
    QLocalServer* m_server = nullptr;
};

// SIGTERM, SIGINT and SIGHUP reach `onSignal` on the event loop (the handler itself only
// writes a byte to a pipe); while the object lives.
class QtEndingSignals final : public QObject {
  public:
    explicit QtEndingSignals(std::function<void()> onSignal);
    ~QtEndingSignals() override;
    QtEndingSignals(const QtEndingSignals&) = delete;
    QtEndingSignals& operator=(const QtEndingSignals&) = delete;

  private:
    std::function<void()> m_onSignal;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace binding
