// SPDX-License-Identifier: MIT
// What a frame would give a borderless window: a shape with rounded corners, and moving it by
// pressing on its surface.
#pragma once

#include "platform/Form.h"

namespace core {

// Takes the frame away from `frm`: no border, the caption assigned again so the window system
// rebuilds the frame, and hidden and shown so the change is on screen at once.
void MakeFrameless(platform::Form& frm);

// Gives `frm` rounded corners of 15 x 15 pixels: from then on only the inside of the rounded
// rectangle belongs to the window, so the corners are see-through and take no clicks. The size
// is the window's size when this is called; the shape does not follow later changes.
void MakeRoundWindow(platform::Form& frm);

// Hands the press that is going on to the window system as a press on a title bar, which then
// moves `frm` with the mouse until the button goes up. A maximised window stays where it is.
void BeginWindowDrag(platform::Form& frm);

}  // namespace core
