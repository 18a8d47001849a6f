// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "platform/Control.h"

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

    using Control::Control;

    // Starts loading `address` and returns at once.
    void Navigate(const std::u16string& address);
    // Reloads the page shown and returns at once; before the first navigation there is no page.
    void Refresh();

    void SetEngine(Engine* engine) { m_engine = engine; }

  private:
    Engine* m_engine = nullptr;
};

}  // namespace core
