// SPDX-License-Identifier: MIT
// The player control on the virtual clock: the real banners, per-frame timing, holding and
// releasing frames, still pictures, the mouse and the kept background colour.
#include "gif/GifPlay.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

#include "Doubles.h"
#include "GifTestBase.h"
#include "app/FrmMain.h"
#include "app/Program.h"
#include "platform/Bmp.h"
#include "platform/Shell.h"
#include "settings/FrmOption.h"

namespace gif_tests {
namespace {

using core::GifPlay;

const std::filesystem::path kAssets = std::filesystem::path(LOOMHAVEN_SOURCE_DIR) / "assets";

std::string Banner(int number) {
    return (kAssets / (std::to_string(number) + ".gif")).string();
}

// The player is made after the raster objects are counted and goes before they are counted
// again.
class PlayerTest : public GifTest {
  protected:
    void SetUp() override {
        GifTest::SetUp();
        m_player = std::make_unique<GifPlay>("GifPlay1");
        // The banner's place in the settings window: 9660 x 1170 twips.
        m_player->Move(45, 5685, 9660, 1170);
    }
    void TearDown() override {
        m_player.reset();
        GifTest::TearDown();
    }

    // Advances the clock one millisecond at a time and notes each frame drawn with its time.
    struct Tick {
        long long at;
        std::int32_t frame;
    };
    std::vector<Tick> Run(long long ms) {
        std::vector<Tick> ticks;
        const long long end = m_clock.Elapsed() + ms;
        const platform::gdi::Bitmap* surface = m_player->Surface();
        std::uint64_t generation = surface != nullptr ? surface->Generation() : 0;
        while (m_clock.Elapsed() < end) {
            m_clock.Advance(1);
            surface = m_player->Surface();
            if (surface != nullptr && surface->Generation() != generation) {
                generation = surface->Generation();
                ticks.push_back({m_clock.Elapsed(), m_player->LastFrameDrawn()});
            }
        }
        return ticks;
    }
    static std::vector<std::int32_t> Frames(const std::vector<Tick>& ticks) {
        std::vector<std::int32_t> frames;
        for (const Tick& t : ticks) {
            frames.push_back(t.frame);
        }
        return frames;
    }
    static std::vector<long long> Gaps(const std::vector<Tick>& ticks, long long from) {
        std::vector<long long> gaps;
        for (const Tick& t : ticks) {
            gaps.push_back(t.at - from);
            from = t.at;
        }
        return gaps;
    }

    void ExpectSurfaceShowsCanvas() {
        const auto* surface = m_player->Surface();
        const auto* canvas = platform::gdi::BitmapOf(m_player->Gifs()->Canvas());
        ASSERT_NE(surface, nullptr);
        ASSERT_NE(canvas, nullptr);
        ASSERT_LE(surface->Width(), canvas->Width());
        for (int y = 0; y < std::min(surface->Height(), canvas->Height()); y += 3) {
            for (int x = 0; x < surface->Width(); x += 5) {
                ASSERT_EQ(surface->At(x, y), canvas->At(x, y)) << x << "," << y;
            }
        }
    }

    std::string Fixture(const GifBuilder& b) {
        const auto path = m_data / ("fixture" + std::to_string(m_fixtures++) + ".gif");
        testing_support::WriteFile(path, b.String());
        return path.string();
    }

