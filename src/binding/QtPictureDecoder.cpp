// SPDX-License-Identifier: MIT
#include "binding/QtPictureDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstring>
#include <span>

namespace binding {
namespace {

void PutWord(QByteArray& bytes, std::size_t at, int value) {
    bytes[static_cast<qsizetype>(at)] = static_cast<char>(value & 0xFF);
    bytes[static_cast<qsizetype>(at + 1)] = static_cast<char>((value >> 8) & 0xFF);
}

// Qt lays a GIF's first image out on the logical screen. The picture we want is the image's
// own rectangle, so the screen is made the image's size and the image moved to its corner.
bool MakeImageTheScreen(QByteArray& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const auto where = platform::FindFirstGifImage(
        std::span<const std::uint8_t>(data, static_cast<std::size_t>(bytes.size())));
    if (!where || where->width <= 0 || where->height <= 0) {
        return false;
    }
    PutWord(bytes, 6, where->width);
    PutWord(bytes, 8, where->height);
    PutWord(bytes, where->descriptorOffset + 1, 0);
    PutWord(bytes, where->descriptorOffset + 3, 0);
    return true;
}

}  // namespace

std::optional<platform::gdi::Bitmap> QtPictureDecoder::Decode(const std::filesystem::path& path) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    file.close();

    QByteArray format;
    {
        QBuffer probe(&bytes);
        probe.open(QIODevice::ReadOnly);
        format = QImageReader::imageFormat(&probe);
    }
    if (format == "gif") {
        if (!MakeImageTheScreen(bytes)) {
            return std::nullopt;
        }
    } else if (format != "bmp" && format != "png") {
        return std::nullopt;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QImage image = reader.read();
    if (image.isNull()) {
        return std::nullopt;
    }
    // Straight (not premultiplied) alpha: a transparent pixel keeps its colour.
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    platform::gdi::Bitmap out(argb.width(), argb.height(), 32);
    for (int y = 0; y < argb.height(); ++y) {
        std::memcpy(out.Row(y), argb.constScanLine(y),
                    static_cast<std::size_t>(argb.width()) * sizeof(platform::gdi::Pixel));
    }
    return out;
}

}  // namespace binding
