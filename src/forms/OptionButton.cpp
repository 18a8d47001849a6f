// SPDX-License-Identifier: MIT
#include "forms/OptionButton.h"

namespace core {

void OptionButton::SetValue(bool v) {
    if (v && Container() != nullptr) {
        for (platform::Control* sibling : Container()->Controls()) {
            auto* other = dynamic_cast<OptionButton*>(sibling);
            if (other != nullptr && other != this && other->Name() == Name() && other->m_value) {
                other->m_value = false;
                other->Changed(platform::Property::Value);
            }
        }
    }
    if (v != m_value) {
        m_value = v;
        Changed(platform::Property::Value);
    }
}

void OptionButton::ChooseFromView() {
    SetValue(true);
    Click.Raise(static_cast<std::int16_t>(Index()));
}

}  // namespace core
