// SPDX-License-Identifier: MIT
// Translucent panels: a picture box shows the window's background through itself.
#pragma once

#include <cstdint>

#include "platform/Form.h"
#include "platform/PictureBox.h"

namespace core {

// Blends the part of `frm`'s surface that lies under `pic` onto `pic`'s own surface: each
// pixel of the box becomes alpha/255 of the window's pixel plus (255 - alpha)/255 of its own.
// Switches persistent drawing on for the window and the box first. Every call blends again
// over what the box holds, so repeated calls bring it closer to the window's background. The
// controls inside the box are not touched. Positions and sizes count 15 twips to the pixel,
// rounded halves to even. An alpha outside 0..255 throws std::overflow_error before anything
// is drawn.
void BlendPictureBox(platform::Form& frm, platform::PictureBox& pic, std::int16_t alpha);

}  // namespace core
