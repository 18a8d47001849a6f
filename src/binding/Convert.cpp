// SPDX-License-Identifier: MIT
#include "binding/Convert.h"

#include <QFontDatabase>

namespace binding {

void RegisterFontSubstitutions() {
    // The faces the layouts name are those of the target systems; these are the installed
    // Debian fonts that stand in for them.
    const QStringList song = {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                              QStringLiteral("Noto Serif CJK SC")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("新宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
    QFont::insertSubstitutions(
        QStringLiteral("Comic Sans MS"),
        {QStringLiteral("Comic Neue"), QStringLiteral("Comic Neue Angular")});
}

QFont ToQFont(const platform::Font& f) {
    QFont font(ToQString(f.name));
    font.setPointSizeF(f.size);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    return font;
}

}  // namespace binding
