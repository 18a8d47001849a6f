// SPDX-License-Identifier: MIT
#include "qt/Browser.h"

#include <QByteArray>
#include <QFile>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <cstdio>

#include "platform/Files.h"
#include "qt/Convert.h"

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
            std::fprintf(stderr, "loomhaven: cannot make %s private to its owner\n",
                         name.constData());
        }
    }
    return profile;
}

BrowserWidget::BrowserWidget(core::WebBrowser& browser, QWebEngineProfile& profile, QWidget* parent)
    : QWebEngineView(parent), View(browser, *this) {
    setPage(new QWebEnginePage(&profile, this));
    // A page never takes the keyboard by itself (the lock panel decides who has it).
    page()->settings()->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    browser.SetEngine(this);
    Place();
    // An unattended program must never sit on a dead page: a renderer that died is replaced
    // by a reload at once.
    connect(page(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int code) {
                if (status == QWebEnginePage::NormalTerminationStatus) {
                    return;
                }
                std::fprintf(stderr, "loomhaven: the page's renderer ended (%d); reloading\n",
                             code);
                QTimer::singleShot(0, this, [this] { Refresh(); });
            });
}

BrowserWidget::~BrowserWidget() {
    if (Browser() != nullptr) {
        Browser()->SetEngine(nullptr);
    }
}

void BrowserWidget::Navigate(const std::u16string& address) {
    setUrl(QUrl::fromUserInput(ToQString(address)));
}

void BrowserWidget::Refresh() {
    if (!url().isEmpty()) {  // before the first navigation there is no page to reload
        reload();
    }
}

}  // namespace binding
