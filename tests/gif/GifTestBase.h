// SPDX-License-Identifier: MIT
// What the GIF tests share: a temporary directory of their own (TMPDIR points there while a test
// runs, and it must be empty again afterwards), the stand-in decoder, a target surface and a
// quick way to walk bytes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "GdiSurface.h"
#include "GifBuilder.h"
#include "GifTestDecoder.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "gif/clsGifs.h"
#include "platform/Services.h"

namespace gif_tests {

using platform::gdi::COLORREF;
using platform::gdi::Pixel;
using platform::gdi::RGB;
using platform::gdi::ToPixel;
using testing_support::GdiSurface;
using testing_support::GifBuilder;
using testing_support::Rgb;
using testing_support::TempDir;

inline std::vector<std::string> Listing(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

class GifTest : public ::testing::Test {
  protected:
    void SetUp() override { m_live = platform::gdi::LiveObjectCount(); }
    void TearDown() override {
        EXPECT_EQ(Listing(m_tmp.path()), std::vector<std::string>{})
            << "temporary files left behind";
        EXPECT_EQ(platform::gdi::LiveObjectCount(), m_live) << "raster objects leaked";
    }

    // Writes `bytes` as a file and walks it on `gif`, drawing to `target` (or to no context).
    void Walk(core::clsGifs& gif, const std::vector<std::uint8_t>& bytes,
              platform::gdi::HDC target = nullptr, COLORREF background = RGB(255, 255, 255)) {
        const std::filesystem::path file = m_data / ("walk" + std::to_string(m_files++) + ".gif");
        testing_support::WriteFile(file, std::string(bytes.begin(), bytes.end()));
        gif.InitDC(target, file.string(), background);
        gif.fGifBreakOutFrames();
    }
    void Walk(core::clsGifs& gif, const GifBuilder& b, platform::gdi::HDC target = nullptr,
              COLORREF background = RGB(255, 255, 255)) {
        Walk(gif, b.Bytes(), target, background);
    }

    TempDir m_tmp;
    TempDir m_data;
    testing_support::ScopedEnv m_tmpEnv{"TMPDIR", m_tmp.path().string()};
    testing_support::GifTestDecoder m_decoder;
    platform::ServicesScope m_services{platform::Services{.pictures = &m_decoder}};
    size_t m_live = 0;
    int m_files = 0;
};

// A palette of distinct colours for fixtures.
inline const std::vector<Rgb> kFour = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

}  // namespace gif_tests
