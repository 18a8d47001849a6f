// SPDX-License-Identifier: MIT
// Conversions between the model's values and Qt's.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <string>

#include "platform/Control.h"
#include "platform/gdi/Gdi.h"

namespace binding {

inline QString ToQString(const std::u16string& s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::u16string ToU16(const QString& s) {
    return s.toStdU16String();
}

inline QColor ToQColor(platform::gdi::COLORREF c) {
    return QColor(platform::gdi::GetRValue(c), platform::gdi::GetGValue(c),
                  platform::gdi::GetBValue(c));
}

// A view of a bitmap's pixels (no copy): valid while the bitmap lives and keeps its size.
inline QImage ImageOf(const platform::gdi::Bitmap& b) {
    return QImage(reinterpret_cast<const uchar*>(b.Pixels().data()), b.Width(), b.Height(),
                  b.Width() * 4, QImage::Format_RGB32);
}

// The font the layout asks for; the faces of the target systems are mapped to installed ones
// by the substitutions RegisterFontSubstitutions sets up.
QFont ToQFont(const platform::Font& f);
void RegisterFontSubstitutions();

// Twips to pixels, halves to even.
inline int Px(platform::Twips t) {
    return platform::TwipsToPixels(t);
}

// A pixel position (a pointer's, a window's) in the model's twips, fractions kept.
inline float ToTwips(qreal px) {
    return static_cast<float>(px * platform::kTwipsPerPixel);
}

// A colour as style sheets write it.
inline QString ToCssRgb(platform::gdi::COLORREF c) {
    return QStringLiteral("rgb(%1,%2,%3)")
        .arg(platform::gdi::GetRValue(c))
        .arg(platform::gdi::GetGValue(c))
        .arg(platform::gdi::GetBValue(c));
}

}  // namespace binding
