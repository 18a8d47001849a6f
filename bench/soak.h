// SPDX-License-Identifier: MIT
// Drives reloads of a view as fast as the page loads, and tells the benchmark on stdout when
// to take its measures: "baseline" after the first load, "half" after half the reloads (what
// the second half adds tells a warm-up from a leak), "done" after the last. Each report
// is followed by a pause, so the measure sees the processes at rest.
#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <QWebEngineView>

#include <cstdio>
#include <functional>
#include <memory>

namespace bench {

inline void Soak(QWebEngineView& view, int reloads, std::function<void()> reload) {
    constexpr int kPauseMs = 3000;
    auto loads = std::make_shared<int>(0);
    QObject::connect(&view, &QWebEngineView::loadFinished, &view, [loads, reloads, reload](bool) {
        const int done = (*loads)++;
        if (done == 0) {
            std::printf("baseline\n");
            std::fflush(stdout);
            QTimer::singleShot(kPauseMs, reload);
        } else if (done == reloads / 2) {
            std::printf("half\n");
            std::fflush(stdout);
            QTimer::singleShot(kPauseMs, reload);
        } else if (done == reloads) {
            std::printf("done\n");
            std::fflush(stdout);
            QTimer::singleShot(kPauseMs, [] { QCoreApplication::quit(); });
        } else {
            // From the event loop: a reload inside the finished signal is not a new load.
            QTimer::singleShot(0, reload);
        }
    });
}

}  // namespace bench
