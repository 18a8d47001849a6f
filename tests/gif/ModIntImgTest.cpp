// SPDX-License-Identifier: MIT
// The picture file loader, and the walk when loading fails.
#include "gif/Mod_IntImg.h"

#include <new>

#include "GifTestBase.h"

namespace gif_tests {
namespace {

// Decodes like the stand-in, but runs out of memory on the calls it is told to.
class FailingDecoder final : public platform::IPictureDecoder {
  public:
    std::optional<platform::gdi::Bitmap> Decode(const std::filesystem::path& path) override {
        const int call = m_calls++;
        if (call >= m_failFrom && call < m_failTo) {
            throw std::bad_alloc();
        }
        return m_inner.Decode(path);
    }
    void FailCalls(int from, int to) {
        m_failFrom = from;
        m_failTo = to;
    }
    int Calls() const { return m_calls; }

  private:
    testing_support::GifTestDecoder m_inner;
    int m_calls = 0;
    int m_failFrom = -1;
    int m_failTo = -1;
};

class LoadImageFileTest : public GifTest {};

TEST_F(LoadImageFileTest, ASingleImageFileLoadsWithItsPixels) {
    GifBuilder b;
    b.Header(5, 5, kFour).Image(1, 2, 3, 2, {0, 1, 2, 3, 3, 0}).Trailer();
    const auto file = m_data / "one.gif";
    testing_support::WriteFile(file, b.String());
    const platform::PicturePtr picture = core::LoadImageFile(file);
    ASSERT_NE(picture, nullptr);
    // The image's own rectangle, wherever it lies on the screen.
    ASSERT_EQ(picture->Width(), 3);
    ASSERT_EQ(picture->Height(), 2);
    const auto& bits = *platform::gdi::BitmapOf(picture->Handle());
    EXPECT_EQ(bits.At(0, 0), ToPixel(RGB(255, 0, 0)));
    EXPECT_EQ(bits.At(2, 0), ToPixel(RGB(0, 0, 255)));
    EXPECT_EQ(bits.At(0, 1), ToPixel(RGB(255, 255, 255)));
    EXPECT_EQ(bits.At(2, 1), ToPixel(RGB(255, 0, 0)));
}

TEST_F(LoadImageFileTest, MissingOrUndecodableFilesGiveNoPicture) {
    testing_support::WriteFile(m_data / "text.gif", "not a picture");
    testing_support::WriteFile(m_data / "empty.gif", "");
    for (const char* name : {"absent.gif", "text.gif", "empty.gif", ""}) {
        platform::PicturePtr picture;
        EXPECT_NO_THROW(picture = core::LoadImageFile(m_data / name)) << name;
        EXPECT_EQ(picture, nullptr) << name;
    }
}

// When the loader itself fails, the runtime's loader tries again; its failure reaches the
// caller.
TEST_F(LoadImageFileTest, TheFallbackLoader) {
    GifBuilder b;
    b.Header(1, 1, kFour).Image(0, 0, 1, 1, {2}).Trailer();
    const auto file = m_data / "one.gif";
    testing_support::WriteFile(file, b.String());
    FailingDecoder decoder;
    platform::ServicesScope scope{platform::Services{.pictures = &decoder}};
    decoder.FailCalls(0, 1);
    EXPECT_NE(core::LoadImageFile(file), nullptr);
    EXPECT_EQ(decoder.Calls(), 2);
    decoder.FailCalls(0, 100);
    EXPECT_THROW(core::LoadImageFile(file), std::bad_alloc);
    // The fallback raises where the first loader would have answered with no picture.
    const int next = decoder.Calls();
    decoder.FailCalls(next, next + 1);
    EXPECT_THROW(core::LoadImageFile(m_data / "absent.gif"), std::runtime_error);
    EXPECT_EQ(core::LoadImageFile(m_data / "absent.gif"), nullptr);
}

// A frame that cannot be loaded ends the walk: the frames before it stay, no canvas is made and
// no frame file is left behind.
TEST_F(LoadImageFileTest, AFailedLoadEndsTheWalk) {
    FailingDecoder decoder;
    platform::ServicesScope scope{platform::Services{.pictures = &decoder}};
    decoder.FailCalls(1, 3);
    GifBuilder b;
    b.Header(1, 1, kFour);
    for (int k = 0; k < 3; ++k) {
        b.Image(0, 0, 1, 1, {1});
    }
    b.Trailer();
    core::clsGifs gif;
    Walk(gif, b);
    ASSERT_EQ(gif.FramePics().size(), 2u);
    EXPECT_NE(gif.FramePics()[0], nullptr);
    EXPECT_EQ(gif.FramePics()[1], nullptr);
    EXPECT_EQ(gif.LastFrame(), 1);
    EXPECT_EQ(gif.Canvas(), nullptr);
}

}  // namespace
}  // namespace gif_tests
