// SPDX-License-Identifier: MIT
#include "binding/KeepAlivePage.h"

#include <QWebEngineProfile>

namespace binding {

KeepAlivePage::KeepAlivePage(QWebEngineProfile& profile, QObject* parent)
    : QWebEnginePage(&profile, parent) {
    setAudioMuted(true);
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    // The page and its renderer go once the answer is in.
    connect(this, &QWebEnginePage::loadFinished, this, &QObject::deleteLater);
}

}  // namespace binding
