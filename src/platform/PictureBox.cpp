// SPDX-License-Identifier: MIT
#include "platform/PictureBox.h"

namespace platform {

void PictureBox::SetBackColor(gdi::COLORREF c) {
    m_backColor = c;
    Changed(Property::BackColor);
}

}  // namespace platform
