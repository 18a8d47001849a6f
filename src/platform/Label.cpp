// SPDX-License-Identifier: MIT
#include "platform/Label.h"

namespace platform {

void Label::SetCaption(std::u16string caption) {
    if (caption != m_caption) {
        m_caption = std::move(caption);
        Changed(Property::Caption);
    }
}

void Label::SetForeColor(gdi::COLORREF c) {
    m_foreColor = c;
    Changed(Property::ForeColor);
}

void Label::SetFont(platform::Font f) {
    m_font = std::move(f);
    Changed(Property::Font);
}

void Label::SetAlignment(int a) {
    m_alignment = a;
    Changed(Property::Caption);
}

}  // namespace platform
