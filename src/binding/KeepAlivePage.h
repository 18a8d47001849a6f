// SPDX-License-Identifier: MIT
// A page of the browser profile that is never shown: it asks the forum for a page with the
// user's cookies while the page shown cannot be reloaded. It answers every dialog as a cancel,
// asks for nothing and goes away once its load has finished.
#pragma once

#include <QWebEnginePage>

class QWebEngineProfile;

namespace binding {

class KeepAlivePage final : public QWebEnginePage {
  public:
    KeepAlivePage(QWebEngineProfile& profile, QObject* parent);

  protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
        return false;
    }
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
        return {};
    }
};

}  // namespace binding
