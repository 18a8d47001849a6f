// SPDX-License-Identifier: MIT
// The start-up window: the forum in the browser panel, the lock panel that slides over it, the
// close button, the tray icon, and the timers of the keep-alive reload, the clock and the slide.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "forms/AlphaImage.h"
#include "forms/TextBox.h"
#include "forms/WebBrowser.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/PictureBox.h"
#include "platform/Timer.h"
#include "settings/Mod_Config.h"
#include "settings/VelNotifyIcon.h"

namespace core {

class Program;

class FrmMain : public platform::Form {
  public:
    explicit FrmMain(Program& program);
    ~FrmMain() override;

    // Controls, front to back within each container.
    platform::PictureBox Picture2{"Picture2"};  // the lock panel
    platform::PictureBox Picture1{"Picture1"};  // the browser panel
    AlphaImage QExit{"QExit"};
    platform::Label Label2{"Label2"};  // the clock
    platform::Label Label1{"Label1"};  // the error text
    CommandButton CommandButton1{"CommandButton1"};
    AlphaImage aicAlphaImage2{"aicAlphaImage2"};
    AlphaImage aicAlphaImage1{"aicAlphaImage1"};
    TextBox PassWord{"PassWord"};
    TextBox UserName{"UserName"};
    AlphaImage AImage1{"AImage1"};
    WebBrowser Web1{"Web1"};

    platform::Timer LockTimer{"LockTimer", 60000, true};
    platform::Timer Timer1{"Timer1", 5000, true};
    platform::Timer Timer2{"Timer2", 1000, true};
    // While hidden: brings the window back to the task bar if the notification area goes.
    platform::Timer TrayTimer{"TrayTimer", 1000, false};
    platform::Timer zTimCtn1{"zTimCtn1", 15, false};
    platform::Timer zTimCtn2{"zTimCtn2", 15, false};

    // The reload period exactly as read at load, and the minute ticks since the last reload.
    const std::u16string& LockTimeValue() const { return m_lockTimeValue; }
    std::int32_t LockCount() const { return m_lockCount; }

    // Whether the tray icon object exists yet (it is made on first use).
    bool HasTrayIcon() const { return m_tray != nullptr; }

    // Slides `zObject` a ninth of its remaining distance to (ToLeft, ToTop) per tick of
    // zTimCtn1 until its rounded position is the rounded target. Enable -1 starts the slide;
    // any other value only stops a running one. A target of exactly 0 becomes 1, in the
    // caller's variable too.
    void zMove1(platform::Control* zObject, float& ToLeft, float& ToTop, std::int16_t& Enable);
    // The same on the second channel, zTimCtn2.
    void zMove2(platform::Control* zObject, float& ToLeft, float& ToTop, std::int16_t& Enable);

    // The state of the two slide channels.
    platform::Control* zObj1 = nullptr;
    float zLeft1 = 0;
    float zTop1 = 0;
    platform::Control* zObj2 = nullptr;
    float zLeft2 = 0;
    float zTop2 = 0;

    // Shown in normal state and in front, as the tray icon's left click brings it back; the
    // lock stays as it is.
    void ComeToFront();

    // Locked means the lock panel lies over the browser panel (or is sliding there), not
    // beyond the window's edge.
    bool Locked() const;

    // Opens the forum's home page as the settings name it now, for a forum address that has
    // just changed: the reload schedule counts from here.
    void OpenHomePage();

    // Hidden, the window paints nothing: the clock stops with it and is brought up to date
    // the moment the window is shown again. The reload schedule runs on regardless.
    void SetVisible(bool v) override;

  private:
    void Form_Load();
    void Form_Activate();
    void Form_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void Form_Resize();
    // Without a notification area the tray menu opens from here, and says so the first time.
    void OpenMenuFromTitleStrip();
    void Form_Unload();
    void Form_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void Timer1_Timer();
    void LockTimer_Timer();
    void Timer2_Timer();
    void TrayTimer_Timer();
    void zTimCtn1_Timer();
    void zTimCtn2_Timer();
    void CommandButton1_Click();
    void QExit_Click(std::int16_t button);
    void PassWord_KeyDown(std::int16_t key);
    void Form_QueryUnload(bool& cancel);
    // Keeps input where the lock allows it: the browser takes none while the panel covers it,
    // and the panel's controls take none while it lies outside the window.
    void ApplyLock();
    // Slides the lock panel over the page, unless it is there or on its way.
    void LockPage();
    // Opens the forum's home page (as the settings name it now).
    void OpenForum();
    void ExtractBannerImages();

    VelNotifyIcon& TrayIcon();

    Program& m_program;
    std::unique_ptr<VelNotifyIcon> m_tray;
    std::u16string m_lockTimeValue;
    std::int32_t m_lockCount = 0;
    bool m_running = false;  // from the end of the load to the unload
};

// The reload period in minutes that `lockTime` stands for: a whole number of minutes of at
// least 0 (blanks around it ignored); anything else counts as the setting's default.
std::int32_t ReloadPeriod(const std::u16string& lockTime);

// The clock's caption for a time of day: hours 0 to 12 (13 to 23 count as 1 to 11), no
// leading zeros and no AM or PM.
std::u16string ClockCaption(int hour, int minute, int second);

}  // namespace core
