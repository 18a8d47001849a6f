// SPDX-License-Identifier: MIT
#include "forms/TextBox.h"

namespace core {

void TextBox::SetText(std::u16string text) {
    if (text == m_text) {
        return;
    }
    m_text = std::move(text);
    Changed(platform::Property::Text);
    Change.Raise();
}

void TextBox::TextFromView(std::u16string text) {
    const bool cut = m_maxLength > 0 && text.size() > static_cast<size_t>(m_maxLength);
    if (cut) {
        text.resize(static_cast<size_t>(m_maxLength));
    }
    if (text == m_text) {
        return;
    }
    m_text = std::move(text);
    if (cut) {
        Changed(platform::Property::Text);
    }
    Change.Raise();
}

}  // namespace core
