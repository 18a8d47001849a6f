// SPDX-License-Identifier: MIT
// The compositor: the canvas, the frame choice, disposal, the masked copy and the background.
#include <functional>

#include "GifTestBase.h"
#include "platform/Runtime.h"

namespace gif_tests {
namespace {

using core::clsGifs;

const Pixel kRed = ToPixel(RGB(255, 0, 0));
const Pixel kGreen = ToPixel(RGB(0, 255, 0));
const Pixel kBlue = ToPixel(RGB(0, 0, 255));
const Pixel kWhite = ToPixel(RGB(255, 255, 255));
const COLORREF kBack = RGB(9, 9, 9);
const Pixel kBackPx = ToPixel(kBack);
const Pixel kUntouched = 0xFF123456u;

std::vector<Pixel> Row(const platform::gdi::Bitmap& b, int y, int from, int to) {
    std::vector<Pixel> row;
    for (int x = from; x < to; ++x) {
        row.push_back(b.At(x, y));
    }
    return row;
}

// Counts the message-loop yields and can run something inside one.
class YieldCounter final : public platform::IProcess {
  public:
    void DoEvents() override {
        ++yields;
        if (inside) {
            auto run = std::exchange(inside, nullptr);
            run();
        }
    }
    [[noreturn]] void End(int status) override { throw platform::EndRequested{status}; }
    bool HasEnded() const override { return false; }
    int yields = 0;
    std::function<void()> inside;
};

class GifRenderTest : public GifTest {
  protected:
    YieldCounter m_process;
    platform::ServicesScope m_processScope{
        platform::Services{.process = &m_process, .pictures = &m_decoder}};
};

TEST_F(GifRenderTest, OpaqueFramesAreCopiedAndTheCanvasGoesToTheTarget) {
    GifBuilder b;
    b.Header(3, 2, kFour).Image(0, 0, 3, 2, {0, 1, 2, 3, 2, 1}).Image(1, 1, 1, 1, {3}).Trailer();
    GdiSurface target(40, 3, kUntouched);
    clsGifs gif;
    Walk(gif, b, target.Dc(), kBack);
    ASSERT_EQ(gif.CanvasWidth(), 32);
    ASSERT_EQ(gif.CanvasHeight(), 2);
    EXPECT_EQ(target.At(0, 0), kUntouched) << "nothing is drawn by the walk";
    const auto& canvas = *platform::gdi::BitmapOf(gif.Canvas());
    EXPECT_EQ(Row(canvas, 0, 0, 32), std::vector<Pixel>(32, kBackPx));

    EXPECT_EQ(gif.RenderGif(), 0);
    EXPECT_EQ(Row(canvas, 0, 0, 4), (std::vector<Pixel>{kRed, kGreen, kBlue, kBackPx}));
    EXPECT_EQ(Row(canvas, 1, 0, 4), (std::vector<Pixel>{kWhite, kBlue, kGreen, kBackPx}));
    // The whole canvas, its extra columns included, lands at (0, 0) of the target.
    EXPECT_EQ(Row(target.Bits(), 0, 0, 4), Row(canvas, 0, 0, 4));
    EXPECT_EQ(Row(target.Bits(), 1, 0, 32), Row(canvas, 1, 0, 32));
    EXPECT_EQ(target.At(32, 0), kUntouched);
    EXPECT_EQ(target.At(0, 2), kUntouched);
    EXPECT_EQ(m_process.yields, 1) << "one yield after an opaque frame";

    // Without disposal the next frame is drawn over the last one.
    EXPECT_EQ(gif.RenderGif(), 1);
    EXPECT_EQ(Row(target.Bits(), 1, 0, 3), (std::vector<Pixel>{kWhite, kWhite, kGreen}));
    EXPECT_EQ(Row(target.Bits(), 0, 0, 3), (std::vector<Pixel>{kRed, kGreen, kBlue}));
    // The target stays usable.
    EXPECT_NE(platform::gdi::GetBkColor(target.Dc()), platform::gdi::CLR_INVALID);
}

// The canvas shows through exactly where the frame's pixel is the key colour.
TEST_F(GifRenderTest, TransparentFrameOverAColouredCanvas) {
    GifBuilder b;
    b.Header(4, 1, kFour).Image(0, 0, 4, 1, {2, 2, 2, 2});
    b.Control(0, 0).Image(0, 0, 4, 1, {0, 1, 0, 3}).Trailer();
    GdiSurface target(32, 1);
    clsGifs gif;
    Walk(gif, b, target.Dc(), kBack);
    gif.RenderGif();
    m_process.yields = 0;
    EXPECT_EQ(gif.RenderGif(), 1);
    EXPECT_EQ(gif.KeyColour(), RGB(255, 0, 0));
    EXPECT_EQ(Row(target.Bits(), 0, 0, 5),
              (std::vector<Pixel>{kBlue, kGreen, kBlue, kWhite, kBackPx}));
    EXPECT_EQ(m_process.yields, 0) << "no yield after a masked frame";
}

// The key colour also sits at another entry: the walk gives the transparent entry a colour of its
// own, so the other entry's pixels stay drawn.
TEST_F(GifRenderTest, DuplicateKeyColourOnlyHidesTheTransparentIndex) {
    const std::vector<Rgb> table = {{255, 0, 0}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
    GifBuilder b;
    b.Header(4, 1, table).Image(0, 0, 4, 1, {1, 1, 1, 1});
    b.Control(0, 2).Image(0, 0, 4, 1, {0, 2, 2, 3}).Trailer();
    GdiSurface target(32, 1);
    clsGifs gif;
    Walk(gif, b, target.Dc());
    gif.RenderGif();
    gif.RenderGif();
    EXPECT_EQ(gif.KeyColour(), RGB(128, 127, 0));
    EXPECT_EQ(Row(target.Bits(), 0, 0, 4), (std::vector<Pixel>{kRed, kGreen, kGreen, kWhite}));
}

// Each frame's key colour comes from its own table, not from the table of a later frame.
TEST_F(GifRenderTest, KeyColourFromTheFramesOwnTable) {
    GifBuilder b;
    b.Header(2, 1).Image(0, 0, 2, 1, {0, 1}, {{255, 0, 0}, {0, 255, 0}});
    b.Control(0, 0).Image(0, 0, 2, 1, {0, 1}, {{0, 0, 255}, {255, 255, 255}});
    b.Image(0, 0, 2, 1, {1, 1}, {{255, 255, 255}, {0, 0, 255}}).Trailer();
    GdiSurface target(32, 1);
    clsGifs gif;
    Walk(gif, b, target.Dc());
    gif.RenderGif();
    gif.RenderGif();
    EXPECT_EQ(gif.KeyColour(), RGB(0, 0, 255));
    EXPECT_EQ(Row(target.Bits(), 0, 0, 2), (std::vector<Pixel>{kRed, kWhite}));
    gif.RenderGif();
    EXPECT_EQ(Row(target.Bits(), 0, 0, 2), (std::vector<Pixel>{kBlue, kBlue}));
}

// A transparent frame placed partly or wholly off the canvas: what lies on the canvas is drawn
// as anywhere else, the rest is dropped.
TEST_F(GifRenderTest, TransparentFramesAtTheEdges) {
    const std::vector<std::uint8_t> frame = {1, 0, 3, 0, 1, 3};  // index 0 is the key
    const Pixel colours[] = {kRed, kGreen, kBlue, kWhite};
    struct Case {
        int left;  // as the file has them: 16 bits, read as signed
        int top;
    };
    const Case cases[] = {{0, 0},  {2, 1},  {0xFFFF, 0xFFFF}, {3, 2}, {0xFFFD, 0},
                          {40, 0}, {30, 0}, {0, 0xFFFE},      {1, 3}};
    for (const Case& c : cases) {
        GifBuilder b;
        b.Header(4, 3, kFour).Image(0, 0, 4, 3, std::vector<std::uint8_t>(12, 2));
        b.Control(0, 0).Image(c.left, c.top, 3, 2, frame).Trailer();
        GdiSurface target(32, 3);
        clsGifs gif;
        Walk(gif, b, target.Dc(), kBack);
        gif.RenderGif();
        gif.RenderGif();
        const int x = static_cast<std::int16_t>(c.left);
        const int y = static_cast<std::int16_t>(c.top);
        for (int cy = 0; cy < 3; ++cy) {
            for (int cx = 0; cx < 32; ++cx) {
                Pixel want = cx < 4 ? kBlue : kBackPx;
                const int fx = cx - x;
                const int fy = cy - y;
                if (fx >= 0 && fx < 3 && fy >= 0 && fy < 2 && frame[fy * 3 + fx] != 0) {
                    want = colours[frame[fy * 3 + fx]];
                }
                EXPECT_EQ(target.At(cx, cy), want)
                    << "frame at " << x << "," << y << ": pixel " << cx << "," << cy;
            }
        }
    }
}

TEST_F(GifRenderTest, DisposalTwoClearsTheWholeCanvasThreeRestoresNothing) {
    struct Case {
        int disposal;
        std::vector<Pixel> want;
    };
    const Case cases[] = {
        {2, {kBackPx, kWhite, kBackPx, kBackPx}},
        {3, {kRed, kWhite, kBlue, kBackPx}},
        {1, {kRed, kWhite, kBlue, kBackPx}},
        {0, {kRed, kWhite, kBlue, kBackPx}},
    };
    for (const Case& c : cases) {
        GifBuilder b;
        b.Header(3, 1, kFour).Image(0, 0, 3, 1, {0, 1, 2});
        b.Control(c.disposal).Image(1, 0, 1, 1, {3}).Trailer();
        GdiSurface target(32, 1);
        clsGifs gif;
        Walk(gif, b, target.Dc(), kBack);
        gif.RenderGif();
        gif.RenderGif();
        EXPECT_EQ(Row(target.Bits(), 0, 0, 4), c.want) << "disposal " << c.disposal;
    }
}

TEST_F(GifRenderTest, CanvasWidthIsAMultipleOf32) {
    struct Case {
        int screenWidth;
        int screenHeight;
        int canvasWidth;
        bool canvas;
    };
    const Case cases[] = {
        {660, 1, 672, true},
        {728, 1, 736, true},
        {32, 1, 32, true},
        {1, 1, 32, true},
        {33, 2, 64, true},
        {16384, 1, 16384, true},
        {0, 1, 0, true},
        // Beyond 16384 either way, or beyond 2^20 pixels, there is no canvas.
        {16385, 1, 0, false},
        {1, 16385, 0, false},
        {32767, 1, 0, false},
        {1024, 1024, 1024, true},
        {4096, 256, 4096, true},
        {1025, 1024, 0, false},  // 1056 x 1024
        {4096, 257, 0, false},
    };
    for (const Case& c : cases) {
        GifBuilder b;
        b.Header(c.screenWidth, c.screenHeight, kFour).Image(0, 0, 1, 1, {0});
        b.Image(0, 0, 1, 1, {1}).Trailer();
        GdiSurface target(64, 2, kUntouched);
        clsGifs gif;
        Walk(gif, b, target.Dc(), kBack);
        EXPECT_EQ(gif.CanvasWidth(), c.canvasWidth) << c.screenWidth;
        EXPECT_EQ(gif.Canvas() != nullptr, c.canvas) << c.screenWidth;
        gif.RenderGif();
        gif.RenderGif();
        if (!c.canvas || c.canvasWidth == 0) {
            EXPECT_EQ(target.Bits().Pixels(), std::vector<Pixel>(64 * 2, kUntouched))
                << "nothing drawn for " << c.screenWidth << " x " << c.screenHeight;
        } else {
            EXPECT_EQ(target.At(0, 0), kGreen) << c.screenWidth;
            EXPECT_EQ(target.At(std::min(c.canvasWidth, 64) - 1, 0),
                      c.canvasWidth > 1 ? kBackPx : kGreen);
        }
    }
}

// The canvas of the last file goes when the next file is walked on the same object.
TEST_F(GifRenderTest, OneCanvasAtATime) {
    GifBuilder b;
    b.Header(40, 2, kFour).Image(0, 0, 1, 1, {0}).Image(0, 0, 1, 1, {1}).Trailer();
    GdiSurface target(64, 2);
    clsGifs gif;
    Walk(gif, b, target.Dc());
    const size_t afterFirst = platform::gdi::LiveObjectCount();
    for (int i = 0; i < 3; ++i) {
        Walk(gif, b, target.Dc());
        gif.RenderGif();
        EXPECT_EQ(platform::gdi::LiveObjectCount(), afterFirst);
    }
    EXPECT_EQ(gif.CanvasWidth(), 64);
}

TEST_F(GifRenderTest, FrameChoice) {
    GifBuilder b;
    b.Header(1, 1, kFour).Image(0, 0, 1, 1, {0}).Image(0, 0, 1, 1, {1});
    b.Image(0, 0, 1, 1, {2}).Trailer();
    GdiSurface target(32, 1);
    clsGifs gif;
    Walk(gif, b, target.Dc());
    const Pixel colours[] = {kRed, kGreen, kBlue};
    // −1 cycles through the frames.
    for (int call = 0; call < 7; ++call) {
        std::int32_t next = -1;
        EXPECT_EQ(gif.RenderGif(next), call % 3);
        EXPECT_EQ(next, -1);
        EXPECT_EQ(target.At(0, 0), colours[call % 3]) << "call " << call;
    }
    // Any other value names a frame and is corrected in the caller's variable.
    struct Case {
        std::int32_t asked;
        std::int32_t corrected;
    };
    for (const Case c : {Case{7, 2}, Case{-5, 0}, Case{1, 1}, Case{-2, 0}, Case{3, 2}}) {
        std::int32_t frame = c.asked;
        EXPECT_EQ(gif.RenderGif(frame), c.corrected);
        EXPECT_EQ(frame, c.corrected) << c.asked;
        EXPECT_EQ(target.At(0, 0), colours[c.corrected]);
    }
    // Named frames leave the object's own counter where it was.
    EXPECT_EQ(gif.RenderGif(), 1);
}

TEST_F(GifRenderTest, UserDelayIsClamped) {
    clsGifs gif;
    EXPECT_EQ(gif.UserDelay(), 0) << "0 until set";
    const std::pair<int, int> cases[] = {{0, 1}, {-3, 1},      {250, 250},  {5000, 1000},
                                         {1, 1}, {1000, 1000}, {1001, 1000}};
    for (const auto& [set, read] : cases) {
        gif.SetUserDelay(set);
        EXPECT_EQ(gif.UserDelay(), read) << set;
    }
}

TEST_F(GifRenderTest, BackgroundColours) {
    struct Case {
        COLORREF given;
        COLORREF used;
    };
    const Case cases[] = {
        {0x8000000F, RGB(240, 240, 240)},                              // button face
        {0x80000005, RGB(255, 255, 255)},                              // window
        {0x80000008, RGB(0, 0, 0)},                                    // window text
        {RGB(1, 2, 3), RGB(1, 2, 3)},     {0x80001000, RGB(0, 0, 0)},  // no such system colour
    };
    for (const Case& c : cases) {
        GifBuilder b;
        b.Header(1, 1, kFour).Image(0, 0, 1, 1, {0}).Image(0, 0, 1, 1, {1}).Trailer();
        GdiSurface target(32, 1);
        clsGifs gif;
        Walk(gif, b, target.Dc(), c.given);
        EXPECT_EQ(gif.BackColor(), c.used) << std::hex << c.given;
        gif.RenderGif();
        EXPECT_EQ(target.At(31, 0), ToPixel(c.used)) << std::hex << c.given;
    }
}

// A file with one image is drawn as a still picture.
TEST_F(GifRenderTest, OneImageIsAStillPicture) {
    GifBuilder b;
    b.Header(2, 1, kFour).Image(0, 0, 2, 1, {1, 2}).Trailer();
    GdiSurface target(32, 1, kUntouched);
    clsGifs gif;
    Walk(gif, b, target.Dc(), kBack);
    EXPECT_EQ(gif.FrameCount(), 0);
    EXPECT_EQ(gif.RenderGif(), 0);
    EXPECT_EQ(Row(target.Bits(), 0, 0, 3), (std::vector<Pixel>{kGreen, kBlue, kBackPx}));
    // Not when the walk stopped short: then there is nothing to draw.
    GifBuilder cut;
    cut.Header(2, 1, kFour).Image(0, 0, 2, 1, {1, 2}).Raw({0x21, 0xFE, 0x09});
    GdiSurface other(32, 1, kUntouched);
    clsGifs broken;
    Walk(broken, cut, other.Dc());
    EXPECT_EQ(broken.FrameStart().size(), 1u);
    EXPECT_EQ(broken.RenderGif(), -1);
    EXPECT_EQ(other.At(0, 0), kUntouched);
}

// A file that cannot be walked to its end shows nothing of the file walked before it.
TEST_F(GifRenderTest, ADamagedFileShowsNothingOfTheLastOne) {
    GifBuilder good;
    good.Header(2, 1, kFour).Image(0, 0, 2, 1, {0, 1}).Image(0, 0, 2, 1, {2, 3}).Trailer();
    GifBuilder cut;
    cut.Header(2, 1, kFour).Image(0, 0, 2, 1, {3, 3}).Image(0, 0, 2, 1, {1, 1});
    cut.Raw({0x21, 0xFE, 0x40, 'x'});
    std::vector<std::uint8_t> garbage = {'G', 'I', 'F', '8', '9', 'a', ',', ' ', 'b', 'u', 't'};
    for (const auto& damaged : {cut.Bytes(), garbage}) {
        GdiSurface target(32, 1);
        clsGifs gif;
        Walk(gif, good, target.Dc(), kBack);
        gif.RenderGif();
        EXPECT_EQ(target.At(0, 0), kRed);
        Walk(gif, damaged, target.Dc(), kBack);
        target.Fill(kUntouched);
        for (int i = 0; i < 3; ++i) {
            gif.RenderGif();
        }
        EXPECT_EQ(target.Bits().Pixels(), std::vector<Pixel>(32, kUntouched));
    }
}

TEST_F(GifRenderTest, NothingToDrawBeforeAWalk) {
    GdiSurface target(4, 1, kUntouched);
    clsGifs gif;
    gif.InitDC(target.Dc(), "", kBack);
    EXPECT_EQ(gif.RenderGif(), -1);
    std::int32_t frame = 5;
    EXPECT_EQ(gif.RenderGif(frame), -1);
    EXPECT_EQ(frame, 5);
    EXPECT_EQ(target.At(0, 0), kUntouched);
    EXPECT_EQ(gif.hDCImage(), target.Dc());
}

// Frames the decoder could not read have no picture: drawing goes on around them.
TEST_F(GifRenderTest, FramesWithoutPictures) {
    m_decoder.SetDecodes(false);
    GifBuilder b;
    b.Header(3, 1, kFour).Image(0, 0, 3, 1, {0, 1, 2});
    b.Control(2, 1).Image(1, 0, 1, 1, {3}).Trailer();
    GdiSurface target(32, 1, kUntouched);
    clsGifs gif;
    Walk(gif, b, target.Dc(), kBack);
    ASSERT_EQ(gif.FramePics().size(), 2u);
    EXPECT_EQ(gif.FramePics()[0], nullptr);
    for (int i = 0; i < 4; ++i) {
        gif.RenderGif();
    }
    EXPECT_EQ(target.At(20, 0), kBackPx) << "the canvas still reaches the target";
}

// The yield after an opaque frame may run another drawing, or a new walk, on the same object.
TEST_F(GifRenderTest, DrawingAgainDuringTheYield) {
    GifBuilder b;
    b.Header(2, 1, kFour).Image(0, 0, 2, 1, {0, 0}).Image(0, 0, 2, 1, {1, 1}).Trailer();
    GdiSurface target(32, 1);
    clsGifs gif;
    Walk(gif, b, target.Dc());
    const size_t live = platform::gdi::LiveObjectCount();
    m_process.inside = [&] { gif.RenderGif(); };
    gif.RenderGif();
    EXPECT_EQ(m_process.yields, 2);
    EXPECT_EQ(platform::gdi::LiveObjectCount(), live);
    // Both drawings counted: the next one starts over.
    EXPECT_EQ(gif.RenderGif(), 0);
    EXPECT_EQ(gif.RenderGif(), 1);
    EXPECT_EQ(target.At(0, 0), kGreen);
    EXPECT_EQ(target.At(1, 0), kGreen);
}

TEST_F(GifRenderTest, WalkingAgainDuringTheYield) {
    GifBuilder first;
    first.Header(2, 1, kFour).Image(0, 0, 2, 1, {0, 0}).Image(0, 0, 2, 1, {1, 1}).Trailer();
    GifBuilder second;
    second.Header(40, 1, kFour).Image(0, 0, 1, 1, {2}).Image(0, 0, 1, 1, {3}).Trailer();
    GdiSurface target(64, 1);
    clsGifs gif;
    Walk(gif, first, target.Dc());
    m_process.inside = [&] { Walk(gif, second, target.Dc()); };
    gif.RenderGif();
    EXPECT_EQ(gif.CanvasWidth(), 64);
    // The object's frame counter goes on from where the first file left it.
    EXPECT_EQ(gif.RenderGif(), 1);
    EXPECT_EQ(target.At(0, 0), kWhite);
    EXPECT_EQ(target.At(40, 0), ToPixel(RGB(255, 255, 255))) << "the new canvas";
    // The raster objects are counted when the test ends: the first file's pictures are gone too.
}

TEST_F(GifRenderTest, EndDCReleasesEverything) {
    const size_t before = platform::gdi::LiveObjectCount();
    GifBuilder b;
    b.Header(2, 1, kFour).Image(0, 0, 2, 1, {0, 0}).Control(0, 1).Image(0, 0, 2, 1, {1, 2});
    b.Trailer();
    GdiSurface target(32, 1);
    clsGifs gif;
    Walk(gif, b, target.Dc());
    gif.RenderGif();
    gif.RenderGif();
    gif.EndDC();
    EXPECT_EQ(platform::gdi::LiveObjectCount(), before + 2) << "only the target is left";
    EXPECT_EQ(gif.FramePics()[0], nullptr);
    gif.RenderGif();  // unusable for drawing now, but harmless
    gif.EndDC();
    EXPECT_EQ(platform::gdi::LiveObjectCount(), before + 2);
}

}  // namespace
}  // namespace gif_tests
