// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "platform/Control.h"

namespace platform {

// An entry of a window's menu. "&" in the caption marks the access key; the caption "-" makes
// a separator line.
class Menu {
  public:
    Menu(std::string name, std::u16string caption)
        : m_name(std::move(name)), m_caption(std::move(caption)) {}
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const std::string& Name() const { return m_name; }
    const std::u16string& Caption() const { return m_caption; }
    bool IsSeparator() const { return m_caption == u"-"; }
    bool Enabled() const { return m_enabled; }
    bool Visible() const { return m_visible; }
    bool Checked() const { return m_checked; }

    const std::vector<Menu*>& Items() const { return m_items; }
    void Add(Menu& item) { m_items.push_back(&item); }

    Event<> Click;

  private:
    std::string m_name;
    std::u16string m_caption;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_checked = false;
    std::vector<Menu*> m_items;
};

}  // namespace platform
