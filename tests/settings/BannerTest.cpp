// SPDX-License-Identifier: MIT
// The settings window's link banner, its background snapshot, and its look: the translucent
// panel, the rounded corners and dragging.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "Doubles.h"
#include "GifTestDecoder.h"
#include "RoundedWindow.h"
#include "app/FrmMain.h"
#include "app/Program.h"
#include "forms/Addresses.h"
#include "forms/Layouts.h"
#include "platform/Bmp.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "settings/FrmOption.h"

namespace {

namespace gdi = platform::gdi;
namespace fs = std::filesystem;
using testing_support::Harness;
using testing_support::WriteFile;

std::vector<std::uint8_t> Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Decodes bitmaps and GIFs without a toolkit, so that what the window loads can be looked at.
class TestPictures final : public platform::IPictureDecoder {
  public:
    std::optional<gdi::Bitmap> Decode(const fs::path& path) override {
        const std::vector<std::uint8_t> bytes = Bytes(path);
        if (path.extension() == ".bmp") {
            return platform::DecodeBmp(bytes);
        }
        return testing_support::DecodeFirstGifImage(bytes);
    }
};

std::string Utf8(const char16_t* text) {
    return platform::ToUtf8Lossy(text);
}

class SettingsWindowTest : public ::testing::Test {
  protected:
    // Installed: the program directory has no data directory beside it, only the share tree.
    explicit SettingsWindowTest(bool installed = false) {
        if (installed) {
            m_pictures_dir = h.MakeInstalledPictures();
            WriteFile(m_pictures_dir / "Exit_up.png", "came with the program");
        }
        platform::Services services = platform::CurrentServices();
        services.pictures = &m_pictures;
        m_scope.emplace(services);
        m_program.Start();
    }

    core::FrmOption& Open() {
        h.windows.choose = "Setting";
        m_program.Main().MouseMove.Raise(0, 0, platform::WM_RBUTTONUP * 15.0f, 0);
        return m_program.Option();
    }
    fs::path Data() const { return h.AppPath() / "data" / "image"; }
    // The banner file the player shows, by its name.
    static std::string Shown(const core::FrmOption& option) {
        return option.GifPlay1.Gifs() != nullptr
                   ? fs::path(option.GifPlay1.Gifs()->FileName()).filename().string()
                   : "(none)";
    }

