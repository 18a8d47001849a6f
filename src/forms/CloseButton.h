// SPDX-License-Identifier: MIT
// The close button's three looks, shared by both windows: the picture files in the data
// directory are loaded afresh at every pointer event (normal on leave, hovered on every
// movement, pressed on a left press). A file that is missing leaves the picture shown.
#pragma once

#include "forms/AlphaImage.h"

namespace core {

void ConnectHoverPictures(AlphaImage& closeButton);

}  // namespace core
