// SPDX-License-Identifier: MIT
#include "qt/QtApp.h"

#include <QApplication>
#include <QWidget>

namespace binding {

int RunApplication(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Quillmere"));
    window.resize(743, 545);
    window.show();
    return app.exec();
}

}  // namespace binding
