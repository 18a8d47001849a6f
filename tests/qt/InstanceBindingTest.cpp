// SPDX-License-Identifier: MIT
// The instance rule's socket for real: a later start reaches the first one, and what lies at
// the socket's path from before never gets in the way.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>

#include <atomic>
#include <future>
#include <thread>

#include "TempDir.h"
#include "binding/QtInstance.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFile;

// Runs `call` on a thread of its own while this thread keeps the event loop going, as the
// first instance's would.
template <typename F>
auto WhileServing(F call) {
    auto result = std::async(std::launch::async, call);
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    return result.get();
}

TEST(InstanceBinding, ALaterStartReachesTheFirst) {
    TempDir dir;
    binding::QtInstancePeer first(dir.path());
    int called = 0;
    first.onCalled = [&] { ++called; };
    ASSERT_EQ(first.TakeLock(), platform::LockState::Taken);
    ASSERT_TRUE(first.Listen());

    const bool answered = WhileServing([&] {
        binding::QtInstancePeer second(dir.path());
        return second.TakeLock() == platform::LockState::Held && second.CallFirst();
    });
    EXPECT_TRUE(answered);
    EXPECT_EQ(called, 1);
}

TEST(InstanceBinding, WhateverStoodAtTheSocketPathGoes) {
    for (const bool directory : {false, true}) {
        TempDir dir;
        if (directory) {
            std::filesystem::create_directory(dir / "loomhaven.socket");
        } else {
            WriteFile(dir / "loomhaven.socket", "not a socket");
        }
        binding::QtInstancePeer first(dir.path());
        int called = 0;
        first.onCalled = [&] { ++called; };
        ASSERT_EQ(first.TakeLock(), platform::LockState::Taken);
        ASSERT_TRUE(first.Listen()) << directory;
        EXPECT_TRUE(WhileServing([&] { return binding::QtInstancePeer(dir.path()).CallFirst(); }));
        EXPECT_EQ(called, 1) << directory;
    }
}

TEST(InstanceBinding, NobodyAnsweringIsToldQuickly) {
    TempDir dir;
    WriteFile(dir / "loomhaven.socket", "not a socket");
    binding::QtInstancePeer second(dir.path());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(second.CallFirst());
    std::filesystem::remove(dir / "loomhaven.socket");
    EXPECT_FALSE(second.CallFirst());
    EXPECT_LT(clock.elapsed(), 2000);
}

TEST(InstanceBinding, OnlyTheProgramsOwnCallBringsItToTheFront) {
    TempDir dir;
    binding::QtInstancePeer first(dir.path());
    int called = 0;
    first.onCalled = [&] { ++called; };
    ASSERT_EQ(first.TakeLock(), platform::LockState::Taken);
    ASSERT_TRUE(first.Listen());
    const QString path = QString::fromStdString((dir / "loomhaven.socket").string());
    const QByteArray reply = WhileServing([&] {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (!socket.waitForConnected(1000)) {
            return QByteArray("no connection");
        }
        socket.write("hello there\n");
        socket.waitForBytesWritten(1000);
        socket.waitForReadyRead(500);
        return socket.readAll();
    });
    EXPECT_EQ(reply, QByteArray());
    EXPECT_EQ(called, 0);
}

}  // namespace
