// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Control.h"
#include "platform/Timer.h"

namespace core {

// The embedded browser. The program only starts loads and reloads; whatever the user does on
// the page happens inside the engine. Nobody may be at the screen: a reload never resends a
// form, never throws away what the user typed, and never waits for a page's dialog.
class WebBrowser : public platform::Control {
  public:
    // The engine behind the control (the binding's browser view, or a test's recorder). What
    // is asked while a page dialog is being closed runs once the dialog is gone.
    class Engine {
      public:
        virtual ~Engine() = default;
        virtual void Navigate(const std::u16string& address) = 0;
        // The engine's own reload of the page shown.
        virtual void Refresh() = 0;
        // The page shown loaded afresh from its address, as a new GET.
        virtual void LoadAfresh() = 0;
        // A request for `address` made with the browser's profile (its cookies) by a page that
        // is never shown; the page shown stays as it is.
        virtual void KeepAlive(const std::u16string& address) = 0;
        // Answers the page dialog on screen as a cancel and closes it.
        virtual void CancelDialog() = 0;
    };

    // The dialogs a page can ask for.
    enum class PageDialog {
        Alert,
        Confirm,
        Prompt,
        Leave,  // the page asks before it is left (a leave-page handler)
    };
    // The answer to a page dialog: shown to the user, or answered as a cancel unseen (for a
    // leave-page prompt a cancel keeps the page).
    enum class DialogAnswer { Show, Cancel };

    // The wait before a dead page is reloaded: a second at first, doubled at each death that
    // follows, up to five minutes.
    static constexpr std::uint32_t kFirstRecoveryMs = 1000;
    static constexpr std::uint32_t kLongestRecoveryMs = 5 * 60 * 1000;
    // A page that loads and then keeps its renderer this long is well again: the next death
    // is recovered after the first, short wait.
    static constexpr std::uint32_t kHealthyAfterMs = 60 * 1000;

    explicit WebBrowser(std::string name);

    // Starts loading `address` and returns at once.
    void Navigate(const std::u16string& address);
    // Reloads the page shown and returns at once; before the first navigation there is no page.
    // A page reached by sending a form is loaded afresh instead of sending the form again; a
    // page that would ask before being left is left alone, and the session is kept alive by a
    // request for the home page. A page dialog still open is answered as a cancel first.
    void Refresh();

    void SetEngine(Engine* engine) { m_engine = engine; }

    // The page the keep-alive request asks for when the page shown cannot be reloaded.
    void SetHomePage(std::u16string address) { m_homePage = std::move(address); }
    const std::u16string& HomePage() const { return m_homePage; }
    // While `quiet` says so (the page covered by the lock, or its window hidden), every page
    // dialog is answered as a cancel without being shown.
    void SetQuietWhen(std::function<bool()> quiet) { m_quiet = std::move(quiet); }
    bool Quiet() const { return m_quiet && m_quiet(); }
    // Answers a dialog on screen as a cancel; nothing when none is open.
    void CancelDialog();

    // From the engine: a load of the main frame was asked of the network; `post` when it sends
    // a form's data.
    void MainFrameRequest(bool post);
    // From the engine: a load of the page shown has started.
    void LoadStarted();
    // From the engine: the page asks for a dialog. Whatever the answer, the engine reports a
    // dialog it showed as gone with DialogClosed.
    DialogAnswer DialogRequested(PageDialog dialog);
    void DialogClosed();
    bool DialogOpen() const { return m_dialogOpen; }
    bool ReachedByPost() const { return m_reachedByPost; }

    // From the engine: the page's renderer ended abnormally (a crash, killed, out of memory).
    // An unattended program must not sit on a dead page, nor reload a page that kills its
    // renderer as fast as it can: the reload comes after a wait that grows while the page
    // keeps dying.
    void RendererEnded();
    // From the engine: a load has finished, `ok` when the page loaded.
    void LoadFinished(bool ok);

    // The wait before the next recovery reload, while one is pending; else what the next
    // death would wait.
    std::uint32_t RecoveryDelayMs() const { return m_delay; }
    bool RecoveryPending() const { return m_recovery.Running(); }

    // How long a reload asked for by the program waits for its load to start; a leave-page
    // prompt in that time is the page refusing the program's reload.
    static constexpr std::uint32_t kReloadWaitMs = 10 * 1000;

  private:
    void Recovery_Timer();
    void Healthy_Timer();
    void ReloadWait_Timer();
    // Starts a load the program asked for (not the user).
    void ProgramLoad();

    Engine* m_engine = nullptr;
    platform::Timer m_recovery{"RecoveryTimer", kFirstRecoveryMs, false};
    platform::Timer m_healthy{"HealthyTimer", kHealthyAfterMs, false};
    platform::Timer m_reloadWait{"ReloadWaitTimer", kReloadWaitMs, false};
    std::uint32_t m_delay = kFirstRecoveryMs;  // the wait of the next (or pending) recovery
    std::u16string m_homePage;
    std::function<bool()> m_quiet;
    bool m_reachedByPost = false;  // the page shown came from sending a form
    bool m_dialogOpen = false;     // a page dialog is on screen
};

}  // namespace core
