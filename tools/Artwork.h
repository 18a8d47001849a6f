// SPDX-License-Identifier: MIT
// The program's pictures, drawn from scratch. Every function gives the same pixels on every
// run: random-looking detail comes from fixed seeds, text from one installed font.
#pragma once

#include <cstdint>
#include <vector>

#include "Formats.h"

namespace tools {

// The font of the banners' text (Debian package fonts-arphic-uming).
inline constexpr const char* kBannerFontFamily = "AR PL UMing CN";
// True when the banner font is installed; the banners cannot be drawn without it.
bool BannerFontAvailable();

Picture DrawMainBackground();       // 960 x 600
Picture DrawSettingsBackground();   // 805 x 544
std::vector<IconImage> DrawIcon();  // 48, 32, 16 px at 8 bits, then the same at 32 bits

Picture DrawCloseMark();  // 44 x 24
enum class ButtonState { Up, Move, Down };
Picture DrawCloseButton(ButtonState state);  // 44 x 24
Picture DrawMonitor();                       // 24 x 24, grey
Picture DrawPadlock();                       // 24 x 24, grey
Picture DrawPlate();                         // 460 x 310

struct Banner {
    GifOptions options;
    std::uint16_t delay = 0;
    std::vector<Picture> frames;
};
Banner DrawBanner101();  // the forum's home page
Banner DrawBanner102();  // a board page
Banner DrawBanner103();  // a personal page

}  // namespace tools
