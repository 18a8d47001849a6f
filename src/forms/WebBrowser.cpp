// SPDX-License-Identifier: MIT
#include "forms/WebBrowser.h"

#include <algorithm>

namespace core {

WebBrowser::WebBrowser(std::string name) : Control(std::move(name)) {
    Add(m_recovery);
    Add(m_healthy);
    Add(m_reloadWait);
    m_recovery.TimerEvent.Connect([this] { Recovery_Timer(); });
    m_healthy.TimerEvent.Connect([this] { Healthy_Timer(); });
    m_reloadWait.TimerEvent.Connect([this] { ReloadWait_Timer(); });
}

void WebBrowser::ProgramLoad() {
    // A dialog nobody answers would hold the load back for good.
    CancelDialog();
    // Until the load starts, a leave-page prompt is the page refusing this load.
    m_reloadWait.SetEnabled(false);
    m_reloadWait.SetEnabled(true);
}

void WebBrowser::Navigate(const std::u16string& address) {
    if (m_engine != nullptr) {
        ProgramLoad();
        m_engine->Navigate(address);
    }
}

void WebBrowser::Refresh() {
    if (m_engine == nullptr) {
        return;
    }
    ProgramLoad();
    // The engine's reload of a page that came from sending a form would send it again: a
    // second copy of a post at every reload.
    if (m_reachedByPost) {
        m_engine->LoadAfresh();
    } else {
        m_engine->Refresh();
    }
}

void WebBrowser::CancelDialog() {
    if (m_dialogOpen && m_engine != nullptr) {
        m_engine->CancelDialog();
    }
}

void WebBrowser::MainFrameRequest(bool post) {
    m_reachedByPost = post;
}

void WebBrowser::LoadStarted() {
    m_reloadWait.SetEnabled(false);
}

WebBrowser::DialogAnswer WebBrowser::DialogRequested(PageDialog dialog) {
    if (dialog == PageDialog::Leave && m_reloadWait.Running()) {
        // The page would ask before the program's load leaves it: what the user typed there
        // stays, and the session is kept alive by a request the page shown does not see. The
        // next reload tries again.
        m_reloadWait.SetEnabled(false);
        if (m_engine != nullptr && !m_homePage.empty()) {
            m_engine->KeepAlive(m_homePage);
        }
        return DialogAnswer::Cancel;
    }
    if (Quiet()) {
        return DialogAnswer::Cancel;
    }
    m_dialogOpen = true;
    return DialogAnswer::Show;
}

void WebBrowser::DialogClosed() {
    m_dialogOpen = false;
}

void WebBrowser::ReloadWait_Timer() {
    // The load never started (a page dialog, a slow engine): a leave-page prompt from now on
    // is the user's own.
    m_reloadWait.SetEnabled(false);
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