    testing_support::VirtualClock m_clock;
    testing_support::FakeProcess m_process;
    platform::ServicesScope m_runtime{
        platform::Services{.clock = &m_clock, .process = &m_process, .pictures = &m_decoder}};
    std::unique_ptr<GifPlay> m_player;
    int m_fixtures = 0;
};

// Banner 101 has ten frames of 20 hundredths, 102 and 103 two frames of 0 (counted as 10).
TEST_F(PlayerTest, BannersStepWithTheirOwnDelays) {
    struct Case {
        int banner;
        int frames;
        long long interval;
    };
    for (const Case c : {Case{101, 10, 201}, Case{102, 2, 101}, Case{103, 2, 101}}) {
        SCOPED_TRACE(c.banner);
        m_player->Play(Banner(c.banner));
        EXPECT_EQ(m_player->GetFrameNum(), c.frames);
        EXPECT_EQ(m_player->tmrRun.Interval(), c.interval);
        EXPECT_TRUE(m_player->tmrRun.Running());
        EXPECT_EQ(m_player->Gifs()->UserDelay(), 1);
        const long long start = m_clock.Elapsed();
        const auto ticks = Run(c.interval * (2 * c.frames + 1) - 1);
        ASSERT_EQ(ticks.size(), static_cast<size_t>(2 * c.frames));
        for (size_t i = 0; i < ticks.size(); ++i) {
            EXPECT_EQ(ticks[i].frame, static_cast<std::int32_t>(i % static_cast<size_t>(c.frames)));
        }
        EXPECT_EQ(Gaps(ticks, start), std::vector<long long>(ticks.size(), c.interval));
        ExpectSurfaceShowsCanvas();
        EXPECT_EQ(m_player->Gifs()->CanvasWidth(), c.banner == 101 ? 672 : 736);
    }
}

// Each frame stays for its own delay, a delay under 2 counting as 10.
TEST_F(PlayerTest, EveryFrameItsOwnDelay) {
    GifBuilder b;
    b.Header(2, 1, kFour);
    for (const int delay : {0, 1, 2, 35}) {
        b.Control(0, -1, delay).Image(0, 0, 2, 1, {1, 2});
    }
    b.Trailer();
    m_player->Play(Fixture(b));
    EXPECT_EQ(m_player->tmrRun.Interval(), 101u) << "before the first frame: frame 0's delay";
    const long long start = m_clock.Elapsed();
    const auto ticks = Run(101 + 101 + 101 + 21 + 351 + 100);
    EXPECT_EQ(Frames(ticks), (std::vector<std::int32_t>{0, 1, 2, 3, 0}));
    // Frame 0 shows 101 ms, frame 1 101, frame 2 21, frame 3 351.
    EXPECT_EQ(Gaps(ticks, start), (std::vector<long long>{101, 101, 101, 21, 351}));
    // The user's delay is added to each.
    m_player->Play(Fixture(b), true, 0, 250);
    EXPECT_EQ(m_player->tmrRun.Interval(), 350u);
    m_player->Play(Fixture(b), true, 0, 5000);
    EXPECT_EQ(m_player->Gifs()->UserDelay(), 1000);
    EXPECT_EQ(m_player->tmrRun.Interval(), 1100u);
}

TEST_F(PlayerTest, MissingFileChangesNothing) {
    m_player->Play((m_data / "absent.gif").string());
    EXPECT_EQ(m_player->GetFrameNum(), 0);
    EXPECT_FALSE(m_player->tmrRun.Running());
    EXPECT_EQ(m_player->Gifs(), nullptr);
    EXPECT_EQ(m_player->Surface(), nullptr) << "not even repainted";
    // A running animation keeps running.
    m_player->Play(Banner(102));
    Run(250);
    m_player->Play((m_data / "absent.gif").string());
    m_player->Play(m_data.path().string());  // a directory is no file
    EXPECT_EQ(m_player->GetFrameNum(), 2);
    EXPECT_EQ(Frames(Run(202)), (std::vector<std::int32_t>{0, 1}));
}

// A single image is shown at once as a still picture: no timer, nothing to hold.
TEST_F(PlayerTest, OneImageIsAStillPicture) {
    GifBuilder b;
    b.Header(3, 1, kFour).Image(0, 0, 3, 1, {0, 1, 2}).Trailer();
    m_player->Play(Banner(101));
    Run(500);
    m_player->Play(Fixture(b));
    EXPECT_EQ(m_player->GetFrameNum(), 1);
    EXPECT_FALSE(m_player->tmrRun.Running());
    const auto* surface = m_player->Surface();
    EXPECT_EQ(surface->At(0, 0), ToPixel(RGB(255, 0, 0)));
    EXPECT_EQ(surface->At(2, 0), ToPixel(RGB(0, 0, 255)));
    EXPECT_EQ(surface->At(3, 0), ToPixel(RGB(255, 255, 255))) << "the background";
    m_player->GifStop();
    m_player->GifFrame(false);
    EXPECT_EQ(m_player->HeldFrame(), -1) << "nothing to hold";
    EXPECT_TRUE(Run(1000).empty());
}

// A file without a frame to show: the timer is left as it was, and its ticks draw nothing.
TEST_F(PlayerTest, NothingToPlay) {
    m_player->Play(Banner(102));
    Run(150);
    const auto text = m_data / "text.gif";
    testing_support::WriteFile(text, "GIF89a, but nothing else");
    m_player->Play(text.string());
    EXPECT_TRUE(m_player->tmrRun.Running());
    EXPECT_TRUE(Run(1000).empty());
    EXPECT_EQ(m_player->Surface()->At(10, 10), ToPixel(RGB(255, 255, 255)));
}

TEST_F(PlayerTest, HoldingFrames) {
    m_player->Play(Banner(101));
    // Nothing held yet: automatic.
    EXPECT_EQ(m_player->HeldFrame(), -1);
    struct Case {
        bool flag;
        std::int16_t num;
        std::int32_t held;
    };
    for (const Case c : {Case{true, -1, 0}, Case{false, -1, 9}, Case{true, 3, 2}, Case{false, 3, 2},
                         Case{true, 0, 0}}) {
        m_player->GifFrame(c.flag, c.num);
        EXPECT_EQ(m_player->HeldFrame(), c.held) << c.flag << " " << c.num;
    }
    // A held frame is drawn again on every tick, for its own delay.
    m_player->GifFrame(true, 4);
    const long long start = m_clock.Elapsed();
    const auto held = Run(201 * 3);
    EXPECT_EQ(Frames(held), (std::vector<std::int32_t>{3, 3, 3}));
    EXPECT_EQ(Gaps(held, start), (std::vector<long long>{201, 201, 201}));
    // Frame 50 of ten is corrected to the last by the next tick.
    m_player->GifFrame(true, 50);
    EXPECT_EQ(m_player->HeldFrame(), 49);
    Run(201);
    EXPECT_EQ(m_player->HeldFrame(), 9);
    EXPECT_EQ(m_player->LastFrameDrawn(), 9);
}

// GifRestart goes on from the compositor's own counter, not from the frame that was held.
TEST_F(PlayerTest, RestartResumesTheCompositorsCount) {
    m_player->Play(Banner(101));
    EXPECT_EQ(Frames(Run(201 * 3)), (std::vector<std::int32_t>{0, 1, 2}));
    m_player->GifFrame(true, 8);
    EXPECT_EQ(Frames(Run(201 * 2)), (std::vector<std::int32_t>{7, 7}));
    m_player->GifRestart();
    EXPECT_EQ(m_player->HeldFrame(), -1);
    EXPECT_EQ(Frames(Run(201 * 2)), (std::vector<std::int32_t>{3, 4}));
}

// GifStop holds the hold counter's frame: 0 unless a hold ran before; the counter goes round
// while a frame is held, and the loop pause comes when it is back at 0.
TEST_F(PlayerTest, StopHoldsTheHoldCounter) {
    m_player->Play(Banner(102), true, 700);
    Run(101 * 3);
    m_player->GifStop();
    EXPECT_EQ(m_player->HeldFrame(), 0);
    const long long start = m_clock.Elapsed();
    // Held ticks: the counter goes 1, 2 → 0 (the pause), 1, ...
    const auto ticks = Run(101 + 101 + 700 + 101);
    EXPECT_EQ(Frames(ticks), (std::vector<std::int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(Gaps(ticks, start), (std::vector<long long>{101, 101, 700, 101}));
    Run(700);
    m_player->GifRestart();
    m_player->GifStop();
    EXPECT_EQ(m_player->HeldFrame(), 1) << "where the hold counter stood";
}

TEST_F(PlayerTest, NothingToStopBeforeAFileIsLoaded) {
    m_player->GifStop();
    m_player->GifFrame(false, 3);
    m_player->GifRestart();
    EXPECT_EQ(m_player->HeldFrame(), -1);
    EXPECT_EQ(m_player->GetFrameNum(), 0);
    EXPECT_FALSE(m_player->tmrRun.Running());
    // Starting held: frame 0 is drawn until released.
    m_player->Play(Banner(102), false);
    EXPECT_EQ(m_player->HeldFrame(), 0);
    EXPECT_EQ(Frames(Run(303)), (std::vector<std::int32_t>{0, 0, 0}));
}

// The pointer inside (edges included) raises MouseMove and takes the mouse; the first move
// outside raises MouseLeave once and lets it go.
TEST_F(PlayerTest, MouseLeaveByCapture) {
    std::vector<std::string> events;
    m_player->MouseMove.Connect([&](std::int16_t b, std::int16_t s, float x, float y) {
        events.push_back("move " + std::to_string(b) + " " + std::to_string(s) + " " +
                         std::to_string(static_cast<int>(x)) + " " +
                         std::to_string(static_cast<int>(y)));
    });
    m_player->MouseLeave.Connect([&] { events.push_back("leave"); });
    struct Case {
        float x, y;
        const char* event;
        bool captured;
    };
    const Case cases[] = {
        {0, 0, "move 0 0 0 0", true},
        {9660, 1170, "move 0 0 9660 1170", true},  // the right and bottom edges are inside
        {4830, 600, "move 0 0 4830 600", true},
        {9661, 600, "leave", false},
        {4830, 600, "move 0 0 4830 600", true},
        {4830, 1185, "leave", false},
        {100, 100, "move 0 0 100 100", true},
        {-15, 100, "leave", false},
        {100, 0, "move 0 0 100 0", true},
        {100, -0.5f, "leave", false},
    };
    for (const Case& c : cases) {
        events.clear();
        m_player->MouseMoveFromView(0, 0, c.x, c.y);
        EXPECT_EQ(events, std::vector<std::string>{c.event}) << c.x << "," << c.y;
        EXPECT_EQ(m_player->HasCapture(), c.captured) << c.x << "," << c.y;
    }
    events.clear();
    m_player->MouseMoveFromView(1, 2, 30, 45);
    EXPECT_EQ(events, std::vector<std::string>{"move 1 2 30 45"});
}

TEST_F(PlayerTest, ClicksAndButtonsPassThrough) {
    std::vector<std::string> events;
    m_player->Click.Connect([&] { events.push_back("click"); });
    m_player->MouseDown.Connect([&](std::int16_t b, std::int16_t s, float x, float y) {
        events.push_back("down " + std::to_string(b) + std::to_string(s) + " " +
                         std::to_string(static_cast<int>(x + y)));
    });
    m_player->MouseUp.Connect([&](std::int16_t b, std::int16_t s, float x, float y) {
        events.push_back("up " + std::to_string(b) + std::to_string(s) + " " +
                         std::to_string(static_cast<int>(x + y)));
    });
    m_player->MouseDownFromView(1, 0, 15, 30);
    m_player->MouseUpFromView(1, 4, 15, 30);
    m_player->ClickFromView();
    m_player->MouseDownFromView(2, 1, 20000, -5);  // anywhere: passed on as it came
    EXPECT_EQ(events,
              (std::vector<std::string>{"down 10 45", "up 14 45", "click", "down 21 19995"}));
}

TEST_F(PlayerTest, KeptBackgroundColour) {
    EXPECT_EQ(m_player->GifBKColor(), RGB(255, 255, 255));
    platform::PropertyBag layout;
    layout.WriteProperty("gifbkcolor", 0x8000000F, 0xFFFFFF);  // the settings window's banner
    m_player->ReadProperties(layout);
    EXPECT_EQ(m_player->GifBKColor(), 0x8000000Fu);
    platform::PropertyBag saved;
    m_player->WriteProperties(saved);
    EXPECT_EQ(saved.ReadProperty("GIFBKCOLOR", 0), 0x8000000F);
    // A system colour is resolved for the canvas; the canvas's extra columns show it.
    GifBuilder b;
    b.Header(1, 1, kFour).Image(0, 0, 1, 1, {0}).Image(0, 0, 1, 1, {1}).Trailer();
    m_player->Play(Fixture(b));
    Run(101);
    EXPECT_EQ(m_player->Surface()->At(0, 0), ToPixel(RGB(255, 0, 0)));
    EXPECT_EQ(m_player->Surface()->At(20, 0), ToPixel(RGB(240, 240, 240)));
    // A new colour waits for the next file.
    m_player->SetGifBKColor(RGB(1, 2, 3));
    Run(101);
    EXPECT_EQ(m_player->Surface()->At(20, 0), ToPixel(RGB(240, 240, 240)));
    m_player->Play(Fixture(b));
    Run(101);
    EXPECT_EQ(m_player->Surface()->At(20, 0), ToPixel(RGB(1, 2, 3)));
    // Nothing stored: white; white is not stored.
    m_player->ReadProperties(platform::PropertyBag{});
    EXPECT_EQ(m_player->GifBKColor(), RGB(255, 255, 255));
    platform::PropertyBag again;
    m_player->WriteProperties(again);
    EXPECT_FALSE(again.Contains("GifBKColor"));
}

// The message loop runs while an opaque frame is drawn, and a handler there may end the control
// (its window closed and another made in its place): the drawing ends on the compositor it
// began with, which goes when the drawing is over, and nothing of the control is touched after.
TEST_F(PlayerTest, TheControlMayEndWhileItDraws) {
    // On a tick of the animation.
    m_player->Play(Banner(102));
    ASSERT_TRUE(m_player->tmrRun.Running());
    m_process.inside = [&] { m_player.reset(); };
    m_clock.Advance(101);
    EXPECT_FALSE(m_process.inside) << "the frame was drawn";
    EXPECT_EQ(m_player, nullptr);
    EXPECT_EQ(m_clock.RunningTimers(), 0u);
    m_clock.Advance(1000);

    // While a still picture is put up.
    GifBuilder b;
    b.Header(3, 1, kFour).Image(0, 0, 3, 1, {0, 1, 2}).Trailer();
    m_player = std::make_unique<GifPlay>("GifPlay1");
    m_player->Move(0, 0, 1500, 300);
    m_process.inside = [&] { m_player.reset(); };
    GifPlay* const player = m_player.get();
    player->Play(Fixture(b));
    EXPECT_FALSE(m_process.inside) << "the picture was drawn";
    EXPECT_EQ(m_player, nullptr);
    // Raster objects and frame files are counted when the test ends.
}

// The same compositor serves every file; the control's end stops the timer and gives back
// every raster object (checked when the test ends).
TEST_F(PlayerTest, OneCompositorForEveryFileAndNothingLeftAtTheEnd) {
    auto player = std::make_unique<GifPlay>("GifPlay2");
    player->Move(0, 0, 1500, 300);
    player->Play(Banner(101));
    const core::clsGifs* gifs = player->Gifs();
    player->Play(Banner(103));
    EXPECT_EQ(player->Gifs(), gifs);
    EXPECT_EQ(player->GetFrameNum(), 2);
    EXPECT_EQ(player->tmrRun.Interval(), 101u);
    m_clock.Advance(1000);
    player.reset();
    EXPECT_EQ(m_clock.RunningTimers(), 0u);
}

// Decodes the banners and the settings window's background snapshot without a toolkit.
class BannerPictures final : public platform::IPictureDecoder {
  public:
    std::optional<platform::gdi::Bitmap> Decode(const std::filesystem::path& path) override {
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        if (path.extension() == ".bmp") {
            return platform::DecodeBmp(bytes);
        }
        return testing_support::DecodeFirstGifImage(bytes);
    }
};

// The whole program on the virtual clock, with the settings window's banner playing.
class BannerWindowTest : public ::testing::Test {
  protected:
    BannerWindowTest() {
        std::filesystem::create_directories(m_tmp);
        platform::Services services = platform::CurrentServices();
        services.pictures = &m_pictures;
        m_scope.emplace(services);
        m_program->Start();
    }
    ~BannerWindowTest() override {
        m_program.reset();
        EXPECT_EQ(Listing(m_tmp), std::vector<std::string>{}) << "frame files left behind";
    }
    // The tray menu's "软件设置(&S)".
    core::FrmOption& OpenFromTray() {
        h.windows.choose = "Setting";
        m_program->Main().MouseMove.Raise(0, 0, platform::WM_RBUTTONUP * 15.0f, 0);
        return m_program->Option();
    }

    testing_support::Harness h;
    std::filesystem::path m_tmp = h.dir / "tmp";
    testing_support::ScopedEnv m_tmpEnv{"TMPDIR", m_tmp.string()};
    BannerPictures m_pictures;
    std::optional<platform::ServicesScope> m_scope;
    std::optional<core::Program> m_program{std::in_place};
};

// The settings window is closed, and opened again from the tray menu, while its banner draws a
// frame: the old window, its banner and the banner's compositor go; the new window's banner
// plays.
TEST_F(BannerWindowTest, ClosedAndOpenedAgainWhileTheBannerDraws) {
    core::FrmOption& first = OpenFromTray();
    ASSERT_TRUE(first.GifPlay1.tmrRun.Running());
    const std::uint32_t interval = first.GifPlay1.tmrRun.Interval();
    h.process.inside = [&] {
        first.QExit.Click.Raise(platform::vbLeftButton);
        OpenFromTray();
    };
    h.clock.Advance(interval);
    ASSERT_FALSE(h.process.inside) << "the banner drew a frame";
    const auto count = [](const std::vector<std::string>& names) {
        return std::count(names.begin(), names.end(), "FrmOption");
    };
    EXPECT_EQ(count(h.windows.destroyed), 1);
    EXPECT_EQ(count(h.windows.realized), 2);

    core::FrmOption& second = m_program->Option();
    EXPECT_TRUE(second.IsLoaded());
    ASSERT_NE(second.GifPlay1.Gifs(), nullptr);
    EXPECT_EQ(std::filesystem::path(second.GifPlay1.Gifs()->FileName()).filename(), "102.gif");
    EXPECT_EQ(second.GifPlay1.LastFrameDrawn(), -1);
    h.clock.Advance(second.GifPlay1.tmrRun.Interval());
    EXPECT_EQ(second.GifPlay1.LastFrameDrawn(), 0);
    h.clock.Advance(second.GifPlay1.tmrRun.Interval());
    EXPECT_EQ(second.GifPlay1.LastFrameDrawn(), 1);
}

}  // namespace
}  // namespace gif_tests
