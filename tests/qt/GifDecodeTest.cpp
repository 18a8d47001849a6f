// SPDX-License-Identifier: MIT
// The Qt picture decoder against the toolkit-free stand-in the other tests use: where both
// decode, they give the same picture, so what the toolkit-free tests show of the compositor
// holds with the real decoder too.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "GifBuilder.h"
#include "GifTestDecoder.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "binding/QtPictureDecoder.h"
#include "gif/Mod_IntImg.h"
#include "gif/clsGifs.h"
#include "platform/Services.h"

namespace {

using platform::gdi::Bitmap;
using testing_support::GifBuilder;
using testing_support::Rgb;
using testing_support::TempDir;

const std::filesystem::path kSource(LOOMHAVEN_SOURCE_DIR);
const std::vector<Rgb> kFour = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

// Compares colours only: the pictures are opaque, whatever alpha the decoder reports.
std::string Difference(const Bitmap& a, const Bitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) {
        return "size " + std::to_string(a.Width()) + "x" + std::to_string(a.Height()) + " vs " +
               std::to_string(b.Width()) + "x" + std::to_string(b.Height());
    }
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if ((a.At(x, y) & 0xFFFFFF) != (b.At(x, y) & 0xFFFFFF)) {
                char text[96];
                std::snprintf(text, sizeof text, "at %d,%d: %06X vs %06X", x, y,
                              a.At(x, y) & 0xFFFFFF, b.At(x, y) & 0xFFFFFF);
                return text;
            }
        }
    }
    return "";
}

class GifDecodeTest : public ::testing::Test {
  protected:
    std::filesystem::path Write(const std::string& name, const std::string& bytes) {
        const auto path = m_dir / name;
        testing_support::WriteFile(path, bytes);
        return path;
    }
    TempDir m_dir;
    binding::QtPictureDecoder m_qt;
    testing_support::GifTestDecoder m_standIn;
};

TEST_F(GifDecodeTest, FirstImagesDecodeAlike) {
    struct Case {
        const char* name;
        GifBuilder gif;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name) -> GifBuilder& {
        cases.push_back({name, GifBuilder{}});
        return cases.back().gif;
    };
    add("plain").Header(3, 2, kFour).Image(0, 0, 3, 2, {0, 1, 2, 3, 2, 1}).Trailer();
    add("placed inside the screen")
        .Header(5, 5, kFour)
        .Image(1, 2, 3, 2, {0, 1, 2, 3, 3, 0})
        .Trailer();
    add("larger than the screen")
        .Header(2, 2, kFour)
        .Image(1, 1, 4, 3, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3})
        .Trailer();
    add("local table")
        .Header(2, 1, kFour)
        .Image(0, 0, 2, 1, {0, 1}, {{9, 8, 7}, {6, 5, 4}})
        .Trailer();
    add("transparent pixels keep their colour")
        .Header(4, 1, kFour)
        .Control(0, 2)
        .Image(0, 0, 4, 1, {0, 2, 2, 3})
        .Trailer();
    add("interlaced")
        .Header(3, 9, kFour)
        .Image(
            0, 0, 3, 9,
            [] {
                std::vector<std::uint8_t> rows;
                for (int y = 0; y < 9; ++y) {
                    rows.insert(rows.end(), 3, static_cast<std::uint8_t>(y % 4));
                }
                return rows;
            }(),
            {}, 2, true);
    std::vector<Rgb> table(256);
    std::vector<std::uint8_t> indexes(256);
    for (int i = 0; i < 256; ++i) {
        table[static_cast<size_t>(i)] = {static_cast<std::uint8_t>(i), 7,
                                         static_cast<std::uint8_t>(255 - i)};
        indexes[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i);
    }
    add("256 colours").Header(16, 16, table).Image(0, 0, 16, 16, indexes, {}, 8).Trailer();
    // What the splitter writes: the frame ends with the odd four-byte tail.
    add("frame file tail")
        .Header(2, 2, kFour)
        .Image(0, 0, 2, 2, {3, 2, 1, 0})
        .Raw({0x00, 0x21, 0xF9, 0x3B});
    for (Case& c : cases) {
        const auto path = Write("case.gif", c.gif.String());
        const auto qt = m_qt.Decode(path);
        const auto standIn = m_standIn.Decode(path);
        ASSERT_TRUE(qt.has_value()) << c.name;
        ASSERT_TRUE(standIn.has_value()) << c.name;
        EXPECT_EQ(Difference(*qt, *standIn), "") << c.name;
    }
}

