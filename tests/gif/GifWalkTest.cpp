// SPDX-License-Identifier: MIT
// The splitter: the walk over the blocks, the frame tables, the frame files and the temporary
// directory.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <set>

#include "GifTestBase.h"
#include "platform/Kernel.h"

namespace gif_tests {
namespace {

using core::clsGifs;

// A two-colour image of w x h whose pixels are all `index`.
std::vector<std::uint8_t> Solid(int w, int h, std::uint8_t index) {
    return std::vector<std::uint8_t>(static_cast<size_t>(w * h), index);
}

std::vector<std::uint8_t> Tail() {
    return {0x00, 0x21, 0xF9, 0x3B};
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, int from, int to) {
    // 1-based positions from..to, both included
    return {bytes.begin() + (from - 1), bytes.begin() + to};
}

class GifWalkTest : public GifTest {};

TEST_F(GifWalkTest, SignaturesOnlyTheFirstFourBytesCount) {
    struct Case {
        std::string signature;
        size_t frames;
    };
    const Case cases[] = {
        {"GIF87a", 1},    {"GIF89a", 1}, {"GIF8xx", 1}, {std::string("GIF8\0\0", 6), 1},
        {"GIF9a\x01", 0}, {"gif89a", 0}, {"GIf89a", 0},
    };
    for (const Case& c : cases) {
        GifBuilder b;
        b.Header(2, 1, kFour, c.signature).Image(0, 0, 2, 1, {0, 1}).Trailer();
        clsGifs gif;
        m_decoder.Forget();
        Walk(gif, b);
        EXPECT_EQ(gif.FrameStart().size(), c.frames) << c.signature;
        EXPECT_EQ(m_decoder.SeenFiles().size(), c.frames) << c.signature;
    }
}

TEST_F(GifWalkTest, ShortAndEmptyFilesGiveNothing) {
    const std::vector<std::vector<std::uint8_t>> cases = {
        {},
        {'G'},
        {'G', 'I', 'F'},
        {'G', 'I', 'F', '8'},
        {'G', 'I', 'F', '8', '9', 'a', 2, 0},
        {'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x80, 0, 0, 1, 2},  // the table is cut
    };
    for (const auto& bytes : cases) {
        clsGifs gif;
        Walk(gif, bytes);
        EXPECT_TRUE(gif.FrameStart().empty()) << bytes.size() << " bytes";
        EXPECT_EQ(gif.Canvas(), nullptr);
        std::vector<std::int32_t> delays{42};
        EXPECT_EQ(gif.GetDelayTime(delays), 0);
        EXPECT_EQ(delays, std::vector<std::int32_t>{42}) << "left as it was";
    }
    EXPECT_TRUE(m_decoder.SeenFiles().empty());
}

TEST_F(GifWalkTest, MissingFileOrNoNameBuildsNothing) {
    clsGifs gif;
    gif.InitDC(nullptr, (m_data / "absent.gif").string(), 0);
    gif.fGifBreakOutFrames();
    gif.InitDC(nullptr, "", 0);
    gif.fGifBreakOutFrames();
    EXPECT_TRUE(gif.FrameStart().empty());
    EXPECT_TRUE(gif.FileBytes().empty());
    EXPECT_FALSE(gif.fGifBreakOutFrames()) << "the walk always answers false";
}

TEST_F(GifWalkTest, OneImageIsRecordedAndLoaded) {
    GifBuilder b;
    b.Header(3, 2, kFour);
    const int start = b.Pos();
    EXPECT_EQ(start, 14 + 12);
    b.Control(0, -1, 35).Image(0, 0, 3, 2, {0, 1, 2, 3, 2, 1}).Trailer();
    clsGifs gif;
    Walk(gif, b);
    EXPECT_EQ(gif.FrameStart(), std::vector<std::int32_t>{start});
    EXPECT_EQ(gif.FrameEnd(), std::vector<std::int32_t>{b.LastTerminator()});
    EXPECT_EQ(gif.FrameCount(), 0);
    EXPECT_EQ(gif.LastFrame(), 0);
    ASSERT_EQ(gif.FramePics().size(), 1u);
    ASSERT_NE(gif.FramePics()[0], nullptr);
    EXPECT_EQ(gif.FramePics()[0]->Width(), 3);
    EXPECT_EQ(gif.ScreenWidth(), 3);
    EXPECT_EQ(gif.ScreenHeight(), 2);
    EXPECT_TRUE(gif.HasGlobalTable());
    EXPECT_EQ(gif.GlobalTableBits(), 1);
    // Still counted as nothing to animate; its delay is handed out for the still picture.
    std::vector<std::int32_t> delays;
    EXPECT_EQ(gif.GetDelayTime(delays), 0);
    EXPECT_EQ(delays, std::vector<std::int32_t>{35});
}

TEST_F(GifWalkTest, TwoImagesWithoutGlobalTable) {
    GifBuilder b;
    b.Header(2, 2);
    EXPECT_EQ(b.Pos(), 14);
    b.Control(1, -1, 7).Image(0, 0, 2, 2, Solid(2, 2, 1), kFour);
    const int firstEnd = b.LastTerminator();
    b.Image(0, 0, 1, 1, {2}, kFour).Trailer();
    clsGifs gif;
    Walk(gif, b);
    EXPECT_EQ(gif.FrameStart(), (std::vector<std::int32_t>{14, firstEnd + 1}));
    EXPECT_EQ(gif.FrameEnd(), (std::vector<std::int32_t>{firstEnd, b.LastTerminator()}));
    EXPECT_EQ(gif.FrameCount(), 2);
    EXPECT_EQ(gif.LastFrame(), 1);
    EXPECT_EQ(gif.Disposal(), (std::vector<std::uint8_t>{1, 0}));
    // Each frame's own delay, 0 without a graphic control extension.
    std::vector<std::int32_t> delays;
    EXPECT_EQ(gif.GetDelayTime(delays), 1);
    EXPECT_EQ(delays, (std::vector<std::int32_t>{7, 0}));
}

TEST_F(GifWalkTest, FullGlobalTableMovesTheFirstFrameTo782) {
    std::vector<Rgb> table(256);
    for (int i = 0; i < 256; ++i) {
        table[static_cast<size_t>(i)] = {static_cast<std::uint8_t>(i), 0, 0};
    }
    GifBuilder b;
    b.Header(1, 1, table).Image(0, 0, 1, 1, {200}, {}, 8).Image(0, 0, 1, 1, {7}, {}, 8).Trailer();
    clsGifs gif;
    Walk(gif, b);
    ASSERT_EQ(gif.FrameStart().size(), 2u);
    EXPECT_EQ(gif.FrameStart()[0], 782);
    EXPECT_EQ(gif.GlobalTable()[3 * 200], 200);
}

TEST_F(GifWalkTest, ExtensionsAreSteppedOver) {
    struct Case {
        const char* name;
        std::function<void(GifBuilder&)> add;
    };
    const Case cases[] = {
        {"loop", [](GifBuilder& b) { b.Loop(0); }},
        {"comment of two blocks",
         [](GifBuilder& b) {
             b.Comment({"hello", "again,;!"});
         }},
        {"empty comment", [](GifBuilder& b) { b.Comment({}); }},
        {"plain text", [](GifBuilder& b) { b.PlainText("hi"); }},
        {"all of them", [](GifBuilder& b) { b.Comment({"x"}).PlainText("t").Loop(3); }},
        // The scan looks at bytes one by one: an unknown extension is fine while its data holds
        // none of the block bytes.
        {"unknown label",
         [](GifBuilder& b) {
             b.Raw({0x21, 0x99, 0x02, 0x10, 0x11, 0x00});
         }},
        {"filler bytes",
         [](GifBuilder& b) {
             b.Raw({0x00, 0x05, 0x07});
         }},
    };
    for (const Case& c : cases) {
        GifBuilder b;
        b.Header(2, 1, kFour);
        const int start = b.Pos();
        c.add(b);
        b.Control(0, -1, 4).Image(0, 0, 2, 1, {1, 2});
        b.Comment({"between"});
        const int second = b.LastTerminator() + 1;
        b.Control(0, -1, 9).Image(0, 0, 2, 1, {3, 0}).Trailer();
        clsGifs gif;
        Walk(gif, b);
        EXPECT_EQ(gif.FrameStart(), (std::vector<std::int32_t>{start, second})) << c.name;
        std::vector<std::int32_t> delays;
        gif.GetDelayTime(delays);
        EXPECT_EQ(delays, (std::vector<std::int32_t>{4, 9})) << c.name;
        EXPECT_EQ(gif.FramePics().size(), 2u) << c.name;
    }
}

// Every frame file is the header, everything between the previous image and this image's
// terminator, and the four closing bytes.
TEST_F(GifWalkTest, FrameFilesHoldHeaderBodyAndTail) {
    GifBuilder b;
    b.Header(4, 2, kFour);
    const int header = b.Pos() - 1;
    b.Loop(0).Control(0, -1, 10).Image(0, 0, 4, 2, Solid(4, 2, 1));
    const int end0 = b.LastTerminator();
    b.Comment({"c"}).Control(2, -1, 10).Image(1, 0, 2, 1, {2, 3}, kFour);
    const int end1 = b.LastTerminator();
    b.Control(0, -1, 10).Image(0, 1, 1, 1, {0}).Trailer();
    const int end2 = b.LastTerminator();
    clsGifs gif;
    Walk(gif, b);
    const auto& bytes = b.Bytes();
    const std::vector<std::pair<int, int>> bodies = {
        {header + 1, end0 - 1}, {end0 + 1, end1 - 1}, {end1 + 1, end2 - 1}};
    ASSERT_EQ(m_decoder.SeenFiles().size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        std::vector<std::uint8_t> want = Slice(bytes, 1, header);
        const auto body = Slice(bytes, bodies[k].first, bodies[k].second);
        want.insert(want.end(), body.begin(), body.end());
        const auto tail = Tail();
        want.insert(want.end(), tail.begin(), tail.end());
        EXPECT_EQ(m_decoder.SeenFiles()[k].bytes, want) << "frame " << k;
    }
    // Frame 1 is decoded from its own rectangle.
    EXPECT_EQ(gif.FramePics()[1]->Width(), 2);
    EXPECT_EQ(gif.FramePics()[1]->Height(), 1);
}

TEST_F(GifWalkTest, FrameFilesAreOwnerOnlyInTheTemporaryDirectoryAndThenGone) {
    GifBuilder b;
    b.Header(1, 1, kFour);
    for (int k = 0; k < 124; ++k) {
        b.Image(0, 0, 1, 1, {static_cast<std::uint8_t>(k % 4)});
    }
    b.Trailer();
    clsGifs gif;
    Walk(gif, b);
    ASSERT_EQ(m_decoder.SeenFiles().size(), 124u);
    for (size_t k = 0; k < 124; ++k) {
        const auto& seen = m_decoder.SeenFiles()[k];
        const std::filesystem::path path(seen.path);
        EXPECT_EQ(path.parent_path(), m_tmp.path());
        const std::string name = path.filename().string();
        // A blank and the frame number, cut to three characters, a hexadecimal number, ".GIF".
        const std::string prefix = (" " + std::to_string(k)).substr(0, 3);
        EXPECT_EQ(name.substr(0, prefix.size()), prefix) << name;
        const std::string number = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        EXPECT_FALSE(number.empty());
        EXPECT_EQ(number.find_first_not_of("0123456789ABCDEF"), std::string::npos) << name;
        EXPECT_EQ(name.substr(name.size() - 4), ".GIF");
        EXPECT_TRUE(seen.regularFile);
        EXPECT_EQ(seen.mode, 0600u) << name;
    }
    EXPECT_EQ(gif.LastFrame(), 123);
    // The temporary directory is checked empty when the test ends.
}

// The number the next temporary name will take: names are handed out in turn from the last one.
unsigned NextTempNumber(const std::filesystem::path& dir) {
    char name[platform::MAX_PATH];
    const unsigned number = platform::GetTempFileNameA(dir.c_str(), "nx", 0, name);
    platform::DeleteFileA(name);
    return number % 0xFFFF + 1;
}

std::filesystem::path FrameName(const std::filesystem::path& dir, unsigned number) {
    char name[64];
    std::snprintf(name, sizeof name, " 0%X.GIF", number);
    return dir / name;
}

// Someone who can write to the temporary directory has put links at the names the frame file
// would take next: nothing is written through them, and after a few tries the walk gives up.
TEST_F(GifWalkTest, PlantedLinksAreNeverFollowed) {
    const auto victim = m_data / "victim";
    testing_support::WriteFile(victim, "precious");
    const unsigned next = NextTempNumber(m_tmp.path());
    std::vector<std::filesystem::path> links;
    for (unsigned n = next; n < next + 64; ++n) {
        links.push_back(FrameName(m_tmp.path(), (n - 1) % 0xFFFF + 1));
        ASSERT_EQ(::symlink(victim.c_str(), links.back().c_str()), 0);
    }
    GifBuilder b;
    b.Header(1, 1, kFour).Image(0, 0, 1, 1, {1}).Image(0, 0, 1, 1, {2}).Trailer();
    clsGifs gif;
    Walk(gif, b);
    EXPECT_TRUE(m_decoder.SeenFiles().empty());
    EXPECT_TRUE(gif.FramePics().empty());
    EXPECT_EQ(gif.Canvas(), nullptr);
    EXPECT_EQ(testing_support::ReadFile(victim), "precious");
    EXPECT_EQ(Listing(m_tmp.path()).size(), links.size()) << "only the links are there";
    for (const auto& link : links) {
        std::filesystem::remove(link);
    }
}

// A name found taken is passed over for the next free one.
TEST_F(GifWalkTest, TakenNamesArePassedOver) {
    const unsigned next = NextTempNumber(m_tmp.path());
    const auto taken = FrameName(m_tmp.path(), next);
    testing_support::WriteFile(taken, "someone else's");
    GifBuilder b;
    b.Header(1, 1, kFour).Image(0, 0, 1, 1, {1}).Trailer();
    clsGifs gif;
    Walk(gif, b);
    ASSERT_EQ(m_decoder.SeenFiles().size(), 1u);
    EXPECT_EQ(m_decoder.SeenFiles()[0].path, FrameName(m_tmp.path(), next % 0xFFFF + 1));
    EXPECT_NE(gif.FramePics()[0], nullptr);
    EXPECT_EQ(testing_support::ReadFile(taken), "someone else's");
    EXPECT_EQ(Listing(m_tmp.path()).size(), 1u);
    std::filesystem::remove(taken);
}

// Without a usable temporary directory nothing is written anywhere else.
TEST_F(GifWalkTest, NoTemporaryDirectoryNoFrames) {
    const TempDir cwd;
    const auto oldCwd = std::filesystem::current_path();
    std::filesystem::current_path(cwd.path());
    for (const std::string& dir :
         {(m_tmp.path() / "missing").string(), std::string("/proc/self")}) {
        testing_support::ScopedEnv tmp("TMPDIR", dir);
        GifBuilder b;
        b.Header(1, 1, kFour).Image(0, 0, 1, 1, {1}).Image(0, 0, 1, 1, {2}).Trailer();
        clsGifs gif;
        Walk(gif, b);
        EXPECT_TRUE(gif.FramePics().empty()) << dir;
        EXPECT_EQ(gif.FrameStart().size(), 2u) << "recorded, but not loaded";
        EXPECT_EQ(gif.Canvas(), nullptr);
    }
    std::filesystem::current_path(oldCwd);
    EXPECT_TRUE(Listing(cwd.path()).empty());
    EXPECT_TRUE(m_decoder.SeenFiles().empty());
}

// A read beyond the end stops the walk: recorded frames stay in the tables, but no frame file is
// written, nothing is loaded and no canvas is made.
TEST_F(GifWalkTest, TruncatedFilesEndTheWalk) {
    GifBuilder b;
    b.Header(2, 1, kFour).Comment({"abc", "de"});
    const int commentEnd = b.Pos() - 1;
    b.Control(0, 3, 5).Image(0, 0, 2, 1, {1, 2});
    const int end0 = b.LastTerminator();
    b.Control(0, -1, 5);
    const int gceEnd = b.Pos() - 1;
    b.Image(0, 0, 2, 1, {3, 3}, kFour);
    const int end1 = b.LastTerminator();
    b.Trailer();
    struct Case {
        int keep;  // bytes kept from the start
        size_t recorded;
    };
    const Case cases[] = {
        {12, 0},               // inside the logical screen descriptor
        {20, 0},               // inside the global table
        {commentEnd - 2, 0},   // the comment's chain runs off the end
        {commentEnd + 5, 0},   // inside the graphic control extension
        {commentEnd + 12, 0},  // inside the first image descriptor
        {end0 - 1, 0},         // inside the first image's data
        {end0 + 3, 1},         // inside the next graphic control extension
        {gceEnd + 4, 1},       // inside the next image descriptor
        {gceEnd + 13, 1},      // inside its local table
        {end1 - 1, 1},         // inside its data
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes(b.Bytes().begin(), b.Bytes().begin() + c.keep);
        clsGifs gif;
        m_decoder.Forget();
        Walk(gif, bytes);
        EXPECT_EQ(gif.FrameStart().size(), c.recorded) << "cut after " << c.keep;
        EXPECT_TRUE(m_decoder.SeenFiles().empty()) << "cut after " << c.keep;
        EXPECT_TRUE(gif.FramePics().empty());
        EXPECT_EQ(gif.Canvas(), nullptr);
    }
}

// A file whose last image is whole keeps its frames when only the trailer is missing, or when a
// stray byte or two follow the image.
TEST_F(GifWalkTest, MissingTrailerKeepsTheFrames) {
    const std::vector<std::vector<int>> endings = {{}, {0x00}, {0x07, 0x07}, {0x3B, 0x00}};
    for (const auto& ending : endings) {
        GifBuilder b;
        b.Header(2, 1, kFour).Control(0, -1, 3).Image(0, 0, 2, 1, {1, 2});
        b.Control(0, -1, 3).Image(0, 0, 2, 1, {3, 0});
        for (int e : ending) {
            b.Raw({e});
        }
        clsGifs gif;
        GdiSurface target(2, 1);
        Walk(gif, b, target.Dc());
        EXPECT_EQ(gif.FramePics().size(), 2u) << ending.size() << " bytes after";
        EXPECT_NE(gif.Canvas(), nullptr);
        std::vector<std::int32_t> delays;
        EXPECT_EQ(gif.GetDelayTime(delays), 1);
    }
    // The graphic control extension of a frame that never comes is whole too.
    GifBuilder b;
    b.Header(2, 1, kFour).Image(0, 0, 2, 1, {1, 2}).Image(0, 0, 2, 1, {3, 0}).Control(0, -1, 3);
    clsGifs gif;
    Walk(gif, b);
    EXPECT_EQ(gif.FramePics().size(), 2u);
}

// The duplicate check: when the transparent entry's colour is also at another entry, the
// transparent entry becomes half of the running second-largest colour, in the table and in the
// bytes that go into the frame files.
TEST_F(GifWalkTest, DuplicateTransparentColourIsChanged) {
    struct Case {
        const char* name;
        std::vector<Rgb> table;
        int transparent;
        Rgb want;
    };
    const Case cases[] = {
        // second largest 10: half is 5
        {"duplicate", {{0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {0, 1, 0}}, 2, {5, 0, 0}},
        // 5 / 2 = 2.5 goes to the even 2, 7 / 2 = 3.5 to the even 4
        {"half to even down", {{0, 0, 0}, {5, 0, 0}, {5, 0, 0}, {0, 1, 0}}, 2, {2, 0, 0}},
        {"half to even up", {{0, 0, 0}, {7, 0, 0}, {7, 0, 0}, {0, 1, 0}}, 2, {4, 0, 0}},
        // packed colours compare as red + 256 green + 65536 blue
        {"blue counts most", {{255, 255, 0}, {0, 0, 2}, {255, 255, 0}, {1, 0, 0}}, 0, {0, 128, 0}},
        {"no duplicate", {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}, 1, {4, 5, 6}},
    };
    for (const Case& c : cases) {
        for (const bool local : {false, true}) {
            GifBuilder b;
            b.Header(2, 1, local ? std::vector<Rgb>{} : c.table).Control(0, c.transparent);
            const int tablePos = local ? b.Pos() + 10 : 14;
            b.Image(0, 0, 2, 1, {0, 1}, local ? c.table : std::vector<Rgb>{}).Trailer();
            const std::vector<std::uint8_t> original = b.Bytes();
            clsGifs gif;
            m_decoder.Forget();
            Walk(gif, b);
            const auto& table = local ? gif.LocalTable() : gif.GlobalTable();
            const size_t t = static_cast<size_t>(c.transparent) * 3;
            const std::string what = std::string(c.name) + (local ? " (local)" : " (global)");
            EXPECT_EQ(table[t], c.want.r) << what;
            EXPECT_EQ(table[t + 1], c.want.g) << what;
            EXPECT_EQ(table[t + 2], c.want.b) << what;
            std::vector<std::uint8_t> changed = original;
            changed[static_cast<size_t>(tablePos - 1) + t] = c.want.r;
            changed[static_cast<size_t>(tablePos - 1) + t + 1] = c.want.g;
            changed[static_cast<size_t>(tablePos - 1) + t + 2] = c.want.b;
            EXPECT_EQ(gif.FileBytes(), changed) << what;
            ASSERT_EQ(m_decoder.SeenFiles().size(), 1u);
            const auto& frameFile = m_decoder.SeenFiles()[0].bytes;
            // The header and frame 0's body keep their positions in the frame file.
            const auto at = static_cast<size_t>(tablePos);
            EXPECT_EQ(frameFile[at - 1 + t], c.want.r) << what << " in the frame file";
            EXPECT_EQ(frameFile[at - 1 + t + 2], c.want.b) << what << " in the frame file";
        }
    }
}

// The running second-largest colour is not reset between frames of one walk; a frame without
// transparency leaves everything alone.
TEST_F(GifWalkTest, SecondColourCarriesOverBetweenFrames) {
    GifBuilder b;
    b.Header(1, 1);
    b.Control(0, 2).Image(0, 0, 1, 1, {0}, {{0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {0, 1, 0}});
    b.Control(0, -1).Image(0, 0, 1, 1, {0}, {{3, 3, 3}, {3, 3, 3}});
    // All black: nothing here is above 0, so the second colour stays 10 from the first frame.
    b.Control(0, 1).Image(0, 0, 1, 1, {0}, {{0, 0, 0}, {0, 0, 0}});
    b.Trailer();
    clsGifs gif;
    Walk(gif, b);
    EXPECT_EQ(gif.SecondColor(), 10);
    // The last local table seen: its transparent entry 1 became 10 / 2.
    EXPECT_EQ(gif.LocalTable()[3], 5);
    EXPECT_EQ(gif.LocalTable()[0], 0);
}

// Every walk starts the running second colour at 0: the player walks its banners one after
// another on one object, and a file's key colour must not depend on the files walked before it.
TEST_F(GifWalkTest, SecondColourStartsAtZeroInEveryWalk) {
    GifBuilder before;  // leaves the second colour at 10
    before.Header(1, 1).Control(0, 2);
    before.Image(0, 0, 1, 1, {0}, {{0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {0, 1, 0}}).Trailer();
    // All black: the transparent entry becomes half of what the walk starts with.
    GifBuilder black;
    black.Header(1, 1, {{0, 0, 0}, {0, 0, 0}}).Control(0, 1).Image(0, 0, 1, 1, {0});
    black.Control(0, 1).Image(0, 0, 1, 1, {1}).Trailer();

    clsGifs fresh;
    Walk(fresh, black);
    clsGifs reused;
    Walk(reused, before);
    ASSERT_EQ(reused.SecondColor(), 10);
    m_decoder.Forget();
    Walk(reused, black);
    EXPECT_EQ(reused.SecondColor(), 0);
    EXPECT_EQ(reused.GlobalTable(), fresh.GlobalTable());
    EXPECT_EQ(reused.GlobalTable()[3], 0) << "the key colour stays black";
    EXPECT_EQ(reused.FileBytes(), fresh.FileBytes());
    ASSERT_EQ(m_decoder.SeenFiles().size(), 2u);
    EXPECT_EQ(m_decoder.SeenFiles()[1].bytes[16], 0) << "the frame file's key entry";
}

TEST_F(GifWalkTest, ScreenSizesAreSixteenBitSigned) {
    GifBuilder b;
    b.Header(0x8001, 0xFFFF, kFour).Image(0, 0, 1, 1, {1}).Image(0, 0, 1, 1, {1}).Trailer();
    clsGifs gif;
    Walk(gif, b);
    EXPECT_EQ(gif.ScreenWidth(), -32767);
    EXPECT_EQ(gif.ScreenHeight(), -1);
    EXPECT_EQ(gif.FramePics().size(), 2u);
    EXPECT_EQ(gif.Canvas(), nullptr);  // the canvas cannot be made
}

TEST_F(GifWalkTest, MoreFramesThanTheCounterHoldsEndTheWalk) {
    GifBuilder b;
    b.Header(1, 1, kFour);
    for (int k = 0; k < 32768; ++k) {
        b.Image(0, 0, 1, 1, {0});
    }
    b.Trailer();
    clsGifs gif;
    Walk(gif, b);
    EXPECT_EQ(gif.FrameCount(), 32767);
    EXPECT_EQ(gif.FrameStart().size(), 32767u);
    EXPECT_TRUE(m_decoder.SeenFiles().empty());
}

// Every image costs a frame file written, decoded and deleted: a file with more images than
// kMaxFrameFiles is recorded but none of it is loaded, so nothing is drawn.
TEST_F(GifWalkTest, FilesWithTooManyImagesAreNotLoaded) {
    for (const std::size_t images : {clsGifs::kMaxFrameFiles, clsGifs::kMaxFrameFiles + 1}) {
        GifBuilder b;
        b.Header(1, 1, kFour);
        for (std::size_t k = 0; k < images; ++k) {
            b.Image(0, 0, 1, 1, {1});
        }
        b.Trailer();
        clsGifs gif;
        m_decoder.Forget();
        Walk(gif, b);
        const bool loaded = images <= clsGifs::kMaxFrameFiles;
        EXPECT_EQ(gif.FrameStart().size(), images);
        EXPECT_EQ(m_decoder.SeenFiles().size(), loaded ? images : 0u) << images;
        EXPECT_EQ(gif.FramePics().size(), loaded ? images : 0u) << images;
        EXPECT_EQ(gif.Canvas() != nullptr, loaded) << images;
    }
}

// A small file can declare many huge frames: the pictures of one file hold at most 2^21 pixels
// together, and the frame that would go beyond ends the walk like a frame that cannot be loaded.
// Sizes count up to 65535 either way.
TEST_F(GifWalkTest, FramePicturesHaveAPixelBudget) {
    m_decoder.SetDecodes(false);  // nothing is decoded: only what is asked for counts
    struct Case {
        int width;
        int height;
        size_t asked;  // frames handed to the decoder
    };
    const Case cases[] = {
        {1024, 512, 4},  // 2^19 each: four fill the budget
        {40000, 40, 1},  // 1.6 * 10^6
        {32, 65535, 1},  // just under 2^21
        {65535, 65535, 0},
    };
    for (const Case& c : cases) {
        GifBuilder b;
        b.Header(65535, 65535, kFour);
        for (int k = 0; k < 6; ++k) {
            b.Image(0, 0, c.width, c.height, {0});
        }
        b.Trailer();
        clsGifs gif;
        m_decoder.Forget();
        Walk(gif, b);
        const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height);
        EXPECT_EQ(gif.FrameStart().size(), 6u) << what;
        EXPECT_EQ(m_decoder.SeenFiles().size(), c.asked) << what;
        EXPECT_EQ(gif.FramePics().size(), c.asked) << what;
        EXPECT_EQ(gif.Canvas(), nullptr) << what;
    }
}

// A frame wider or taller than the logical screen is not decoded (no frame file is written for
// it): it could never be shown whole, and a small file can declare thousands of them. It keeps
// no picture and the frames around it play. A frame of a size that fits but placed across an
// edge of the screen is decoded, and drawn as far as it lies on the canvas.
TEST_F(GifWalkTest, FramesLargerThanTheScreenAreNotDecoded) {
    struct Case {
        const char* what;
        int left;
        int top;
        int width;
        int height;
        bool decoded;
    };
    const Case cases[] = {
        {"the screen's size", 0, 0, 4, 3, true},
        {"one pixel wider", 0, 0, 5, 3, false},
        {"one pixel taller", 0, 0, 4, 4, false},
        {"wider than 32767", 0, 0, 40000, 1, false},
        {"65535 tall", 0, 0, 1, 65535, false},
        {"across the right and bottom edges", 3, 2, 4, 3, true},
        {"wholly off the screen", 100, 100, 2, 2, true},
    };
    for (const Case& c : cases) {
        GifBuilder b;
        b.Header(4, 3, kFour).Image(0, 0, 1, 1, {1});
        b.Image(c.left, c.top, c.width, c.height, {2}).Image(0, 0, 1, 1, {3}).Trailer();
        GdiSurface target(4, 3);
        clsGifs gif;
        m_decoder.Forget();
        Walk(gif, b, target.Dc());
        ASSERT_EQ(gif.FramePics().size(), 3u) << c.what;
        EXPECT_EQ(gif.FramePics()[1] != nullptr, c.decoded) << c.what;
        EXPECT_EQ(m_decoder.SeenFiles().size(), c.decoded ? 3u : 2u) << c.what;
        EXPECT_NE(gif.FramePics()[2], nullptr) << c.what;
        EXPECT_NE(gif.Canvas(), nullptr) << c.what;
        std::vector<std::int32_t> delays;
        EXPECT_EQ(gif.GetDelayTime(delays), 2) << c.what;
    }
}

// A file over the size limit is not read: nothing of it is walked or kept.
TEST_F(GifWalkTest, FilesOverTheSizeLimitAreNotRead) {
    GifBuilder b;
    b.Header(1, 1, kFour).Image(0, 0, 1, 1, {1}).Image(0, 0, 1, 1, {2}).Trailer();
    for (const std::size_t size : {clsGifs::kMaxFileBytes, clsGifs::kMaxFileBytes + 1}) {
        std::vector<std::uint8_t> bytes = b.Bytes();
        bytes.resize(size, 0x00);  // after the trailer, never looked at
        clsGifs gif;
        m_decoder.Forget();
        Walk(gif, bytes);
        const bool read = size <= clsGifs::kMaxFileBytes;
        EXPECT_EQ(gif.FileBytes().size(), read ? size : 0u) << size;
        EXPECT_EQ(gif.FrameStart().size(), read ? 2u : 0u) << size;
        EXPECT_EQ(m_decoder.SeenFiles().size(), read ? 2u : 0u) << size;
    }
}

// Files may grow only up to `bytes` while it lives; writing beyond fails (with EFBIG, as a full
// disk fails with ENOSPC) instead of raising SIGXFSZ.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_old.rlim_max};
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// A frame file that cannot be written whole ends the walk like a frame that cannot be loaded:
// the frames before it stay loaded, no canvas is made, and nothing half-written is decoded or
// left behind.
TEST_F(GifWalkTest, AFrameFileThatCannotBeWrittenEndsTheWalk) {
    GifBuilder b;
    b.Header(1, 1, kFour).Image(0, 0, 1, 1, {1});
    // The second frame's file is the larger: its body holds the comment.
    b.Comment({std::string(200, 'x')}).Image(0, 0, 1, 1, {2}).Trailer();
    const std::filesystem::path file = m_data / "limited.gif";
    testing_support::WriteFile(file, b.String());
    std::size_t firstFile = 0;
    {
        clsGifs gif;
        gif.InitDC(nullptr, file.string(), 0);
        gif.fGifBreakOutFrames();
        ASSERT_EQ(m_decoder.SeenFiles().size(), 2u);
        firstFile = m_decoder.SeenFiles()[0].bytes.size();
    }
    struct Case {
        rlim_t limit;
        size_t loaded;
    };
    const Case cases[] = {{firstFile, 1}, {firstFile - 1, 0}, {10, 0}};
    for (const Case& c : cases) {
        clsGifs gif;
        m_decoder.Forget();
        gif.InitDC(nullptr, file.string(), 0);
        {
            const FileSizeLimit limit(c.limit);
            gif.fGifBreakOutFrames();
        }
        EXPECT_EQ(gif.FrameStart().size(), 2u) << "limit " << c.limit;
        EXPECT_EQ(gif.FramePics().size(), c.loaded) << "limit " << c.limit;
        EXPECT_EQ(m_decoder.SeenFiles().size(), c.loaded) << "limit " << c.limit;
        EXPECT_EQ(gif.Canvas(), nullptr) << "limit " << c.limit;
        EXPECT_EQ(Listing(m_tmp.path()), std::vector<std::string>{}) << "limit " << c.limit;
    }
}

// CleanUp empties the pictures and the columns, but keeps the start and end positions; it only
// acts after more than one frame was loaded.
TEST_F(GifWalkTest, CleanUpKeepsPositionsOnly) {
    GifBuilder b;
    b.Header(1, 1, kFour).Control(2, 1, 5).Image(0, 0, 1, 1, {1});
    b.Control(2, 1, 5).Image(0, 0, 1, 1, {2}).Trailer();
    clsGifs gif;
    Walk(gif, b);
    const auto starts = gif.FrameStart();
    gif.CleanUp();
    EXPECT_EQ(gif.FramePics().size(), 2u);
    EXPECT_EQ(gif.FramePics()[0], nullptr);
    EXPECT_EQ(gif.FramePics()[1], nullptr);
    EXPECT_TRUE(gif.Disposal().empty());
    EXPECT_TRUE(gif.FrameLeft().empty());
    EXPECT_TRUE(gif.Delay().empty());
    EXPECT_EQ(gif.FrameStart(), starts);
    // Delays are gone with the columns; their places read 0.
    std::vector<std::int32_t> delays;
    EXPECT_EQ(gif.GetDelayTime(delays), 1);
    EXPECT_EQ(delays, (std::vector<std::int32_t>{0, 0}));

    GifBuilder one;
    one.Header(1, 1, kFour).Image(0, 0, 1, 1, {1}).Trailer();
    clsGifs single;
    Walk(single, one);
    single.CleanUp();
    EXPECT_NE(single.FramePics()[0], nullptr) << "one frame: nothing to clean";
}

// A second walk on the same object replaces what the first one left: a frame without a graphic
// control extension has disposal 0 and no transparency, whatever the last file had.
TEST_F(GifWalkTest, ASecondWalkStartsClean) {
    GifBuilder first;
    first.Header(2, 1, kFour);
    for (int k = 0; k < 3; ++k) {
        first.Control(2, 1, 9).Image(0, 0, 2, 1, {0, 1});
    }
    first.Trailer();
    GifBuilder second;
    second.Header(2, 1, kFour).Image(0, 0, 2, 1, {2, 2}).Image(0, 0, 2, 1, {3, 3}).Trailer();
    GifBuilder single;
    single.Header(2, 1, kFour).Control(3, 0, 1).Image(0, 0, 2, 1, {2, 2}).Trailer();
    clsGifs gif;
    GdiSurface target(2, 1);
    for (const GifBuilder* b : {&first, &single, &second}) {
        Walk(gif, *b, target.Dc());
    }
    EXPECT_EQ(gif.FrameStart().size(), 2u);
    EXPECT_EQ(gif.Disposal(), (std::vector<std::uint8_t>{0, 0}));
    EXPECT_EQ(gif.HasTransparency(), (std::vector<bool>{false, false}));
    EXPECT_EQ(gif.Delay(), (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(gif.FramePics().size(), 2u);
}

// The names a killed walk can leave are known by name alone, and nothing else is taken for one.
TEST_F(GifWalkTest, FrameFilesAreKnownByTheirNames) {
    GifBuilder b;
    b.Header(1, 1, kFour);
    for (int k = 0; k < 14; ++k) {  // frame numbers of one and of two digits
        b.Image(0, 0, 1, 1, {static_cast<std::uint8_t>(k % 4)});
    }
    b.Trailer();
    clsGifs gif;
    Walk(gif, b);
    ASSERT_GE(m_decoder.SeenFiles().size(), 12u);
    for (const auto& seen : m_decoder.SeenFiles()) {
        const std::string name = std::filesystem::path(seen.path).filename().string();
        EXPECT_TRUE(clsGifs::IsFrameFileName(name)) << "'" << name << "'";
        // The name that reserved it, before it took the ".GIF" ending.
        EXPECT_TRUE(clsGifs::IsFrameFileName(name.substr(0, name.size() - 4) + ".TMP")) << name;
    }
    struct Case {
        const char* name;
        bool expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             {" 01.GIF", true},
             {" 0FFFF.GIF", true},
             {" 12FFFF.GIF", true},
             {" 99A.TMP", true},
             {" 0.GIF", false},        // no serial
             {" 0FFFFF.GIF", false},   // a serial of five digits after one digit
             {" 123FFFF.GIF", false},  // too long
             {" A1.GIF", false},       // the prefix is a number
             {" 0ab.GIF", false},      // serials are upper case
             {"01.GIF", false},        // no blank
             {" 01.gif", false},
             {" 01.GIF.bak", false},
             {" 01.PNG", false},
             {"  01.GIF", false},
             {"101.gif", false},  // a banner
             {".Windows.INI.a1B2c3", false},
         }) {
        EXPECT_EQ(clsGifs::IsFrameFileName(c.name), c.expected) << "'" << c.name << "'";
    }
}

}  // namespace
}  // namespace gif_tests
