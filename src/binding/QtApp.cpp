// SPDX-License-Identifier: MIT
#include "binding/QtApp.h"

#include <unistd.h>

#include <QApplication>
#include <QLoggingCategory>
#include <QQuickWindow>
#include <QSGRendererInterface>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "app/Program.h"
#include "binding/Convert.h"
#include "binding/QtInstance.h"
#include "binding/QtPictureDecoder.h"
#include "binding/QtRuntime.h"
#include "binding/QtShell.h"
#include "binding/QtText.h"
#include "binding/QtWindowSystem.h"
#include "platform/Instance.h"
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

    // One instance per user: a later start calls the running one to the front and leaves
    // before it touches the settings or the browser's profile.
    std::optional<QtInstancePeer> instance;
    if (const auto dir = platform::InstanceDirectory(std::getenv("XDG_RUNTIME_DIR"),
                                                     std::filesystem::temp_directory_path())) {
        instance.emplace(*dir);
        const platform::InstanceDecision decision = platform::DecideInstance(*instance);
        if (decision.role == platform::InstanceRole::Second) {
            return 0;
        }
    } else {
        platform::Warn("no private runtime directory; running without the one-instance check");
    }

    QtClock clock;
    QtProcess process;
    QtMessageBoxes messages;
    QtScreen screen;
    QtShell shell;
    QtPictureDecoder pictures;
    QtTextRasteriser text;
    int status = 0;
    {
        core::Program* running = nullptr;
        // Declared before the windows: a signal during the teardown that follows the exit
        // does not cut it short.
        QtEndingSignals endingSignals([&] {
            if (running != nullptr) {
                platform::RunHandler([&] { running->Exit(); });
            }
        });
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
        running = &program;
        if (instance) {
            instance->onCalled = [&] { platform::RunHandler([&] { program.ComeToFront(); }); };
        }
        core::SweepLeftovers();
        platform::RunHandler([&] { program.Start(); });
        if (!process.HasEnded()) {
            status = QApplication::exec();
        } else {
            status = 1;
        }
        running = nullptr;
    }
    if (instance) {
        instance->onCalled = nullptr;
    }
    return status;
}

}  // namespace binding
