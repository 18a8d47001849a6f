// SPDX-License-Identifier: MIT
#include "binding/ForumPage.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <utility>

namespace binding {
namespace {

using core::WebBrowser;

// The text the engine asks its leave-page question with: how a page's own confirm() is told
// from a leave-page handler.
QString LeaveQuestion() {
    return QCoreApplication::translate(
        "QWebEnginePage",
        "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

// Tells the control how each load of the page's main frame goes to the network: the engine's
// reload of a page that came from a form sends the form again.
class MainFrameRequests final : public QWebEngineUrlRequestInterceptor {
  public:
    MainFrameRequests(std::function<WebBrowser*()> browser, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), m_browser(std::move(browser)) {}

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame) {
            return;
        }
        const bool post = info.requestMethod() == QByteArrayLiteral("POST");
        // On the thread the engine asks from; the control lives on the window's.
        QMetaObject::invokeMethod(
            parent(),
            [browser = m_browser, post] {
                if (WebBrowser* b = browser()) {
                    b->MainFrameRequest(post);
                }
            },
            Qt::AutoConnection);
    }

  private:
    std::function<WebBrowser*()> m_browser;
};

}  // namespace

ForumPage::ForumPage(QWebEngineProfile& profile, std::function<core::WebBrowser*()> browser,
                     QObject* parent)
    : QWebEnginePage(&profile, parent), m_browser(std::move(browser)) {
    setUrlRequestInterceptor(new MainFrameRequests(m_browser, this));
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        if (WebBrowser* b = m_browser()) {
            b->LoadStarted();
        }
    });
    // Nothing the page asks for may stand over the lock or appear out of the tray.
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                WebBrowser* b = m_browser();
                if (b == nullptr || b->Quiet()) {
                    setFeaturePermission(origin, feature, PermissionDeniedByUser);
                }
            });
}

ForumPage::~ForumPage() {
    // The interceptor is a child; the engine must stop asking it before it goes.
    setUrlRequestInterceptor(nullptr);
}

void ForumPage::Run(std::function<void()> action) {
    if (m_dialog) {
        m_afterDialog.push_back(std::move(action));
    } else {
        action();
    }
}

void ForumPage::CancelDialog() {
    if (m_dialog) {
        m_dialog->reject();
    }
}

WebBrowser::DialogAnswer ForumPage::Ask(WebBrowser::PageDialog dialog) {
    WebBrowser* b = m_browser();
    return b == nullptr ? WebBrowser::DialogAnswer::Cancel : b->DialogRequested(dialog);
}

bool ForumPage::Exec(QDialog& dialog) {
    m_dialog = &dialog;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    m_dialog = nullptr;
    if (WebBrowser* b = m_browser()) {
        b->DialogClosed();
    }
    // What the program asked for meanwhile runs once the engine has the answer.
    if (!m_afterDialog.empty()) {
        QTimer::singleShot(0, this, [this] {
            std::vector<std::function<void()>> actions = std::exchange(m_afterDialog, {});
            for (std::function<void()>& action : actions) {
                Run(std::move(action));
            }
        });
    }
    return accepted;
}

void ForumPage::javaScriptAlert(const QUrl& origin, const QString& message) {
    if (Ask(WebBrowser::PageDialog::Alert) == WebBrowser::DialogAnswer::Cancel) {
        return;
    }
    QMessageBox box(QMessageBox::Information, origin.host(), message, QMessageBox::Ok,
                    qobject_cast<QWidget*>(parent()));
    box.setEscapeButton(QMessageBox::Ok);
    Exec(box);
}

bool ForumPage::javaScriptConfirm(const QUrl& origin, const QString& message) {
    const bool leave = message == LeaveQuestion();
    if (Ask(leave ? WebBrowser::PageDialog::Leave : WebBrowser::PageDialog::Confirm) ==
        WebBrowser::DialogAnswer::Cancel) {
        return false;  // for a leave-page question: the page stays
    }
    QMessageBox box(QMessageBox::Question, origin.host(), message,
                    QMessageBox::Ok | QMessageBox::Cancel, qobject_cast<QWidget*>(parent()));
    return Exec(box);
}

bool ForumPage::javaScriptPrompt(const QUrl& origin, const QString& message,
                                 const QString& defaultValue, QString* result) {
    if (Ask(WebBrowser::PageDialog::Prompt) == WebBrowser::DialogAnswer::Cancel) {
        return false;
    }
    QInputDialog dialog(qobject_cast<QWidget*>(parent()));
    dialog.setWindowTitle(origin.host());
    dialog.setLabelText(message);
    dialog.setTextValue(defaultValue);
    const bool accepted = Exec(dialog);
    if (accepted && result != nullptr) {
        *result = dialog.textValue();
    }
    return accepted;
}

QStringList ForumPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                   const QStringList& acceptedMimeTypes) {
    WebBrowser* b = m_browser();
    if (b == nullptr || b->Quiet()) {
        return {};
    }
    return QWebEnginePage::chooseFiles(mode, oldFiles, acceptedMimeTypes);
}

}  // namespace binding
