// SPDX-License-Identifier: MIT
// A browser engine for the toolkit-free tests: it records what the browser control asks of it,
// on the virtual clock, and plays a page that can come from a form or ask before it is left.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Doubles.h"
#include "forms/WebBrowser.h"

namespace testing_support {

class RecordingEngine final : public core::WebBrowser::Engine {
  public:
    // The page the engine shows: how it was reached, and whether it asks before being left.
    struct Page {
        bool post = false;
        bool asksBeforeLeaving = false;
    };

    explicit RecordingEngine(const VirtualClock& clock) : m_clock(clock) {}

    // The control the page's events go to (loads started, requests, leave-page questions).
    void Attach(core::WebBrowser& browser) {
        m_browser = &browser;
        browser.SetEngine(this);
    }

    // The page shown from now on, as if the user had gone there.
    void Show(Page shown) {
        page = shown;
        if (m_browser != nullptr) {
            m_browser->LoadStarted();
            m_browser->MainFrameRequest(shown.post);
        }
    }

    void Navigate(const std::u16string& address) override {
        navigations.push_back({m_clock.Elapsed(), address});
        Leave(false);
    }
    void Refresh() override {
        refreshes.push_back(m_clock.Elapsed());
        // The engine's reload of a page that came from a form sends the form again.
        Leave(page.post);
    }
    void LoadAfresh() override {
        afresh.push_back(m_clock.Elapsed());
        Leave(false);
    }
    void KeepAlive(const std::u16string& address) override {
        keepAlives.push_back({m_clock.Elapsed(), address});
    }
    void CancelDialog() override {
        ++cancelledDialogs;
        if (m_browser != nullptr) {
            m_browser->DialogClosed();
        }
    }

    Page page;  // the page shown
    std::vector<std::pair<long long, std::u16string>> navigations;
    std::vector<long long> refreshes;
    std::vector<long long> afresh;
    std::vector<std::pair<long long, std::u16string>> keepAlives;
    int cancelledDialogs = 0;
    int postsSent = 0;          // forms sent to the server, a resent one included
    int getsSent = 0;           // loads of a page by GET
    int leavePromptsShown = 0;  // leave-page questions put to the user

  private:
    // The page is about to be left for a load (`post`: the load sends a form again).
    void Leave(bool post) {
        if (m_browser == nullptr) {
            return;
        }
        if (page.asksBeforeLeaving) {
            const auto answer = m_browser->DialogRequested(core::WebBrowser::PageDialog::Leave);
            if (answer == core::WebBrowser::DialogAnswer::Cancel) {
                return;  // the page stays as it is
            }
            ++leavePromptsShown;
            m_browser->DialogClosed();  // the user answered: leave
        }
        m_browser->LoadStarted();
        m_browser->MainFrameRequest(post);
        ++(post ? postsSent : getsSent);
        page = Page{.post = post};
    }

    const VirtualClock& m_clock;
    core::WebBrowser* m_browser = nullptr;
};

}  // namespace testing_support
