// SPDX-License-Identifier: MIT
// The committed pictures, checked field by field against what the windows, the tray and the
// banner player expect of them. The files are read with the small parsers of AssetParsers.h,
// never by drawing them again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <string>

#include "AssetParsers.h"

namespace {

namespace ap = asset_parsers;

std::filesystem::path SourceFile(const std::string& relative) {
    return std::filesystem::path(LOOMHAVEN_SOURCE_DIR) / relative;
}

double Luma(const ap::Rgba& p) {
    return 0.299 * p.r + 0.587 * p.g + 0.114 * p.b;
}

struct MeanColour {
    double r = 0;
    double g = 0;
    double b = 0;
};

MeanColour Mean(const ap::Pixels& pixels, int x0, int y0, int x1, int y1) {
    MeanColour m;
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const ap::Rgba& p = pixels.At(x, y);
            m.r += p.r;
            m.g += p.g;
            m.b += p.b;
            ++n;
        }
    }
    m.r /= n;
    m.g /= n;
    m.b /= n;
    return m;
}

// ---------------------------------------------------------------------------------------------
// Every picture: format, size in pixels, depth, colour type and, where the structure fixes
// it, the size in bytes.

enum class Format { Bmp, Ico, Png, Gif };

struct PictureCase {
    const char* file;
    Format format;
    int width;
    int height;
    int bitsPerPixel;   // BMP: per pixel; PNG: per pixel (8 per channel); GIF: table index
    int pngColourType;  // 4 grey+alpha, 6 RGBA; -1 when not a PNG
    std::size_t bytes;  // 0 when the content decides
};

const PictureCase kPictures[] = {
    {"assets/FrmMain.bmp", Format::Bmp, 960, 600, 24, -1, 1728054},
    {"assets/FrmOption.bmp", Format::Bmp, 805, 544, 24, -1, 1314358},
    {"assets/Loomhaven.ico", Format::Ico, 48, 48, 32, -1, 22486},
    {"assets/QExit.png", Format::Png, 44, 24, 32, 6, 0},
    {"assets/Monitor.png", Format::Png, 24, 24, 16, 4, 0},
    {"assets/Padlock.png", Format::Png, 24, 24, 16, 4, 0},
    {"assets/Plate.png", Format::Png, 460, 310, 32, 6, 0},
    {"assets/101.gif", Format::Gif, 660, 81, 8, -1, 0},
    {"assets/102.gif", Format::Gif, 728, 90, 8, -1, 0},
    {"assets/103.gif", Format::Gif, 728, 90, 8, -1, 0},
    {"data/image/Exit_up.png", Format::Png, 44, 24, 32, 6, 0},
    {"data/image/Exit_move.png", Format::Png, 44, 24, 32, 6, 0},
    {"data/image/Exit_down.png", Format::Png, 44, 24, 32, 6, 0},
};

void PrintTo(const PictureCase& c, std::ostream* os) {
    *os << c.file;
}

class PictureFileTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PictureFileTest, MatchesItsDescription) {
    const PictureCase& c = GetParam();
    ap::Bytes bytes;
    ASSERT_NO_THROW(bytes = ap::ReadBytes(SourceFile(c.file)));
    if (c.bytes != 0) {
        EXPECT_EQ(bytes.size(), c.bytes);
    }
    try {
        switch (c.format) {
            case Format::Bmp: {
                const ap::Bmp bmp = ap::ParseBmp(bytes);
                EXPECT_EQ(bmp.declaredFileSize, bytes.size());
                EXPECT_EQ(bmp.pixelOffset, 54u);  // no palette, nothing between
                EXPECT_EQ(bmp.header.width, c.width);
                EXPECT_EQ(bmp.header.height, c.height) << "positive: rows stored bottom-up";
                EXPECT_EQ(bmp.header.planes, 1);
                EXPECT_EQ(bmp.header.bitsPerPixel, c.bitsPerPixel);
                EXPECT_EQ(bmp.header.compression, 0u);
                const std::size_t stride = (static_cast<std::size_t>(c.width) * 3 + 3) & ~3u;
                EXPECT_EQ(54 + stride * static_cast<std::size_t>(c.height), bytes.size());
                break;
            }
            case Format::Ico: {
                const ap::Icon icon = ap::ParseIco(bytes);
                EXPECT_EQ(icon.type, 1);
                ASSERT_FALSE(icon.images.empty());
                EXPECT_EQ(icon.images[0].entry.width, c.width);
                EXPECT_EQ(icon.images[0].entry.height, c.height);
                break;
            }
            case Format::Png: {
                const ap::Png png = ap::ParsePng(bytes);
                EXPECT_EQ(png.width, c.width);
                EXPECT_EQ(png.height, c.height);
                EXPECT_EQ(png.bitDepth, 8);
                EXPECT_EQ(png.colourType, c.pngColourType);
                EXPECT_EQ(png.bitDepth * (png.colourType == 6 ? 4 : 2), c.bitsPerPixel);
                EXPECT_EQ(png.interlace, 0);
                break;
            }
            case Format::Gif: {
                const ap::Gif gif = ap::ParseGif(bytes);
                EXPECT_EQ(gif.width, c.width);
                EXPECT_EQ(gif.height, c.height);
                EXPECT_EQ(gif.globalTableSize, 1 << c.bitsPerPixel);
                break;
            }
        }
    } catch (const ap::ParseError& e) {
        FAIL() << c.file << ": " << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Committed, PictureFileTest, ::testing::ValuesIn(kPictures),
                         [](const ::testing::TestParamInfo<PictureCase>& paramInfo) {
                             std::string name = paramInfo.param.file;
                             name = name.substr(name.find_last_of('/') + 1);
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char ch) {
                                     return !std::isalnum(static_cast<unsigned char>(ch));
                                 },
                                 '_');
                             return name;
                         });

// ---------------------------------------------------------------------------------------------
// The icon: six device-independent bitmaps with masks, in a fixed order.

TEST(IconFile, SixBitmapsWithMasksInOrder) {
    struct Entry {
        int size;
        int bits;
        std::uint32_t bytes;
    };
    const Entry expected[] = {{48, 8, 3752},  {32, 8, 2216},  {16, 8, 1384},
                              {48, 32, 9640}, {32, 32, 4264}, {16, 32, 1128}};
    const ap::Icon icon = ap::ParseIco(ap::ReadBytes(SourceFile("assets/Loomhaven.ico")));
    ASSERT_EQ(icon.images.size(), 6u);
    std::uint32_t offset = 6 + 16 * 6;
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const ap::IconImage& image = icon.images[i];
        EXPECT_EQ(image.entry.width, expected[i].size);
        EXPECT_EQ(image.entry.height, expected[i].size);
        EXPECT_EQ(image.entry.colourCount, 0);  // 256 colours or more
        EXPECT_EQ(image.entry.planes, 1);
        EXPECT_EQ(image.entry.bitCount, expected[i].bits);
        EXPECT_EQ(image.entry.bytes, expected[i].bytes);
        EXPECT_EQ(image.entry.offset, offset) << "images follow each other without gaps";
        offset += image.entry.bytes;
        EXPECT_FALSE(image.isPng);
        EXPECT_EQ(image.header.bitsPerPixel, expected[i].bits);
        EXPECT_EQ(image.header.compression, 0u);
        EXPECT_EQ(image.header.planes, 1);
    }
    EXPECT_EQ(offset, 22486u);
}

