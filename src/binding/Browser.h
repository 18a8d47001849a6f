// SPDX-License-Identifier: MIT
// The embedded browser: Qt WebEngine on a named profile kept on disk, so that cookies and
// storage (a forum login among them) survive a restart.
#pragma once

#include <QPointer>
#include <QWebEngineView>

#include "binding/View.h"
#include "forms/WebBrowser.h"

class QWebEngineProfile;

namespace binding {

class ForumPage;
class KeepAlivePage;

class BrowserWidget final : public QWebEngineView, public View, public core::WebBrowser::Engine {
  public:
    BrowserWidget(core::WebBrowser& browser, QWebEngineProfile& profile, QWidget* parent);
    ~BrowserWidget() override;

    void Navigate(const std::u16string& address) override;
    void Refresh() override;
    void LoadAfresh() override;
    void KeepAlive(const std::u16string& address) override;
    void CancelDialog() override;

  private:
    core::WebBrowser* Browser() const { return static_cast<core::WebBrowser*>(m_control); }

    QWebEngineProfile& m_profile;
    ForumPage* m_page;
    QPointer<KeepAlivePage> m_keepAlive;  // while its request is on its way
};

// The program's persistent browser profile ("loomhaven", under the user's data directory).
QWebEngineProfile* CreateBrowserProfile(QObject* parent);

}  // namespace binding