    Harness h;
    fs::path m_pictures_dir;
    TestPictures m_pictures;
    std::optional<platform::ServicesScope> m_scope;
    core::Program m_program;
};

constexpr char kCompiledBoard[] = "http://bbs.loomhaven.example/forum-2-1.html";

// The forum the settings name (or none), and the home and board links its banners open.
struct ForumCase {
    const char* name;
    const char* settings;  // the settings file, or nullptr for none
    const char* home;
    const char* board;
};

void PrintTo(const ForumCase& c, std::ostream* os) {
    *os << c.name;
}

class BannerRotationTest : public SettingsWindowTest,
                           public ::testing::WithParamInterface<ForumCase> {};

TEST_P(BannerRotationTest, EveryFiveSecondsAndAClickOpensTheShownOnesPage) {
    if (GetParam().settings != nullptr) {
        h.WriteSettings(GetParam().settings);
    }
    core::FrmOption& option = Open();
    const std::string home = GetParam().home;
    const std::string board = GetParam().board;
    const std::string personal = Utf8(core::kPersonalPage);
    struct Step {
        int at;  // ms after the window opened
        const char* banner;
        const std::string& link;
    };
    // The board's banner first, then 101, 102, 103 round and round.
    const std::vector<Step> steps = {
        {0, "102.gif", board},     {4999, "102.gif", board},     {5000, "101.gif", home},
        {10000, "102.gif", board}, {15000, "103.gif", personal}, {20000, "101.gif", home},
        {25000, "102.gif", board}, {30000, "103.gif", personal}, {35000, "101.gif", home},
    };
    int now = 0;
    for (const Step& step : steps) {
        h.clock.Advance(step.at - now);
        now = step.at;
        EXPECT_EQ(Shown(option), step.banner) << "at " << step.at << " ms";
        EXPECT_EQ(option.GifPlay1.Gifs()->FileName(), (Data() / step.banner).string());
        h.shell.opened.clear();
        option.GifPlay1.ClickFromView();
        ASSERT_EQ(h.shell.opened.size(), 1u) << "at " << step.at << " ms";
        const auto& opened = h.shell.opened[0];
        EXPECT_EQ(opened.file, step.link) << "at " << step.at << " ms";
        EXPECT_EQ(opened.operation, "open");
        EXPECT_EQ(opened.owner, option.hWnd());
        EXPECT_EQ(opened.show, platform::SW_SHOWNORMAL);
    }
    // The banner plays: its frames were split and decoded.
    ASSERT_NE(option.GifPlay1.Gifs(), nullptr);
    EXPECT_GT(option.GifPlay1.GetFrameNum(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Forums, BannerRotationTest,
    ::testing::Values(
        ForumCase{"NoSettings", nullptr, "http://bbs.loomhaven.example", kCompiledBoard},
        ForumCase{"BareHost", "[Setting]\nHomePage=bbs.example.org\n", "http://bbs.example.org",
                  "http://bbs.example.org/forum-2-1.html"},
        // The board page sits at the root of the home page's site, whatever its path.
        ForumCase{"WholeAddress", "[Setting]\nHomePage=https://Forum.Example.org:8443/bbs/?a=1\n",
                  "https://forum.example.org:8443/bbs/?a=1",
                  "https://forum.example.org:8443/forum-2-1.html"},
        ForumCase{"NoAddress", "[Setting]\nHomePage=javascript:alert(1)\n",
                  "http://bbs.loomhaven.example", kCompiledBoard}),
    [](const ::testing::TestParamInfo<ForumCase>& p) { return std::string(p.param.name); });

TEST_F(SettingsWindowTest, ReopeningStartsTheRotationAgainAtTheBoardBanner) {
    core::FrmOption& option = Open();
    h.clock.Advance(10000);
    ASSERT_EQ(Shown(option), "102.gif");  // the rotation's own 102, two ticks in
    option.QExit.Click.Raise(platform::vbLeftButton);
    ASSERT_FALSE(option.IsLoaded());
    h.clock.Advance(12000);  // nothing rotates while the window is closed

    core::FrmOption& again = Open();
    EXPECT_EQ(Shown(again), "102.gif");
    EXPECT_EQ(again.CurrentLink(), kCompiledBoard);
    h.clock.Advance(5000);
    EXPECT_EQ(Shown(again), "101.gif");
    EXPECT_EQ(again.CurrentLink(), Utf8(core::kForumHome));
}

TEST_F(SettingsWindowTest, BannerHasTheButtonFaceBehindIt) {
    core::FrmOption& option = Open();
    EXPECT_EQ(option.GifPlay1.GifBKColor(), 0x80000000u | gdi::COLOR_BTNFACE);
    EXPECT_EQ(std::tuple(option.GifPlay1.Left(), option.GifPlay1.Top(), option.GifPlay1.Width(),
                         option.GifPlay1.Height()),
              std::tuple(45.0f, 5685.0f, 9660.0f, 1170.0f));
    EXPECT_EQ(option.GifPlay1.Container(), &option.Picture1);
}

TEST_F(SettingsWindowTest, BackgroundGoesToBlackGroundBmpAndComesBackFromThereAtEveryLoad) {
    const fs::path file = Data() / "BlackGround.bmp";
    const auto layout = core::LayoutPicture("FrmOption.bmp");
    for (int load = 1; load <= 2; ++load) {
        {
            std::ofstream stale(file, std::ios::binary | std::ios::trunc);
            stale << "left over from an earlier run";
        }
        core::FrmOption& option = Open();
        h.clock.Advance(99);
        EXPECT_EQ(Bytes(file).size(), 29u) << "not before 100 ms, load " << load;
        EXPECT_EQ(option.Picture(), layout);
        h.clock.Advance(1);

        // A real bitmap of the window's background: 805 x 544 at 24 bits, pixel for pixel.
        const std::vector<std::uint8_t> written = Bytes(file);
        EXPECT_EQ(written.size(), 1314358u) << "load " << load;
        EXPECT_EQ(written, platform::EncodeBmp24(*layout));
        const std::optional<gdi::Bitmap> decoded = platform::DecodeBmp(written);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->Pixels(), layout->Pixels());

        // The window now shows the picture read back from the file.
        ASSERT_TRUE(option.Picture());
        EXPECT_NE(option.Picture(), layout);
        EXPECT_EQ(option.Picture()->Pixels(), layout->Pixels());

        // Once per load.
        fs::remove(file);
        h.clock.Advance(5000);
        EXPECT_FALSE(fs::exists(file)) << "load " << load;
        option.QExit.Click.Raise(platform::vbLeftButton);
    }
}

TEST_F(SettingsWindowTest, SnapshotThatCannotBeWrittenOrReadLeavesTheBackground) {
    const fs::path file = Data() / "BlackGround.bmp";
    const auto layout = core::LayoutPicture("FrmOption.bmp");
    // A directory where the file should go: no rename can replace it, not even root's.
    fs::create_directories(file / "keep");
    core::FrmOption& option = Open();
    h.clock.Advance(100);
    EXPECT_EQ(option.Picture(), layout);
    EXPECT_TRUE(fs::is_directory(file / "keep")) << "what stood there is untouched";
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_FALSE(h.process.HasEnded());
    // No stray temporary file is left beside it.
    for (const auto& entry : fs::directory_iterator(Data())) {
        EXPECT_EQ(entry.path().filename().string().rfind(".BlackGround", 0), std::string::npos)
            << entry.path();
    }
    option.QExit.Click.Raise(platform::vbLeftButton);
    fs::remove_all(file);

    // Written, but not a picture the decoder takes: the background stays too.
    {
        platform::Services services = platform::CurrentServices();
        testing_support::GifTestDecoder gifsOnly;
        services.pictures = &gifsOnly;
        platform::ServicesScope scope(services);
        core::FrmOption& again = Open();
        h.clock.Advance(100);
        EXPECT_EQ(again.Picture(), layout);
        EXPECT_EQ(Bytes(file).size(), 1314358u);
        again.QExit.Click.Raise(platform::vbLeftButton);
    }
}

// What goes wrong with the snapshot is said on stderr, naming the file.
TEST_F(SettingsWindowTest, SnapshotFailuresAreSaidOnStderr) {
    const fs::path file = Data() / "BlackGround.bmp";
    fs::create_directories(file / "keep");
    ::testing::internal::CaptureStderr();
    Open();
    h.clock.Advance(100);
    m_program.Option().QExit.Click.Raise(platform::vbLeftButton);
    fs::remove_all(file);
    testing_support::GifTestDecoder gifsOnly;  // takes no bitmap: the file written is not read
    platform::Services services = platform::CurrentServices();
    services.pictures = &gifsOnly;
    {
        platform::ServicesScope scope(services);
        Open();
        h.clock.Advance(100);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "loomhaven: cannot write " + file.string() +
                                                            "\nloomhaven: cannot read back " +
                                                            file.string() + "\n");
}

TEST_F(SettingsWindowTest, SnapshotReplacesALinkInsteadOfWritingThroughIt) {
    const fs::path victim = h.dir / "victim.txt";
    { std::ofstream(victim) << "precious"; }
    const fs::path file = Data() / "BlackGround.bmp";
    fs::create_symlink(victim, file);
    Open();
    h.clock.Advance(100);
    EXPECT_EQ(Bytes(victim), (std::vector<std::uint8_t>{'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
    EXPECT_FALSE(fs::is_symlink(file));
    EXPECT_EQ(Bytes(file).size(), 1314358u);
}

class InstalledSettingsWindowTest : public SettingsWindowTest {
  protected:
    InstalledSettingsWindowTest() : SettingsWindowTest(true) {}
};

TEST_F(InstalledSettingsWindowTest, PlaysTheBannersAndKeepsTheSnapshotInTheUsersDirectory) {
    core::FrmOption& option = Open();
    ASSERT_NE(option.GifPlay1.Gifs(), nullptr);
    EXPECT_EQ(option.GifPlay1.Gifs()->FileName(), (h.UserData() / "102.gif").string());
    EXPECT_GT(option.GifPlay1.GetFrameNum(), 1);
    h.clock.Advance(100);
    EXPECT_EQ(Bytes(h.UserData() / "BlackGround.bmp").size(), 1314358u);
    EXPECT_NE(option.Picture(), core::LayoutPicture("FrmOption.bmp"));  // read back from there
    EXPECT_FALSE(fs::exists(m_pictures_dir / "BlackGround.bmp"));
    EXPECT_FALSE(fs::exists(h.AppPath() / "data"));
    // The close button's pictures are the ones that came with the program.
    EXPECT_EQ(core::DataFile("Exit_up.png", platform::DataAccess::Read),
              m_pictures_dir / "Exit_up.png");
}

// No user data directory: the window opens with its background and no banner, and the
// start-up's one line on stderr is all that is said.
TEST(InstalledWithoutUserDirectoryTest, OpensWithoutABannerAndSaysNothingMore) {
    Harness h;
    h.MakeInstalledPictures();
    WriteFile(h.UserDataHome(), "a file where the user's data directory should be");
    TestPictures pictures;
    platform::Services services = platform::CurrentServices();
    services.pictures = &pictures;
    platform::ServicesScope scope(services);
    core::Program program;
    ::testing::internal::CaptureStderr();
    program.Start();
    h.windows.choose = "Setting";
    program.Main().MouseMove.Raise(0, 0, platform::WM_RBUTTONUP * 15.0f, 0);
    core::FrmOption& option = program.Option();
    h.clock.Advance(5100);  // the snapshot's tick and one rotation
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(option.IsLoaded());
    EXPECT_EQ(option.GifPlay1.Gifs(), nullptr);  // nothing was ever played
    EXPECT_EQ(option.Picture(), core::LayoutPicture("FrmOption.bmp"));
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_FALSE(h.process.HasEnded());
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

// One channel of a constant-alpha blend of 150.
gdi::Pixel Blend150(gdi::Pixel window, gdi::Pixel box) {
    gdi::Pixel out = 0xFF000000u;
    for (int shift : {0, 8, 16}) {
        const std::uint32_t w = (window >> shift) & 0xFF;
        const std::uint32_t b = (box >> shift) & 0xFF;
        out |= ((w * 150 + b * 105 + 127) / 255) << shift;
    }
    return out;
}

TEST_F(SettingsWindowTest, EveryActivationBlendsThePanelAgainAtOneHundredAndFifty) {
    core::FrmOption& option = Open();
    ASSERT_TRUE(option.Picture1.AutoRedraw());
    const gdi::Pixel grey = 0xFFF0F0F0u;
    // The panel stands at (119, 42): its pixel (x, y) lies over the window's (x + 119, y + 42).
    const std::vector<std::pair<int, int>> points = {{10, 10}, {650, 461}, {300, 400}};
    std::vector<gdi::Pixel> expected;
    for (const auto& [x, y] : points) {
        // The first activation came when the window opened.
        expected.push_back(Blend150(option.Image()->At(x + 119, y + 42), grey));
    }
    for (int k = 1; k <= 4; ++k) {
        for (size_t i = 0; i < points.size(); ++i) {
            const auto [x, y] = points[i];
            EXPECT_EQ(option.Picture1.Image()->At(x, y), expected[i])
                << "activation " << k << " at " << x << "," << y;
            expected[i] = Blend150(option.Image()->At(x + 119, y + 42), expected[i]);
        }
        option.Activate.Raise();
    }
}

TEST_F(SettingsWindowTest, RoundedCornersAndDraggingByTheFreeSurface) {
    core::FrmOption& option = Open();
    testing_support::ExpectRoundedCorners(option, 773, 527);

    h.windows.moves.clear();
    option.MouseDown.Raise(platform::vbLeftButton, 0, 300 * 15.0f, 20 * 15.0f);   // title strip
    option.MouseDown.Raise(platform::vbRightButton, 0, 50 * 15.0f, 300 * 15.0f);  // left margin
    EXPECT_EQ(h.windows.moves, (std::vector<std::string>{"FrmOption", "FrmOption"}));
}

}  // namespace