TEST(IconFile, PaletteImagesMatchTheirAlphaTwins) {
    const ap::Icon icon = ap::ParseIco(ap::ReadBytes(SourceFile("assets/Loomhaven.ico")));
    ASSERT_EQ(icon.images.size(), 6u);
    for (std::size_t i = 0; i < 3; ++i) {
        const ap::IconImage& indexed = icon.images[i];
        const ap::IconImage& alpha = icon.images[i + 3];
        SCOPED_TRACE(std::to_string(indexed.entry.width) + " px");
        ASSERT_EQ(indexed.pixels.data.size(), alpha.pixels.data.size());
        int opaque = 0;
        int transparent = 0;
        double error = 0;
        for (std::size_t p = 0; p < alpha.pixels.data.size(); ++p) {
            const ap::Rgba& a = alpha.pixels.data[p];
            // Each mask hides exactly the pixels that are less than half opaque.
            EXPECT_EQ(alpha.masked[p], a.a < 128) << "pixel " << p;
            EXPECT_EQ(indexed.masked[p], alpha.masked[p]) << "pixel " << p;
            if (indexed.masked[p]) {
                ++transparent;
                // Masked pixels are black so that the screen shows through unchanged.
                EXPECT_EQ(indexed.pixels.data[p], (ap::Rgba{0, 0, 0, 255})) << "pixel " << p;
                continue;
            }
            ++opaque;
            const ap::Rgba& c = indexed.pixels.data[p];
            error += std::abs(c.r - a.r) + std::abs(c.g - a.g) + std::abs(c.b - a.b);
        }
        EXPECT_GT(opaque, indexed.entry.width * indexed.entry.width / 2);
        EXPECT_GT(transparent, 0) << "the corners are rounded off";
        // The palette version shows the same colours, give or take the reduction to 256.
        EXPECT_LT(error / (3 * opaque), 6.0);
    }
}

// ---------------------------------------------------------------------------------------------
// The backgrounds' look, coarsely: where it is dark, light, blue or green. This also pins the
// row order, as an upside-down file would put the title strip at the bottom.

TEST(Backgrounds, MainIsDarkAtTheLeftLightInTheCentreMidBlueElsewhere) {
    const ap::Pixels px = ap::ParseBmp(ap::ReadBytes(SourceFile("assets/FrmMain.bmp"))).pixels;
    const MeanColour left = Mean(px, 0, 0, 8, 600);
    const MeanColour centre = Mean(px, 400, 250, 500, 330);
    const MeanColour right = Mean(px, 900, 0, 960, 600);
    EXPECT_LT(left.r + left.g + left.b, 3 * 50) << "near black";
    EXPECT_GT(left.b, left.r);
    EXPECT_GT(centre.b, 220) << "light sky blue";
    EXPECT_GT(centre.g, 170);
    EXPECT_GT(centre.b, centre.r);
    EXPECT_GT(right.b, 120) << "mid blue";
    EXPECT_LT(right.r, 100);
    EXPECT_GT(right.b, right.r + 60);
}

TEST(Backgrounds, SettingsIsGreenUnderALighterGreyishTitleStrip) {
    const ap::Pixels px = ap::ParseBmp(ap::ReadBytes(SourceFile("assets/FrmOption.bmp"))).pixels;
    const MeanColour strip = Mean(px, 0, 0, 805, 28);
    const MeanColour below = Mean(px, 0, 28, 805, 56);
    const MeanColour body = Mean(px, 0, 28, 805, 544);
    EXPECT_GT(body.g, body.r + 20) << "green";
    EXPECT_GT(body.g, body.b + 20);
    EXPECT_GT(strip.r + strip.g + strip.b, below.r + below.g + below.b + 60) << "lighter";
    EXPECT_GT(strip.g, strip.r) << "still greenish";
    // Greyer: the channels lie closer together, relative to brightness, than below.
    auto chroma = [](const MeanColour& m) {
        return (std::max({m.r, m.g, m.b}) - std::min({m.r, m.g, m.b})) / std::max({m.r, m.g, m.b});
    };
    EXPECT_LT(chroma(strip), chroma(below));
    // Every row of the strip is lighter than the first row under it.
    const MeanColour first = Mean(px, 0, 28, 805, 29);
    for (int y = 0; y < 28; ++y) {
        const MeanColour row = Mean(px, 0, y, 805, y + 1);
        EXPECT_GT(row.r + row.g + row.b, first.r + first.g + first.b) << "row " << y;
    }
}

