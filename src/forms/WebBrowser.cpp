// SPDX-License-Identifier: MIT
#include "forms/WebBrowser.h"

namespace core {

void WebBrowser::Navigate(const std::u16string& address) {
    if (m_engine != nullptr) {
        m_engine->Navigate(address);
    }
}

void WebBrowser::Refresh() {
    if (m_engine != nullptr) {
        m_engine->Refresh();
    }
}

}  // namespace core
