// SPDX-License-Identifier: MIT
#include "binding/QtInstance.h"

#include <fcntl.h>
#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <csignal>

#include "platform/Runtime.h"

namespace binding {
namespace {

constexpr char kCall[] = "front\n";
constexpr char kAnswer[] = "ok\n";
constexpr int kWaitMs = 1500;

int g_signalPipe[2] = {-1, -1};

void OnEndingSignal(int signal) {
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

QtInstancePeer::QtInstancePeer(const std::filesystem::path& dir)
    : m_lock(dir / "loomhaven.lock"),
      m_socketPath(QString::fromStdString((dir / "loomhaven.socket").string())) {}

QtInstancePeer::~QtInstancePeer() {
    if (m_server != nullptr) {
        m_server->close();  // the socket file goes with it; the lock goes when m_lock does
    }
}

platform::LockState QtInstancePeer::TakeLock() {
    return m_lock.Take();
}

bool QtInstancePeer::CallFirst() {
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(kWaitMs)) {
        return false;  // not a socket, nobody listening, or not yet
    }
    socket.write(kCall, sizeof kCall - 1);
    if (!socket.waitForBytesWritten(kWaitMs)) {
        return false;
    }
    QByteArray reply;
    while (!reply.contains('\n') && socket.waitForReadyRead(kWaitMs)) {
        reply += socket.readAll();
    }
    return reply == kAnswer;
}

bool QtInstancePeer::Listen() {
    // We hold the lock: whatever stands at the socket's path is a leftover (a dead instance's
    // socket, a file), never a live instance's.
    std::error_code ec;
    std::filesystem::remove(m_socketPath.toStdString(), ec);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) {
        platform::Warn("cannot listen on %s: %s; a second start will not find this one",
                       qPrintable(m_socketPath), qPrintable(m_server->errorString()));
        delete m_server;
        m_server = nullptr;
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] { Answer(); });
    return true;
}

void QtInstancePeer::Pause() {
    QThread::msleep(200);
}

void QtInstancePeer::Answer() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 64) {
                    socket->abort();  // not one of ours
                }
                return;
            }
            const QByteArray line = socket->readLine();
            if (line != kCall) {
                socket->abort();
                return;
            }
            socket->write(kAnswer, sizeof kAnswer - 1);
            socket->flush();
            if (onCalled) {
                onCalled();
            }
        });
    }
}

QtEndingSignals::QtEndingSignals(std::function<void()> onSignal) : m_onSignal(std::move(onSignal)) {
    if (g_signalPipe[0] < 0 && ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        platform::Warn("cannot watch for the session's end signals");
        return;
    }
    m_notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        if (m_onSignal) {
            m_onSignal();
        }
    });
    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kEndingSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

QtEndingSignals::~QtEndingSignals() {
    // From here on a signal ends the program the plain way again: what is left is teardown.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signal : kEndingSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace binding