// ---------------------------------------------------------------------------------------------
// The alpha-image pictures

ap::Pixels LoadPng(const char* file) {
    return ap::ParsePng(ap::ReadBytes(SourceFile(file))).pixels;
}

TEST(PanelPlate, NearWhiteBodyInsideARisingEdgeAndATransparentMargin) {
    const ap::Pixels px = LoadPng("assets/Plate.png");
    ASSERT_EQ(px.width, 460);
    ASSERT_EQ(px.height, 310);
    int body = 0;
    for (const ap::Rgba& p : px.data) {
        if (p.a == 83) {
            EXPECT_EQ(p, (ap::Rgba{249, 249, 249, 83}));
            ++body;
        } else if (p.a != 0) {
            EXPECT_GE(p.a, 13);
            EXPECT_LE(p.a, 69);
            EXPECT_GT(p.b, p.r) << "bluish";
            EXPECT_GT(p.r, 100) << "grey, not dark";
        }
    }
    EXPECT_GT(body, 400 * 280);

    // From each side inwards along the middle lines: margin, then the edge rising 13 to 69,
    // then the body.
    struct Walk {
        const char* side;
        int x, y, dx, dy;
    };
    const Walk walks[] = {{"left", 0, 155, 1, 0},
                          {"right", 459, 155, -1, 0},
                          {"top", 230, 0, 0, 1},
                          {"bottom", 230, 309, 0, -1}};
    for (const Walk& w : walks) {
        SCOPED_TRACE(w.side);
        int x = w.x;
        int y = w.y;
        int margin = 0;
        while (px.At(x, y).a == 0) {
            ++margin;
            x += w.dx;
            y += w.dy;
        }
        EXPECT_GE(margin, 3);
        EXPECT_LE(margin, 7);
        std::vector<int> edge;
        while (px.At(x, y).a != 83) {
            edge.push_back(px.At(x, y).a);
            x += w.dx;
            y += w.dy;
        }
        ASSERT_EQ(edge.size(), 3u);
        EXPECT_EQ(edge.front(), 13);
        EXPECT_EQ(edge.back(), 69);
        EXPECT_TRUE(std::is_sorted(edge.begin(), edge.end()));
    }
    // Rounded corners: the corner where the straight edges would meet stays transparent.
    for (auto [x, y] :
         {std::pair{3, 3}, std::pair{452, 3}, std::pair{3, 302}, std::pair{452, 302}}) {
        EXPECT_EQ(px.At(x, y).a, 0) << x << "," << y;
    }
}

TEST(LockPanelIcons, MonitorIsOpaqueWhiteToLightGrey) {
    const ap::Pixels px = LoadPng("assets/Monitor.png");
    int opaque = 0;
    int white = 0;
    for (const ap::Rgba& p : px.data) {
        if (p.a == 255) {
            ++opaque;
            EXPECT_GE(p.r, 180) << "light grey at the darkest";
            white += p.r >= 250 ? 1 : 0;
        }
    }
    EXPECT_GT(opaque, 200);
    EXPECT_GT(white, 10);
}

TEST(LockPanelIcons, PadlockIsWhiteAndThreeQuartersOpaque) {
    const ap::Pixels px = LoadPng("assets/Padlock.png");
    int full = 0;
    for (const ap::Rgba& p : px.data) {
        EXPECT_LE(p.a, 191);
        if (p.a == 191) {
            ++full;
            EXPECT_GE(p.r, 230) << "white";
        }
    }
    EXPECT_GT(full, 120);
    // The keyhole is cut through the body.
    EXPECT_EQ(px.At(12, 15).a, 0);
}

