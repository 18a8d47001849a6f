// SPDX-License-Identifier: MIT
// Qt reads every committed picture exactly as our own parsers do: two independent decoders
// agreeing pixel for pixel is what shows the generator's BMP, ICO, PNG and GIF coders right.
#include <gtest/gtest.h>
#include <QtGui/QImage>
#include <QtGui/QImageReader>

#include <filesystem>
#include <string>

#include "AssetParsers.h"

namespace {

namespace ap = asset_parsers;

std::string SourceFile(const std::string& relative) {
    return (std::filesystem::path(LOOMHAVEN_SOURCE_DIR) / relative).string();
}

// Compares a decoded QImage with our own pixels; reports the first difference only.
void ExpectSamePixels(const QImage& image, const ap::Pixels& ours, bool compareAlpha) {
    const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(straight.width(), ours.width);
    ASSERT_EQ(straight.height(), ours.height);
    for (int y = 0; y < ours.height; ++y) {
        for (int x = 0; x < ours.width; ++x) {
            const QRgb q = straight.pixel(x, y);
            const ap::Rgba& p = ours.At(x, y);
            const bool same = qRed(q) == p.r && qGreen(q) == p.g && qBlue(q) == p.b &&
                              (!compareAlpha || qAlpha(q) == p.a);
            if (!same) {
                ADD_FAILURE() << "first difference at " << x << "," << y << ": Qt " << qRed(q)
                              << "," << qGreen(q) << "," << qBlue(q) << "," << qAlpha(q) << " ours "
                              << int{p.r} << "," << int{p.g} << "," << int{p.b} << "," << int{p.a};
                return;
            }
        }
    }
}

struct BannerCase {
    const char* file;
    int frames;
    int delayMs;  // as Qt reports it: a delay of 0 in the file comes back as 100 ms
};

void PrintTo(const BannerCase& c, std::ostream* os) {
    *os << c.file;
}

class BannerDecodeTest : public ::testing::TestWithParam<BannerCase> {};

TEST_P(BannerDecodeTest, QtDecodesEveryFrameAsWeDo) {
    const BannerCase& c = GetParam();
    const ap::Gif ours = ap::ParseGif(ap::ReadBytes(SourceFile(c.file)));
    QImageReader reader(QString::fromStdString(SourceFile(c.file)));
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_EQ(reader.format(), "gif");
    EXPECT_TRUE(reader.supportsAnimation());
    EXPECT_EQ(reader.imageCount(), c.frames);
    EXPECT_EQ(reader.loopCount(), -1) << "Qt's way of saying: for ever";
    ASSERT_EQ(ours.frames.size(), static_cast<std::size_t>(c.frames));
    for (int i = 0; i < c.frames; ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        QImage frame;
        ASSERT_TRUE(reader.read(&frame)) << reader.errorString().toStdString();
        EXPECT_EQ(frame.size(), QSize(ours.width, ours.height));
        EXPECT_EQ(reader.nextImageDelay(), c.delayMs);
        ExpectSamePixels(frame, ap::FramePixels(ours.frames[static_cast<std::size_t>(i)]), true);
    }
    // Nothing more: the trailer ends the animation (103's zero byte after it included).
    QImage extra;
    EXPECT_FALSE(reader.read(&extra));
}

INSTANTIATE_TEST_SUITE_P(Committed, BannerDecodeTest,
                         ::testing::Values(BannerCase{"assets/101.gif", 10, 200},
                                           BannerCase{"assets/102.gif", 2, 100},
                                           BannerCase{"assets/103.gif", 2, 100}),
                         [](const ::testing::TestParamInfo<BannerCase>& paramInfo) {
                             return "Banner" + std::string(paramInfo.param.file).substr(7, 3);
                         });

TEST(PictureDecode, BitmapsAndPngsAsWeReadThem) {
    for (const char* file : {"assets/FrmMain.bmp", "assets/FrmOption.bmp"}) {
        SCOPED_TRACE(file);
        QImageReader reader(QString::fromStdString(SourceFile(file)));
        EXPECT_EQ(reader.format(), "bmp");
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_FALSE(image.hasAlphaChannel());
        ExpectSamePixels(image, ap::ParseBmp(ap::ReadBytes(SourceFile(file))).pixels, false);
    }
    for (const char* file :
         {"assets/QExit.png", "assets/Monitor.png", "assets/Padlock.png", "assets/Plate.png",
          "data/image/Exit_up.png", "data/image/Exit_move.png", "data/image/Exit_down.png"}) {
        SCOPED_TRACE(file);
        QImageReader reader(QString::fromStdString(SourceFile(file)));
        EXPECT_EQ(reader.format(), "png");
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_TRUE(image.hasAlphaChannel());
        // Fully transparent pixels have no colour worth comparing once premultiplied.
        ap::Pixels ours = ap::ParsePng(ap::ReadBytes(SourceFile(file))).pixels;
        QImage straight = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < ours.height; ++y) {
            for (int x = 0; x < ours.width; ++x) {
                ap::Rgba& p = ours.data[static_cast<std::size_t>(y) * ours.width + x];
                if (p.a == 0) {
                    p = {0, 0, 0, 0};
                    straight.setPixel(x, y, 0);
                }
            }
        }
        ExpectSamePixels(straight, ours, true);
    }
}

TEST(PictureDecode, IconHasSixImagesAsWeReadThem) {
    const ap::Icon ours = ap::ParseIco(ap::ReadBytes(SourceFile("assets/Loomhaven.ico")));
    QImageReader reader(QString::fromStdString(SourceFile("assets/Loomhaven.ico")));
    EXPECT_EQ(reader.format(), "ico");
    ASSERT_EQ(reader.imageCount(), 6);
    ASSERT_EQ(ours.images.size(), 6u);
    const int sizes[] = {48, 32, 16, 48, 32, 16};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), QSize(sizes[i], sizes[i]));
        const ap::IconImage& mine = ours.images[static_cast<std::size_t>(i)];
        // Qt applies the mask to the palette images and the alpha to the others; either way
        // the visible pixels must be ours.
        const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < sizes[i]; ++y) {
            for (int x = 0; x < sizes[i]; ++x) {
                const std::size_t at = static_cast<std::size_t>(y) * sizes[i] + x;
                const QRgb q = straight.pixel(x, y);
                const ap::Rgba& p = mine.pixels.data[at];
                const int alpha = i < 3 ? (mine.masked[at] ? 0 : 255) : p.a;
                ASSERT_EQ(qAlpha(q), alpha) << x << "," << y;
                if (alpha != 0) {
                    ASSERT_EQ(qRed(q), p.r) << x << "," << y;
                    ASSERT_EQ(qGreen(q), p.g) << x << "," << y;
                    ASSERT_EQ(qBlue(q), p.b) << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
