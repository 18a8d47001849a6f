// SPDX-License-Identifier: MIT
// The page the main window shows. Its dialogs go through the browser control, which answers
// them unseen while nobody should see them; the dialogs it does show can be closed by the
// program, so that an unanswered one never holds the keep-alive back.
#pragma once

#include <QPointer>
#include <QWebEnginePage>
#include <functional>
#include <vector>

#include "forms/WebBrowser.h"

class QDialog;
class QWebEngineProfile;

namespace binding {

class ForumPage final : public QWebEnginePage {
  public:
    // `browser` names the control the page answers to, or nothing once it is gone.
    ForumPage(QWebEngineProfile& profile, std::function<core::WebBrowser*()> browser,
              QObject* parent);
    ~ForumPage() override;

    // Runs `action` now, or once the dialog on screen has been answered: the engine cannot
    // load while a dialog of its page waits.
    void Run(std::function<void()> action);
    // Answers the dialog on screen as a cancel.
    void CancelDialog();

  protected:
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;

  private:
    core::WebBrowser::DialogAnswer Ask(core::WebBrowser::PageDialog dialog);
    // Shows `dialog` modally over the view; true when it was accepted.
    bool Exec(QDialog& dialog);

    std::function<core::WebBrowser*()> m_browser;
    QPointer<QDialog> m_dialog;
    std::vector<std::function<void()>> m_afterDialog;
};

}  // namespace binding
