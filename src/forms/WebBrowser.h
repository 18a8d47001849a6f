// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "platform/Control.h"
#include "platform/Timer.h"

namespace core {

// The embedded browser. The program only starts loads and reloads; whatever the user does on
// the page happens inside the engine.
class WebBrowser : public platform::Control {
  public:
    // The engine behind the control (the binding's browser view, or a test's recorder).
    class Engine {
      public:
        virtual ~Engine() = default;
        virtual void Navigate(const std::u16string& address) = 0;
        virtual void Refresh() = 0;
    };

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
    void Refresh();

    void SetEngine(Engine* engine) { m_engine = engine; }

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

  private:
    void Recovery_Timer();
    void Healthy_Timer();

    Engine* m_engine = nullptr;
    platform::Timer m_recovery{"RecoveryTimer", kFirstRecoveryMs, false};
    platform::Timer m_healthy{"HealthyTimer", kHealthyAfterMs, false};
    std::uint32_t m_delay = kFirstRecoveryMs;  // the wait of the next (or pending) recovery
};

}  // namespace core
