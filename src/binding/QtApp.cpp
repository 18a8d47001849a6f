// SPDX-License-Identifier: MIT
#include "binding/QtApp.h"

#include <unistd.h>

#include <QApplication>
#include <QLoggingCategory>
#include <QQuickWindow>
#include <QSGRendererInterface>

#include <cstdlib>

#include "app/Program.h"
#include "binding/Convert.h"
#include "binding/QtPictureDecoder.h"
#include "binding/QtRuntime.h"
#include "binding/QtShell.h"
#include "binding/QtText.h"
#include "binding/QtWindowSystem.h"
#include "platform/Services.h"

namespace binding {

void ChoosePageComposition() {
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) {
        // The page is composed in software into the window's own backing store. With the
        // default GL composition every repaint of the window, however small (the clock's label
        // once a second), puts the whole window through the GL compositor, and a GL context
        // is kept in the process for it.
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }
}

int RunApplication(int argc, char** argv) {
    // Chromium refuses to run its sandbox as root; only then is it switched off. Whatever the
    // environment already holds for the browser engine stays as it is.
    if (::geteuid() == 0) {
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    }
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES")) {
        // The engine's start-up report is for its own developers.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.debug=false"));
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ChoosePageComposition();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("loomhaven"));
    QApplication::setOrganizationName(QStringLiteral("loomhaven"));
    QApplication::setQuitOnLastWindowClosed(false);  // the tray icon keeps the program alive
    RegisterFontSubstitutions();

    QtClock clock;
    QtProcess process;
    QtMessageBoxes messages;
    QtScreen screen;
    QtShell shell;
    QtPictureDecoder pictures;
    QtTextRasteriser text;
    int status = 0;
    {
        QtWindowSystem windows;
        platform::ServicesScope services(platform::Services{.clock = &clock,
                                                            .process = &process,
                                                            .messageBox = &messages,
                                                            .screen = &screen,
                                                            .windows = &windows,
                                                            .pictures = &pictures,
                                                            .text = &text,
                                                            .shell = &shell});
        core::Program program;
        platform::RunHandler([&] { program.Start(); });
        if (!process.HasEnded()) {
            status = QApplication::exec();
        } else {
            status = 1;
        }
    }
    return status;
}

}  // namespace binding
