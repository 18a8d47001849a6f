// SPDX-License-Identifier: MIT
// The embedded browser: Qt WebEngine on a named profile kept on disk, so that cookies and
// storage (a forum login among them) survive a restart.
#pragma once

#include <QWebEngineView>

#include "binding/View.h"
#include "forms/WebBrowser.h"

class QWebEngineProfile;

namespace binding {

class BrowserWidget final : public QWebEngineView, public View, public core::WebBrowser::Engine {
  public:
    BrowserWidget(core::WebBrowser& browser, QWebEngineProfile& profile, QWidget* parent);
    ~BrowserWidget() override;

    void Navigate(const std::u16string& address) override;
    void Refresh() override;

  private:
    core::WebBrowser* Browser() const { return static_cast<core::WebBrowser*>(m_control); }
};

// The program's persistent browser profile ("loomhaven", under the user's data directory).
QWebEngineProfile* CreateBrowserProfile(QObject* parent);

}  // namespace binding
