// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Control.h"

namespace core {

// A picture with per-pixel alpha drawn over whatever lies beneath it (PNG). It keeps its
// picture with the window's layout and can be given another PNG file at run time.
class AlphaImage : public platform::Control {
  public:
    using Control::Control;

    const std::vector<std::uint8_t>& Image() const { return m_png; }
    void SetImage(std::span<const std::uint8_t> png);
    // Shows the PNG file at `path` from now on. A file that cannot be read or is no PNG leaves
    // the current picture; that is not an error. Returns whether the picture changed.
    bool LoadPicture(const std::string& path);

    // The control's notifications.
    platform::Event<std::int16_t> Click;
    platform::Event<> MouseLeave;
    platform::Event<std::int16_t, std::int16_t, float, float> MouseMove;
    platform::Event<std::int16_t&, std::int16_t, float, float> MouseDown;

  private:
    std::vector<std::uint8_t> m_png;
};

}  // namespace core
