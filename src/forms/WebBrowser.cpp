// SPDX-License-Identifier: MIT
#include "forms/WebBrowser.h"

#include <algorithm>

namespace core {

WebBrowser::WebBrowser(std::string name) : Control(std::move(name)) {
    Add(m_recovery);
    Add(m_healthy);
    m_recovery.TimerEvent.Connect([this] { Recovery_Timer(); });
    m_healthy.TimerEvent.Connect([this] { Healthy_Timer(); });
}

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

void WebBrowser::RendererEnded() {
    m_healthy.SetEnabled(false);
    if (m_recovery.Running()) {
        return;  // one reload is already on its way
    }
    m_recovery.SetInterval(m_delay);
    m_recovery.SetEnabled(true);
}

void WebBrowser::LoadFinished(bool ok) {
    // A load that succeeded counts once its renderer has lived on for a while: a page that
    // loads and dies at once keeps its growing wait.
    if (ok && !m_recovery.Running()) {
        m_healthy.SetEnabled(true);
    }
}

void WebBrowser::Recovery_Timer() {
    m_recovery.SetEnabled(false);
    m_delay = std::min(m_delay * 2, kLongestRecoveryMs);
    Refresh();
}

void WebBrowser::Healthy_Timer() {
    m_healthy.SetEnabled(false);
    m_delay = kFirstRecoveryMs;
}

}  // namespace core
