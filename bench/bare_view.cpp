// SPDX-License-Identifier: MIT
// The peer of the desktop cost benchmark: a bare QWebEngineView window of the main window's
// size on the same page, with nothing of ours around it.
//   bare_view URL            shows the page until ended
//   bare_view URL --soak N   reloads the page N times as fast as it loads, then ends
#include <unistd.h>

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "soak.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s URL [--soak N]\n", argv[0]);
        return 2;
    }
    const int reloads = argc >= 4 && std::strcmp(argv[2], "--soak") == 0 ? std::atoi(argv[3]) : 0;
    // As the program does: Chromium refuses its sandbox to root, and only to root.
    if (::geteuid() == 0) {
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWebEngineView view;
    view.setWindowTitle(QStringLiteral("bare_view"));
    view.resize(743, 545);
    if (reloads > 0) {
        bench::Soak(view, reloads, [&view] { view.reload(); });
    }
    view.setUrl(QUrl(QString::fromLocal8Bit(argv[1])));
    view.show();
    return QApplication::exec();
}
