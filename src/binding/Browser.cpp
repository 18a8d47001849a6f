// SPDX-License-Identifier: MIT
#include "binding/Browser.h"

#include <QByteArray>
#include <QFile>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "binding/Convert.h"
#include "binding/ForumPage.h"
#include "binding/KeepAlivePage.h"
#include "platform/Files.h"
#include "platform/Runtime.h"

namespace binding {

QWebEngineProfile* CreateBrowserProfile(QObject* parent) {
    auto* profile = new QWebEngineProfile(QStringLiteral("loomhaven"), parent);
    // Session cookies are kept too: a forum login must outlive a restart of the program.
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    // Cookies, storage and cache hold the forum session: only the user may look into them. The
    // directories are made (or narrowed) before the engine writes anything there.
    for (const QString& dir : {profile->persistentStoragePath(), profile->cachePath()}) {
        const QByteArray name = QFile::encodeName(dir);
        if (!name.isEmpty() && !platform::EnsurePrivateDirectory(name.toStdString())) {
            platform::Warn("cannot make %s private to its owner", name.constData());
        }
    }
    return profile;
}

BrowserWidget::BrowserWidget(core::WebBrowser& browser, QWebEngineProfile& profile, QWidget* parent)
    : QWebEngineView(parent),
      View(browser, *this),
      m_profile(profile),
      m_page(new ForumPage(
          profile, [this] { return Browser(); }, this)) {
    setPage(m_page);
    // The page's engine starts now, while the window is not yet on screen. Left to start by
    // itself a moment later, it would add its drawing surface to a window already shown, and
    // the window system would have to make that window anew: a flash, and a new window id
    // under the feet of anything that found the window at start.
    page()->runJavaScript(QString());
    // A page never takes the keyboard by itself (the lock panel decides who has it).
    page()->settings()->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    browser.SetEngine(this);
    Place();
    // A renderer that died is the control's to recover, after a wait that grows while the page
    // keeps dying.
    connect(page(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int code) {
                if (status == QWebEnginePage::NormalTerminationStatus || Browser() == nullptr) {
                    return;
                }
                platform::Warn("the page's renderer ended (%d); reloading in %u s", code,
                               Browser()->RecoveryDelayMs() / 1000);
                Browser()->RendererEnded();
            });
    connect(page(), &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (Browser() != nullptr) {
            Browser()->LoadFinished(ok);
        }
    });
}

BrowserWidget::~BrowserWidget() {
    if (Browser() != nullptr) {
        Browser()->SetEngine(nullptr);
    }
}

void BrowserWidget::Navigate(const std::u16string& address) {
    const QUrl url = QUrl::fromUserInput(ToQString(address));
    m_page->Run([this, url] { setUrl(url); });
}

void BrowserWidget::Refresh() {
    m_page->Run([this] {
        if (!url().isEmpty()) {  // before the first navigation there is no page to reload
            reload();
        }
    });
}

void BrowserWidget::LoadAfresh() {
    m_page->Run([this] {
        if (!url().isEmpty()) {
            setUrl(url());  // a GET of the address shown, not the form sent again
        }
    });
}

void BrowserWidget::KeepAlive(const std::u16string& address) {
    const QUrl url = QUrl::fromUserInput(ToQString(address));
    // Not from inside the engine's own question to this page: a moment later.
    QTimer::singleShot(0, this, [this, url] {
        if (!m_keepAlive) {
            m_keepAlive = new KeepAlivePage(m_profile, this);
        }
        m_keepAlive->load(url);
    });
}

void BrowserWidget::CancelDialog() {
    m_page->CancelDialog();
}

}  // namespace binding
