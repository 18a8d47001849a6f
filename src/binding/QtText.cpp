// SPDX-License-Identifier: MIT
#include "binding/QtText.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cmath>

#include "binding/Convert.h"

namespace binding {

namespace {

QFont FontFor(const platform::TextStyle& style) {
    QFont font;
    if (!style.face.empty()) {
        font.setFamily(ToQString(style.face));
    }
    // Points at 96 dpi, whatever the bitmap's own resolution.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(style.pointSize * 96.0 / 72.0))));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    // Crisp pixels, as the classic raster text has them: an outline one pixel wide stays one
    // pixel wide.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

}  // namespace

void QtTextRasteriser::Draw(platform::gdi::Bitmap& target, int x, int y, std::u16string_view text,
                            const platform::TextStyle& style) {
    if (target.Width() == 0 || target.Height() == 0 || text.empty()) {
        return;
    }
    // The bitmap's own pixels, painted in place.
    QImage image(reinterpret_cast<uchar*>(target.Pixels().data()), target.Width(), target.Height(),
                 target.Width() * 4, QImage::Format_RGB32);
    const QString string = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    const QFont font = FontFor(style);
    const QFontMetrics metrics(font);
    QPainter painter(&image);
    painter.setFont(font);
    if (style.opaque) {
        painter.fillRect(QRect(x, y, metrics.horizontalAdvance(string), metrics.height()),
                         ToQColor(style.background));
    }
    painter.setPen(ToQColor(style.colour));
    // (x, y) is the top-left corner of the text's cell; QPainter places the baseline.
    painter.drawText(QPoint(x, y + metrics.ascent()), string);
}

}  // namespace binding
