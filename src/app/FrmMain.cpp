// SPDX-License-Identifier: MIT
#include "app/FrmMain.h"

#include <string>

#include "app/Program.h"
#include "effects/Mod_PicBoxAplha.h"
#include "effects/Mod_TextOut.h"
#include "effects/Mod_Window.h"
#include "forms/CloseButton.h"
#include "forms/Layouts.h"
#include "platform/Resources.h"
#include "platform/Runtime.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "settings/FrmMenu.h"
#include "settings/Mod_Config.h"
#include "settings/WebAddress.h"

namespace core {

using platform::Font;
using platform::gdi::RGB;

std::int32_t ReloadPeriod(const std::u16string& lockTime) {
    constexpr std::int32_t kDefault = *WholeMinutes(kLockTime.defaultValue);
    return WholeMinutes(lockTime).value_or(kDefault);
}

std::u16string ClockCaption(int hour, int minute, int second) {
    const int h = hour > 12 ? hour - 12 : hour;
    auto digits = [](int v) {
        const std::string s = std::to_string(v);
        return std::u16string(s.begin(), s.end());
    };
    return digits(h) + u":" + digits(minute) + u":" + digits(second);
}

FrmMain::FrmMain(Program& program) : Form("FrmMain"), m_program(program) {
    SetCaption(u"Quillmere");
    Move(0, 0, 11145, 8175);
    SetPicture(LayoutPicture("FrmMain.bmp"));
    SetIcon(platform::EmbeddedFile("Loomhaven.ico"));

    Add(Picture2);
    Add(Picture1);
    Add(QExit);
    for (platform::Timer* t : {&LockTimer, &Timer1, &Timer2, &TrayTimer, &zTimCtn1, &zTimCtn2}) {
        Add(*t);
    }
    // Front to back: the clock and the error text over the controls, the plate at the back.
    Picture2.Add(Label2);
    Picture2.Add(Label1);
    Picture2.Add(CommandButton1);
    Picture2.Add(aicAlphaImage2);
    Picture2.Add(aicAlphaImage1);
    Picture2.Add(PassWord);
    Picture2.Add(UserName);
    Picture2.Add(AImage1);
    Picture1.Add(Web1);

    Picture2.Move(0, 780, 11190, 6930);
    Picture2.SetTabIndex(4);
    Picture2.SetTabStop(false);
    Picture1.Move(-45, 750, 11190, 6930);
    Picture1.SetTabIndex(2);
    Picture1.SetTabStop(false);
    QExit.Move(10830, 0, 660, 360);
    QExit.SetImage(platform::EmbeddedFile("QExit.png"));
    QExit.SetTabStop(false);

    Label2.Move(8085, 5190, 765, 345);
    Label2.SetTabIndex(7);
    Label2.SetCaption(u"Label2");
    Label2.SetForeColor(RGB(255, 255, 255));
    Label2.SetFont(Font{.name = u"Comic Sans MS", .size = 12, .bold = true, .charset = 0});
    Label2.SetAutoSize(true);

    Label1.Move(6000, 3990, 90, 180);
    Label1.SetTabIndex(6);
    Label1.SetForeColor(RGB(255, 128, 128));
    Label1.SetAlignment(platform::vbCenter);
    Label1.SetFont(Font{.name = u"宋体", .size = 9});
    Label1.SetAutoSize(true);

    CommandButton1.Move(7155, 4680, 990, 420);
    CommandButton1.SetTabIndex(5);
    CommandButton1.SetCaption(u"Login");
    CommandButton1.SetFont(Font{.name = u"宋体", .size = 9});

    aicAlphaImage2.Move(3690, 2790, 360, 360);
    aicAlphaImage2.SetImage(platform::EmbeddedFile("Monitor.png"));
    aicAlphaImage2.SetTabStop(false);
    aicAlphaImage1.Move(3690, 3495, 360, 360);
    aicAlphaImage1.SetImage(platform::EmbeddedFile("Padlock.png"));
    aicAlphaImage1.SetTabStop(false);

    PassWord.Move(4395, 3480, 3405, 360);
    PassWord.SetTabIndex(1);
    PassWord.SetMaxLength(kPassWordMaxLength);
    PassWord.SetPasswordChar(u'*');
    PassWord.SetForeColor(RGB(192, 192, 192));
    PassWord.SetBorderColor(RGB(192, 192, 192));
    PassWord.SetFont(Font{.name = u"宋体", .size = 9});

    UserName.Move(4395, 2775, 3390, 360);
    UserName.SetTabIndex(0);
    UserName.SetMaxLength(16);
    UserName.SetForeColor(RGB(128, 128, 128));
    UserName.SetBorderColor(RGB(128, 128, 128));
    UserName.SetFont(Font{.name = u"宋体", .size = 10.5f});

    AImage1.Move(2340, 1020, 6900, 4650);
    AImage1.SetImage(platform::EmbeddedFile("Plate.png"));
    AImage1.SetTabStop(false);

    Web1.Move(30, 0, 11160, 6930);
    Web1.SetTabIndex(3);

    LoadEvent.Connect([this] { Form_Load(); });
    Activate.Connect([this] { Form_Activate(); });
    MouseDown.Connect(
        [this](std::int16_t b, std::int16_t s, float x, float y) { Form_MouseDown(b, s, x, y); });
    Resize.Connect([this] { Form_Resize(); });
    UnloadEvent.Connect([this] { Form_Unload(); });
    MouseMove.Connect(
        [this](std::int16_t b, std::int16_t s, float x, float y) { Form_MouseMove(b, s, x, y); });
    Timer1.TimerEvent.Connect([this] { Timer1_Timer(); });
    LockTimer.TimerEvent.Connect([this] { LockTimer_Timer(); });
    Timer2.TimerEvent.Connect([this] { Timer2_Timer(); });
    TrayTimer.TimerEvent.Connect([this] { TrayTimer_Timer(); });
    zTimCtn1.TimerEvent.Connect([this] { zTimCtn1_Timer(); });
    zTimCtn2.TimerEvent.Connect([this] { zTimCtn2_Timer(); });
    CommandButton1.Click.Connect([this] { CommandButton1_Click(); });
    QExit.Click.Connect([this](std::int16_t button) { QExit_Click(button); });
    ConnectHoverPictures(QExit);
    PassWord.KeyDown.Connect([this](std::int16_t key) { PassWord_KeyDown(key); });
    QueryUnload.Connect([this](bool& cancel) { Form_QueryUnload(cancel); });
}

FrmMain::~FrmMain() = default;

VelNotifyIcon& FrmMain::TrayIcon() {
    if (!m_tray) {
        m_tray = std::make_unique<VelNotifyIcon>();
    }
    return *m_tray;
}

void FrmMain::Form_Load() {
    // 1. No frame.
    MakeFrameless(*this);
    // 2. The panels translucent over the background (this keeps what is drawn on the window).
    BlendPictureBox(*this, Picture1, 100);
    BlendPictureBox(*this, Picture2, 100);
    // 3. The product name, white with a black outline, kept on the window's surface.
    DrawOutlinedText(hDC(), u"Loomhaven", 13, 8, RGB(0, 0, 0), RGB(255, 255, 255));
    // 4. The close button flush with the right edge; 5. the lock panel parked beyond it.
    QExit.SetLeft(Width() - QExit.Width());
    Picture2.SetLeft(Picture1.Left() + Width());
    // 6. Rounded corners.
    MakeRoundWindow(*this);
    // Nobody sees a page dialog behind the lock or in the tray: the page gets a cancel.
    Web1.SetQuietWhen(
        [this] { return Locked() || !Visible() || WindowState() == platform::vbMinimized; });
    ApplyLock();
    // 7. The lock panel slides in over the browser: the program always starts locked.
    float left = Picture1.Left();
    float top = Picture1.Top();
    std::int16_t enable = -1;
    zMove1(&Picture2, left, top, enable);
    // 8. The tray icon.
    TrayIcon().AddNotifyIcon(static_cast<std::int32_t>(hWnd()), Icon(), u"Tidewick");
    if (!platform::Shell().TrayAvailable()) {
        platform::Warn(
            "no notification area on this desktop; minimising leaves the window on "
            "the task bar");
    }
    // 9. The banner files for the settings window.
    ExtractBannerImages();
    // 10. The reload period, read once: a new value counts from the next start.
    m_lockTimeValue = ReadSetting(kLockTime);
    m_running = true;
}

void FrmMain::SetVisible(bool v) {
    const bool was = Visible();
    Form::SetVisible(v);
    // The hide and show of the load itself leave the clock alone: its first tick is a second
    // after the load.
    if (!m_running || v == was) {
        return;
    }
    if (v) {
        Timer2_Timer();
    }
    Timer2.SetEnabled(v);
    // Only a hidden window needs to know whether the notification area is still there.
    TrayTimer.SetEnabled(!v);
}

void FrmMain::Form_Activate() {
    // Every activation blends again over what the panels hold: they grow more transparent.
    BlendPictureBox(*this, Picture1, 100);
    BlendPictureBox(*this, Picture2, 100);
}

void FrmMain::Form_MouseDown(std::int16_t button, std::int16_t, float, float y) {
    // Only the window's free surface reaches here (the title strip, the strip at the bottom):
    // a press on a control goes to the control.
    const bool titleStrip = y < Picture1.Top();
    if (button == platform::vbRightButton && titleStrip && !platform::Shell().TrayAvailable()) {
        OpenMenuFromTitleStrip();
        return;
    }
    BeginWindowDrag(*this);
}

void FrmMain::OpenMenuFromTitleStrip() {
    if (ReadSetting(kTitleMenuTold) != u"True") {
        // Told once: a failed write only means being told again next time.
        WriteSetting(kTitleMenuTold, u"True");
        platform::MessageBoxes().Show(
            u"桌面上没有通知区域：右键单击窗口顶部的标题栏即可打开软件的菜单。", u"系统提示",
            platform::MsgBoxStyle::Ok);
    }
    FrmMenu& menu = m_program.Menu();
    menu.Load();
    PopupMenu(menu.AppMenu);
}

void FrmMain::ComeToFront() {
    if (!IsLoaded()) {
        return;
    }
    if (WindowState() != platform::vbNormal || !Visible()) {
        SetWindowState(platform::vbNormal);
        SetVisible(true);
    }
    BringToFront();
}

void FrmMain::ExtractBannerImages() {
    for (const int id : {101, 102, 103}) {
        // The file holds exactly the banner, and a reader never finds half of one.
        WriteDataFile(std::to_string(id) + ".gif", platform::LoadResData(id, "CUSTOM"),
                      "the banner");
    }
}

void FrmMain::Timer1_Timer() {
    OpenForum();
    Timer1.SetEnabled(false);
}

void FrmMain::OpenHomePage() {
    // A new forum: its first reload is a whole period from now.
    Timer1.SetEnabled(false);
    LockTimer.SetEnabled(false);
    LockTimer.SetEnabled(true);
    m_lockCount = 0;
    OpenForum();
}

void FrmMain::OpenForum() {
    const std::u16string home = ForumHomePage();
    Web1.SetHomePage(home);
    Web1.Navigate(home);
}

void FrmMain::LockTimer_Timer() {
    if (ReloadPeriod(m_lockTimeValue) == m_lockCount) {
        m_lockCount = 0;
        Web1.Refresh();
    } else {
        ++m_lockCount;
    }
}

void FrmMain::Timer2_Timer() {
    const platform::LocalTime now = platform::Clock().Now();
    Label2.SetCaption(ClockCaption(now.hour, now.minute, now.second));
}

void FrmMain::TrayTimer_Timer() {
    // A notification area that went away took the way back to a hidden window with it: the
    // window returns to the task bar, minimised, where its title strip holds the menu.
    if (!Visible() && WindowState() == platform::vbMinimized &&
        !platform::Shell().TrayAvailable()) {
        SetVisible(true);
    }
}

void FrmMain::Form_MouseMove(std::int16_t, std::int16_t, float x, float) {
    // The tray icon's mouse message arrives as the horizontal coordinate, in twips.
    const long long pixelsPerUnit = platform::RoundHalfEven(platform::Screen().TwipsPerPixelY());
    if (pixelsPerUnit == 0) {
        return;
    }
    const long long message = platform::RoundHalfEven(x) / pixelsPerUnit;
    if (message == platform::WM_LBUTTONUP) {
        if (WindowState() == platform::vbNormal) {
            SetWindowState(platform::vbMinimized);
            SetVisible(false);
        } else {
            SetWindowState(platform::vbNormal);
            SetVisible(true);
        }
    } else if (message == platform::WM_RBUTTONUP) {
        FrmMenu& menu = m_program.Menu();
        menu.Load();
        PopupMenu(menu.AppMenu);
    }
}

void FrmMain::Form_Resize() {
    if (WindowState() != platform::vbMinimized) {
        return;
    }
    // "Lock after minimising" holds for every way down (the close button, the tray icon, the
    // window manager, the tray menu's settings item): the window always comes back locked. The
    // slide goes on while the window is hidden.
    if (ReadSetting(kLock) == u"True") {
        LockPage();
    }
    // A dialog of the page would stand alone on the desktop.
    Web1.CancelDialog();
    // Minimising hides the window: the tray icon is the way back. Without a notification area
    // the window stays on the task bar, or it could never be reached again.
    if (platform::Shell().TrayAvailable()) {
        SetVisible(false);
    }
}

void FrmMain::Form_Unload() {
    m_running = false;
    TrayIcon().DeleteNotifyIcon();
}

void FrmMain::Form_QueryUnload(bool& cancel) {
    // Closing the window from the window system (Alt+F4) does what the close button does:
    // the program ends only from the tray menu.
    cancel = true;
    QExit_Click(platform::vbLeftButton);
}

// --- The lock ----------------------------------------------------------------------------------

bool FrmMain::Locked() const {
    // The panel lies over the browser panel, or is on its way there.
    const float edge = Picture1.Left() + Picture1.Width();
    const bool covering = Picture2.Left() < edge;
    const bool coming = zObj1 == &Picture2 && zTimCtn1.Running() && zLeft1 < edge;
    return covering || coming;
}

void FrmMain::ApplyLock() {
    const bool locked = Locked();
    Web1.SetEnabled(!locked);
    Picture2.SetEnabled(locked);
    if (locked) {
        Web1.CancelDialog();  // nothing of the page stands over the lock
    }
}

void FrmMain::LockPage() {
    // Already over the page and staying, or on its way there. A panel sliding out still
    // counts as locked, but is turned back.
    const bool sliding = zObj1 == &Picture2 && zTimCtn1.Running();
    if (sliding ? zLeft1 < Picture1.Left() + Picture1.Width() : Locked()) {
        return;
    }
    float left = Picture1.Left();
    float top = Picture1.Top();
    std::int16_t enable = -1;
    zMove1(&Picture2, left, top, enable);
}

void FrmMain::CommandButton1_Click() {
    const Credentials credentials = CheckCredentials(UserName.Text(), PassWord.Text());
    if (credentials == Credentials::Unreadable) {
        Label1.SetCaption(std::u16string(kSettingsUnreadable));
        return;
    }
    if (credentials == Credentials::Match) {
        UserName.SetText(u"");
        PassWord.SetText(u"");
        float left = Picture1.Width();
        float top = Picture1.Top();
        std::int16_t enable = -1;
        zMove1(&Picture2, left, top, enable);
    } else {
        // The text stays for the rest of the run; nothing ever clears it.
        Label1.SetCaption(u"账号密码错误，请重试...");
    }
}

void FrmMain::PassWord_KeyDown(std::int16_t key) {
    if (key == platform::vbKeyReturn) {  // Enter presses "Login"
        CommandButton1_Click();
    }
}

void FrmMain::QExit_Click(std::int16_t button) {
    // Minimising covers the page first when the switch says so (Form_Resize); a switch that
    // is neither "True" nor "False" leaves the button doing nothing.
    const std::u16string lock = ReadSetting(kLock);
    if ((lock == u"True" || lock == u"False") && button == platform::vbLeftButton) {
        SetWindowState(platform::vbMinimized);
    }
}

// --- The slide ---------------------------------------------------------------------------------

namespace {

// One channel of the slide, on the window's members of that channel.
void StartSlide(platform::Timer& timer, platform::Control*& obj, float& targetLeft,
                float& targetTop, platform::Control* zObject, float& ToLeft, float& ToTop,
                std::int16_t Enable) {
    timer.SetEnabled(false);
    obj = nullptr;
    targetTop = 0;
    targetLeft = 0;
    if (ToLeft == 0) {
        ToLeft = 1;
    }
    if (ToTop == 0) {
        ToTop = 1;
    }
    if (Enable != -1) {
        return;
    }
    obj = zObject;
    targetTop = ToTop;
    targetLeft = ToLeft;
    timer.SetEnabled(true);
}

void SlideTick(platform::Timer& timer, platform::Control* obj, float targetLeft, float targetTop) {
    if (obj != nullptr) {
        // A ninth of the remaining distance in each direction, in single precision.
        const float left = obj->Left();
        if (left != targetLeft) {
            const float step = (targetLeft - left) / 9.0f;
            obj->SetLeft(left + step);
        }
        const float top = obj->Top();
        if (top != targetTop) {
            const float step = (targetTop - top) / 9.0f;
            obj->SetTop(top + step);
        }
    }
    // Arrived when the rounded position is the rounded target; a channel without a control
    // counts as arrived.
    const bool arrived =
        obj == nullptr ||
        (platform::RoundHalfEven(obj->Left()) == platform::RoundHalfEven(targetLeft) &&
         platform::RoundHalfEven(obj->Top()) == platform::RoundHalfEven(targetTop));
    if (arrived) {
        timer.SetEnabled(false);
    }
}

}  // namespace

void FrmMain::zMove1(platform::Control* zObject, float& ToLeft, float& ToTop,
                     std::int16_t& Enable) {
    StartSlide(zTimCtn1, zObj1, zLeft1, zTop1, zObject, ToLeft, ToTop, Enable);
    ApplyLock();
}

void FrmMain::zMove2(platform::Control* zObject, float& ToLeft, float& ToTop,
                     std::int16_t& Enable) {
    StartSlide(zTimCtn2, zObj2, zLeft2, zTop2, zObject, ToLeft, ToTop, Enable);
}

void FrmMain::zTimCtn1_Timer() {
    SlideTick(zTimCtn1, zObj1, zLeft1, zTop1);
    ApplyLock();
}

void FrmMain::zTimCtn2_Timer() {
    SlideTick(zTimCtn2, zObj2, zLeft2, zTop2);
}

}  // namespace core
