// SPDX-License-Identifier: MIT
// The program's own browser component (its view on its profile, as the main window has it)
// reloading a page as fast as it loads: what many days of scheduled reloads leave behind.
//   browser_soak URL N
#include <unistd.h>

#include <QApplication>
#include <QWebEngineProfile>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "binding/Browser.h"
#include "binding/QtApp.h"
#include "binding/QtRuntime.h"
#include "forms/WebBrowser.h"
#include "platform/Services.h"
#include "soak.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s URL N\n", argv[0]);
        return 2;
    }
    const int reloads = std::atoi(argv[2]);
    if (::geteuid() == 0) {  // as the program does
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    binding::ChoosePageComposition();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("loomhaven"));
    QApplication::setOrganizationName(QStringLiteral("loomhaven"));
    binding::QtClock clock;
    const platform::ServicesScope services(platform::Services{.clock = &clock});
    QWebEngineProfile* profile = binding::CreateBrowserProfile(&app);
    core::WebBrowser model("Web1");
    model.Move(0, 0, 743 * 15, 545 * 15);
    binding::BrowserWidget view(model, *profile, nullptr);
    view.setWindowTitle(QStringLiteral("browser_soak"));
    bench::Soak(view, reloads, [&model] { model.Refresh(); });
    const std::string url = argv[1];
    model.Navigate(std::u16string(url.begin(), url.end()));
    view.show();
    return QApplication::exec();
}