// The close mark: a white cross of about 9 x 10 pixels in the middle of the cell and a dark
// line, fading downwards, with a faint light one beside it along the left edge.
void ExpectSeparator(const ap::Pixels& px) {
    EXPECT_EQ(px.At(0, 0).a, 78);
    for (int y = 0; y < px.height; ++y) {
        const ap::Rgba& dark = px.At(0, y);
        const ap::Rgba& light = px.At(1, y);
        EXPECT_LT(Luma(dark), 64) << "row " << y;
        EXPECT_GT(Luma(light), 192) << "row " << y;
        EXPECT_LT(light.a, dark.a == 0 ? 1 : dark.a) << "row " << y;
        if (y > 0) {
            EXPECT_LE(dark.a, px.At(0, y - 1).a) << "row " << y;
        }
    }
    EXPECT_LT(px.At(0, px.height - 1).a, 20);
}

TEST(CloseMark, WhiteCrossCentredInATransparentCell) {
    const ap::Pixels px = LoadPng("assets/QExit.png");
    ExpectSeparator(px);
    int x0 = px.width;
    int x1 = -1;
    int y0 = px.height;
    int y1 = -1;
    for (int y = 0; y < px.height; ++y) {
        for (int x = 2; x < px.width; ++x) {
            const ap::Rgba& p = px.At(x, y);
            if (p.a == 0) {
                continue;
            }
            EXPECT_GE(p.a, 192) << x << "," << y;
            EXPECT_LE(p.a, 224) << x << "," << y;
            EXPECT_EQ(p.r + p.g + p.b, 3 * 255) << "white at " << x << "," << y;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
    }
    EXPECT_EQ(x1 - x0 + 1, 9);
    EXPECT_EQ(y1 - y0 + 1, 10);
    EXPECT_NEAR((x0 + x1 + 1) / 2.0, 22, 1.0);
    EXPECT_NEAR((y0 + y1 + 1) / 2.0, 12, 1.0);
    // A diagonal cross: the centre is covered, the middles of the box's sides are not.
    EXPECT_GT(px.At(22, 12).a, 0);
    EXPECT_EQ(px.At(22, y0).a, 0);
    EXPECT_EQ(px.At(x0, 12).a, 0);
}

TEST(CloseButtonStates, NormalHoveredPressed) {
    const ap::Pixels up = LoadPng("data/image/Exit_up.png");
    const ap::Pixels move = LoadPng("data/image/Exit_move.png");
    const ap::Pixels down = LoadPng("data/image/Exit_down.png");
    for (const ap::Pixels* state : {&up, &move, &down}) {
        ExpectSeparator(*state);
        // Each has a light cross in the middle, standing out from what lies around it.
        EXPECT_GT(state->At(22, 12).a, 190);
        EXPECT_GT(Luma(state->At(22, 12)), 200);
    }
    // Normal: the close mark itself.
    EXPECT_EQ(up.data, LoadPng("assets/QExit.png").data);
    // Hovered: a clearly visible field behind the cross; pressed: the same field, darker.
    const ap::Rgba field = move.At(8, 12);
    const ap::Rgba pressed = down.At(8, 12);
    EXPECT_EQ(up.At(8, 12).a, 0);
    EXPECT_GT(field.a, 200);
    EXPECT_GT(pressed.a, 200);
    EXPECT_LT(Luma(pressed), Luma(field) - 30);
}

// ---------------------------------------------------------------------------------------------
// The banners

struct BannerCase {
    const char* file;
    int width;
    int height;
    std::size_t frames;
    int delay;
    std::size_t bytesAfterTrailer;
};

const BannerCase kBanners[] = {
    {"assets/101.gif", 660, 81, 10, 20, 0},
    {"assets/102.gif", 728, 90, 2, 0, 0},
    {"assets/103.gif", 728, 90, 2, 0, 1},
};

void PrintTo(const BannerCase& c, std::ostream* os) {
    *os << c.file;
}

class BannerTest : public ::testing::TestWithParam<BannerCase> {};

TEST_P(BannerTest, AnimatedGifAsThePlayerExpects) {
    const BannerCase& c = GetParam();
    ap::Gif gif;
    try {
        gif = ap::ParseGif(ap::ReadBytes(SourceFile(c.file)));
    } catch (const ap::ParseError& e) {
        FAIL() << e.what();
    }
    EXPECT_EQ(gif.version, "89a");
    EXPECT_EQ(gif.width, c.width);
    EXPECT_EQ(gif.height, c.height);
    EXPECT_TRUE(gif.hasGlobalTable);
    EXPECT_EQ(gif.globalTableSize, 256);
    EXPECT_EQ(gif.colourResolution, 8);
    EXPECT_EQ(gif.background, 0);
    EXPECT_EQ(gif.aspect, 0);
    EXPECT_EQ(gif.applications, std::vector<std::string>{"NETSCAPE2.0"});
    EXPECT_EQ(gif.netscapeLoop, 0) << "repeat for ever";
    ASSERT_EQ(gif.frames.size(), c.frames);
    for (std::size_t i = 0; i < gif.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const ap::GifFrame& f = gif.frames[i];
        EXPECT_TRUE(f.hasControl);
        EXPECT_EQ(f.disposal, 0);
        EXPECT_FALSE(f.transparent);
        EXPECT_FALSE(f.userInput);
        EXPECT_EQ(f.delay, c.delay);
        EXPECT_EQ(f.left, 0);
        EXPECT_EQ(f.top, 0);
        EXPECT_EQ(f.width, c.width);
        EXPECT_EQ(f.height, c.height);
        EXPECT_FALSE(f.interlaced);
        EXPECT_EQ(f.hasLocalTable, i > 0);
        EXPECT_EQ(f.localTableSize, i > 0 ? 256 : 0);
        EXPECT_EQ(f.minCodeSize, 8);
        EXPECT_EQ(f.indices.size(), static_cast<std::size_t>(c.width) * c.height)
            << "the code stream holds exactly one screen of pixels";
        if (i > 0) {
            EXPECT_NE(ap::FramePixels(f).data, ap::FramePixels(gif.frames[i - 1]).data)
                << "something moves between frames";
        }
    }
    EXPECT_EQ(gif.bytesAfterTrailer, c.bytesAfterTrailer);
    EXPECT_TRUE(gif.trailingZerosOnly);
}

INSTANTIATE_TEST_SUITE_P(Committed, BannerTest, ::testing::ValuesIn(kBanners),
                         [](const ::testing::TestParamInfo<BannerCase>& paramInfo) {
                             std::string name = paramInfo.param.file;
                             return "Banner" + name.substr(name.find_last_of('/') + 1, 3);
                         });

// The parsers themselves must refuse what they are meant to catch, or the checks above
// prove nothing.
TEST(AssetParsers, RefuseDamagedFiles) {
    const ap::Bytes gif = ap::ReadBytes(SourceFile("assets/102.gif"));
    const ap::Bytes png = ap::ReadBytes(SourceFile("assets/QExit.png"));
    const ap::Bytes ico = ap::ReadBytes(SourceFile("assets/Loomhaven.ico"));

    ap::Bytes truncated(gif.begin(), gif.begin() + static_cast<std::ptrdiff_t>(gif.size() / 2));
    EXPECT_THROW(ap::ParseGif(truncated), ap::ParseError);

    // A code stream that asks for a table entry long before it exists.
    ap::Bytes badCode = gif;
    const std::size_t firstData = 13 + 768 + 19 + 8 + 10 + 2;  // after min code size + block length
    ASSERT_EQ(badCode[firstData - 2], 8) << "minimum code size where expected";
    badCode[firstData + 2] = 0xFF;
    badCode[firstData + 3] = 0xFF;
    EXPECT_THROW(ap::ParseGif(badCode), ap::ParseError);

    ap::Bytes badCrc = png;
    badCrc[20] ^= 1;  // inside IHDR
    EXPECT_THROW(ap::ParsePng(badCrc), ap::ParseError);

    ap::Bytes shortIcon(ico.begin(), ico.end() - 1);
    EXPECT_THROW(ap::ParseIco(shortIcon), ap::ParseError);
}

}  // namespace
