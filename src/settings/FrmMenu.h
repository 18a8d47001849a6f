// SPDX-License-Identifier: MIT
// A window that is never shown: it owns the tray icon's pop-up menu.
#pragma once

#include "platform/Form.h"
#include "platform/Menu.h"

namespace core {

class ProgramWindows;

class FrmMenu : public platform::Form {
  public:
    explicit FrmMenu(ProgramWindows& program);

    platform::Menu AppMenu{"AppMenu", u"菜单"};
    platform::Menu update{"update", u"检测更新(&U)"};
    platform::Menu a{"a", u"-"};
    platform::Menu Setting{"Setting", u"软件设置(&S)"};
    platform::Menu b{"b", u"-"};
    platform::Menu QExit{"QExit", u"退出软件(&E)"};

  private:
    void Setting_Click();
    void QExit_Click();

    ProgramWindows& m_program;
};

}  // namespace core
