// SPDX-License-Identifier: MIT
// Draws every picture the program carries (assets/) or installs beside itself (data/image/)
// into the tree given on the command line. Files whose bytes would not change are left alone,
// so a second run touches nothing.
#include <QtGui/QGuiApplication>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Artwork.h"
#include "Formats.h"

namespace {

namespace fs = std::filesystem;
using tools::Bytes;

bool WriteIfChanged(const fs::path& file, const Bytes& bytes) {
    fs::create_directories(file.parent_path());
    {
        std::ifstream in(file, std::ios::binary);
        if (in) {
            const Bytes old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (old == bytes) {
                std::printf("unchanged %s (%zu bytes)\n", file.string().c_str(), bytes.size());
                return true;
            }
        }
    }
    const fs::path partial = file.string() + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", partial.string().c_str());
            return false;
        }
    }
    fs::rename(partial, file);
    std::printf("wrote     %s (%zu bytes)\n", file.string().c_str(), bytes.size());
    return true;
}

Bytes Gif(const tools::Banner& banner) {
    std::vector<tools::GifFrame> frames;
    for (const tools::Picture& picture : banner.frames) {
        frames.push_back({tools::Quantize(picture, 256), banner.delay});
    }
    return tools::EncodeGif(banner.options, frames);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <source tree>\n", argv[0]);
        return 2;
    }
    // Never a real display: the pictures must not depend on one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (!tools::BannerFontAvailable()) {
        std::fprintf(stderr, "assetgen: the font \"%s\" is missing (Debian: fonts-arphic-uming)\n",
                     tools::kBannerFontFamily);
        return 1;
    }
    const fs::path root = argv[1];
    const fs::path assets = root / "assets";
    const fs::path data = root / "data" / "image";
    using tools::EncodePng;
    using tools::PngColour;
    try {
        bool ok = true;
        ok &=
            WriteIfChanged(assets / "FrmMain.bmp", tools::EncodeBmp24(tools::DrawMainBackground()));
        ok &= WriteIfChanged(assets / "FrmOption.bmp",
                             tools::EncodeBmp24(tools::DrawSettingsBackground()));
        ok &= WriteIfChanged(assets / "Loomhaven.ico", tools::EncodeIco(tools::DrawIcon()));
        ok &= WriteIfChanged(assets / "QExit.png",
                             EncodePng(tools::DrawCloseMark(), PngColour::Rgba));
        ok &= WriteIfChanged(assets / "Monitor.png",
                             EncodePng(tools::DrawMonitor(), PngColour::GreyAlpha));
        ok &= WriteIfChanged(assets / "Padlock.png",
                             EncodePng(tools::DrawPadlock(), PngColour::GreyAlpha));
        ok &= WriteIfChanged(assets / "Plate.png", EncodePng(tools::DrawPlate(), PngColour::Rgba));
        ok &= WriteIfChanged(assets / "101.gif", Gif(tools::DrawBanner101()));
        ok &= WriteIfChanged(assets / "102.gif", Gif(tools::DrawBanner102()));
        ok &= WriteIfChanged(assets / "103.gif", Gif(tools::DrawBanner103()));
        using tools::ButtonState;
        ok &= WriteIfChanged(data / "Exit_up.png",
                             EncodePng(tools::DrawCloseButton(ButtonState::Up), PngColour::Rgba));
        ok &= WriteIfChanged(data / "Exit_move.png",
                             EncodePng(tools::DrawCloseButton(ButtonState::Move), PngColour::Rgba));
        ok &= WriteIfChanged(data / "Exit_down.png",
                             EncodePng(tools::DrawCloseButton(ButtonState::Down), PngColour::Rgba));
        return ok ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
}
