// SPDX-License-Identifier: MIT
// The public GIF decoder test suite (tests/data/gif-test-suite): every file is walked and every
// frame drawn without a failure, a leak or a file left behind; frame counts, delays and pixels
// are compared with the suite's expectations where this program's compositor agrees with them.
#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "GifTestBase.h"

namespace gif_tests {
namespace {

const std::filesystem::path kSuite = std::filesystem::path(LOOMHAVEN_TEST_DATA) / "gif-test-suite";

// One test of the suite as its .conf file describes it.
struct Expected {
    std::string input;
    int width = 0;
    int height = 0;
    std::vector<std::string> framePixels;  // an .rgba file per frame
    std::vector<int> delays;
    // Every image is a frame even without a graphic control extension.
    bool forceAnimation = false;
};

std::string Trim(std::string s) {
    const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
    s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
    return s;
}

Expected ReadConf(const std::string& name) {
    std::ifstream in(kSuite / (name + ".conf"));
    std::map<std::string, std::map<std::string, std::string>> sections;
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const auto eq = line.find('=');
        if (eq != std::string::npos) {
            sections[section][Trim(line.substr(0, eq))] = Trim(line.substr(eq + 1));
        }
    }
    Expected e;
    auto& config = sections["config"];
    e.input = config["input"];
    e.width = config["width"].empty() ? 0 : std::stoi(config["width"]);
    e.height = config["height"].empty() ? 0 : std::stoi(config["height"]);
    e.forceAnimation = config["force-animation"] == "yes";
    std::stringstream frames(config["frames"]);
    std::string frame;
    while (std::getline(frames, frame, ',')) {
        frame = Trim(frame);
        if (frame.empty()) {
            continue;
        }
        e.framePixels.push_back(sections[frame]["pixels"]);
        const std::string delay = sections[frame]["delay"];
        e.delays.push_back(delay.empty() ? 0 : std::stoi(delay));
    }
    return e;
}

std::vector<std::string> SuiteTests() {
    std::ifstream in(kSuite / "TESTS");
    std::vector<std::string> names;
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (!line.empty()) {
            names.push_back(line);
        }
    }
    return names;
}

std::vector<std::string> SuiteGifs() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(kSuite)) {
        if (entry.path().extension() == ".gif") {
            files.push_back(entry.path().filename().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class GifSuiteTest : public GifTest {
  protected:
    void Open(core::clsGifs& gif, const std::string& file, platform::gdi::HDC target) {
        gif.InitDC(target, (kSuite / file).string(), RGB(1, 2, 3));
        gif.fGifBreakOutFrames();
    }
};

TEST_F(GifSuiteTest, TheSuiteIsThere) {
    EXPECT_EQ(SuiteGifs().size(), 84u);
    EXPECT_EQ(SuiteTests().size(), 84u);
}

// Whatever a file holds, walking it and drawing every frame is safe.
TEST_F(GifSuiteTest, EveryFileWalksAndDraws) {
    for (const std::string& file : SuiteGifs()) {
        SCOPED_TRACE(file);
        {
            GdiSurface target(64, 64);
            core::clsGifs gif;
            Open(gif, file, target.Dc());
            std::vector<std::int32_t> delays;
            const std::int32_t last = gif.GetDelayTime(delays);
            for (std::int32_t k = 0; k <= last + 1; ++k) {
                gif.RenderGif();
            }
            std::int32_t named = 1000;
            gif.RenderGif(named);
            // The same object takes the next file as well.
            Open(gif, file, target.Dc());
            gif.RenderGif();
        }
        ASSERT_EQ(Listing(m_tmp.path()), std::vector<std::string>{});
        ASSERT_EQ(platform::gdi::LiveObjectCount(), m_live);
    }
}

// Files this compositor draws differently from a browser, and why.
const std::map<std::string, std::string> kDrawnDifferently = {
    {"dispose-restore-previous", "disposal 3 restores nothing here"},
};

// Frame counts, delays and the pixels a browser shows opaque. A browser shows an image without a
// delay together with the images that follow, up to one with a delay or the last one (unless the
// suite says the file is animated anyway); here every image is a frame of its own, so the image
// that ends such a group shows what the browser's frame shows.
TEST_F(GifSuiteTest, FramesDelaysAndPixels) {
    int compared = 0;
    for (const std::string& name : SuiteTests()) {
        SCOPED_TRACE(name);
        const Expected e = ReadConf(name);
        if (!std::filesystem::exists(kSuite / e.input)) {
            continue;  // the tests without a file of their own
        }
        if (e.width > 16384 || e.height > 16384) {
            continue;  // no canvas
        }
        GdiSurface target(std::max(e.width, 1), std::max(e.height, 1));
        core::clsGifs gif;
        Open(gif, e.input, target.Dc());
        std::vector<std::int32_t> delays;
        const std::int32_t last = gif.GetDelayTime(delays);
        if (e.framePixels.empty() || gif.FramePics().empty()) {
            continue;  // nothing a decoder shows
        }
        ASSERT_EQ(delays.size(), static_cast<size_t>(last) + 1);
        std::vector<std::int32_t> groupEnds;
        for (size_t i = 0; i < delays.size(); ++i) {
            if (delays[i] > 0 || e.forceAnimation || i + 1 == delays.size()) {
                groupEnds.push_back(static_cast<std::int32_t>(i));
            }
        }
        ASSERT_EQ(groupEnds.size(), e.framePixels.size());
        for (size_t f = 0; f < groupEnds.size(); ++f) {
            EXPECT_EQ(delays[static_cast<size_t>(groupEnds[f])], e.delays[f]) << "frame " << f;
        }
        if (kDrawnDifferently.count(name) != 0) {
            continue;
        }
        std::int32_t drawn = 0;
        for (size_t f = 0; f < e.framePixels.size(); ++f) {
            for (; drawn <= groupEnds[f]; ++drawn) {
                std::int32_t frame = drawn;
                gif.RenderGif(frame);
            }
            const std::string rgba = testing_support::ReadFile(kSuite / e.framePixels[f]);
            ASSERT_EQ(rgba.size(), static_cast<size_t>(e.width) * e.height * 4);
            int mismatches = 0;
            for (int y = 0; y < e.height; ++y) {
                for (int x = 0; x < e.width; ++x) {
                    const size_t at = (static_cast<size_t>(y) * e.width + x) * 4;
                    if (static_cast<unsigned char>(rgba[at + 3]) != 0xFF) {
                        continue;  // a browser shows nothing there; this canvas its background
                    }
                    const Pixel want = ToPixel(RGB(static_cast<std::uint8_t>(rgba[at]),
                                                   static_cast<std::uint8_t>(rgba[at + 1]),
                                                   static_cast<std::uint8_t>(rgba[at + 2])));
                    mismatches += target.At(x, y) != want ? 1 : 0;
                }
            }
            EXPECT_EQ(mismatches, 0) << "frame " << f;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 97) << "frames compared";
}

}  // namespace
}  // namespace gif_tests