// Every frame the splitter cuts out of the banners and the test suite's files is decoded alike.
TEST_F(GifDecodeTest, FrameFilesOfRealFilesDecodeAlike) {
    std::vector<std::filesystem::path> files = {
        kSource / "assets/101.gif", kSource / "assets/102.gif", kSource / "assets/103.gif"};
    for (const auto& entry :
         std::filesystem::directory_iterator(kSource / "tests/data/gif-test-suite")) {
        if (entry.path().extension() == ".gif") {
            files.push_back(entry.path());
        }
    }
    // Broken files that the two decoders treat differently; neither fails on them.
    const std::map<std::string, std::string> differ = {
        {"invalid-code.gif", "a code beyond the table"},
        {"invalid-colors.gif", "indexes beyond the colour table: white for Qt, black here"},
        {"overflow-codes.gif", "a minimum code size of 12: Qt still makes a picture"},
        {"missing-pixels.gif", "data ends before the last pixels"},
        {"no-data.gif", "no image data"},
        {"max-size.gif", "65535 x 65535: beyond what either decodes"},
        {"max-width.gif", "65535 pixels wide"},
        {"max-height.gif", "65535 pixels high"},
    };
    const TempDir tmp;
    const testing_support::ScopedEnv tmpEnv("TMPDIR", tmp.path().string());
    int frames = 0;
    for (const auto& file : files) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        std::vector<platform::PicturePtr> withQt;
        std::vector<platform::PicturePtr> withStandIn;
        for (platform::IPictureDecoder* decoder :
             std::vector<platform::IPictureDecoder*>{&m_qt, &m_standIn}) {
            platform::ServicesScope scope{platform::Services{.pictures = decoder}};
            core::clsGifs gif;
            gif.InitDC(nullptr, file.string(), 0);
            gif.fGifBreakOutFrames();
            (decoder == &m_qt ? withQt : withStandIn) = gif.FramePics();
        }
        ASSERT_EQ(withQt.size(), withStandIn.size());
        if (differ.count(name) != 0) {
            continue;
        }
        for (size_t k = 0; k < withQt.size(); ++k) {
            ASSERT_EQ(withQt[k] != nullptr, withStandIn[k] != nullptr) << "frame " << k;
            if (withQt[k] != nullptr) {
                EXPECT_EQ(Difference(*platform::gdi::BitmapOf(withQt[k]->Handle()),
                                     *platform::gdi::BitmapOf(withStandIn[k]->Handle())),
                          "")
                    << "frame " << k;
                ++frames;
            }
        }
    }
    EXPECT_TRUE(std::filesystem::is_empty(tmp.path()));
    EXPECT_GT(frames, 100);
}

TEST_F(GifDecodeTest, BitmapsAndPngsAndNothingElse) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(2, 1, qRgb(200, 100, 50));
    const std::string bmp = (m_dir / "picture.bmp").string();
    const std::string png = (m_dir / "picture.png").string();
    const std::string jpg = (m_dir / "picture.jpg").string();
    ASSERT_TRUE(image.save(QString::fromStdString(bmp), "BMP"));
    ASSERT_TRUE(image.save(QString::fromStdString(png), "PNG"));
    const bool haveJpeg = image.save(QString::fromStdString(jpg), "JPG");
    for (const std::string& path : {bmp, png}) {
        const auto decoded = m_qt.Decode(path);
        ASSERT_TRUE(decoded.has_value()) << path;
        EXPECT_EQ(decoded->Width(), 3);
        EXPECT_EQ(decoded->At(0, 0) & 0xFFFFFF, 0x0A141Eu);
        EXPECT_EQ(decoded->At(2, 1) & 0xFFFFFF, 0xC86432u);
    }
    if (haveJpeg) {
        EXPECT_FALSE(m_qt.Decode(jpg).has_value()) << "only GIF, BMP and PNG";
    }
    Write("text.gif", "GIF89a but nothing else");
    Write("empty.png", "");
    for (const char* name : {"absent.gif", "text.gif", "empty.png"}) {
        EXPECT_FALSE(m_qt.Decode(m_dir / name).has_value()) << name;
    }
}

TEST_F(GifDecodeTest, LoadImageFileThroughTheQtDecoder) {
    platform::ServicesScope scope{platform::Services{.pictures = &m_qt}};
    GifBuilder b;
    b.Header(4, 4, kFour).Image(2, 1, 2, 1, {1, 2}).Trailer();
    const platform::PicturePtr picture = core::LoadImageFile(Write("one.gif", b.String()));
    ASSERT_NE(picture, nullptr);
    const Bitmap& bits = *platform::gdi::BitmapOf(picture->Handle());
    EXPECT_EQ(bits.Width(), 2);
    EXPECT_EQ(bits.At(0, 0), 0xFF00FF00u);
    EXPECT_EQ(bits.At(1, 0), 0xFF0000FFu);
    EXPECT_EQ(core::LoadImageFile(m_dir / "absent.gif"), nullptr);
}

}  // namespace
