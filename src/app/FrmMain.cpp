// SPDX-License-Identifier: MIT
#include "app/FrmMain.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>

#include "app/Program.h"
#include "forms/Addresses.h"
#include "forms/Layouts.h"
#include "platform/Resources.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "settings/FrmMenu.h"
#include "settings/Mod_Config.h"

namespace core {

using platform::Font;
using platform::gdi::RGB;

std::int32_t ReloadPeriod(const std::u16string& lockTime) {
    constexpr std::int32_t kDefault = 15;
    const size_t first = lockTime.find_first_not_of(u' ');
    if (first == std::u16string::npos) {
        return kDefault;
    }
    const size_t last = lockTime.find_last_not_of(u' ');
    long long value = 0;
    for (size_t i = first; i <= last; ++i) {
        const char16_t c = lockTime[i];
        if (c < u'0' || c > u'9') {
            return kDefault;
        }
        value = value * 10 + (c - u'0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            return kDefault;
        }
    }
    return static_cast<std::int32_t>(value);
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
    for (platform::Timer* t : {&LockTimer, &Timer1, &Timer2, &zTimCtn1, &zTimCtn2}) {
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
    PassWord.SetMaxLength(20);
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
    Resize.Connect([this] { Form_Resize(); });
    UnloadEvent.Connect([this] { Form_Unload(); });
    MouseMove.Connect(
        [this](std::int16_t b, std::int16_t s, float x, float y) { Form_MouseMove(b, s, x, y); });
    Timer1.TimerEvent.Connect([this] { Timer1_Timer(); });
    LockTimer.TimerEvent.Connect([this] { LockTimer_Timer(); });
    Timer2.TimerEvent.Connect([this] { Timer2_Timer(); });
}

FrmMain::~FrmMain() = default;

VelNotifyIcon& FrmMain::TrayIcon() {
    if (!m_tray) {
        m_tray = std::make_unique<VelNotifyIcon>();
    }
    return *m_tray;
}

void FrmMain::Form_Load() {
    // 1. No frame: take the border away, rebuild the frame through the caption, and show.
    SetBorderStyle(platform::vbBSNone);
    SetCaption(Caption());
    SetVisible(false);
    SetVisible(true);
    // 4. The close button flush with the right edge; 5. the lock panel parked beyond it.
    QExit.SetLeft(Width() - QExit.Width());
    Picture2.SetLeft(Picture1.Left() + Width());
    // 8. The tray icon.
    TrayIcon().AddNotifyIcon(static_cast<std::int32_t>(hWnd()), Icon(), u"Tidewick");
    if (!platform::Shell().TrayAvailable()) {
        std::fprintf(stderr,
                     "loomhaven: no notification area on this desktop; minimising leaves the "
                     "window on the task bar\n");
    }
    // 9. The banner files for the settings window.
    ExtractBannerImages();
    // 10. The reload period, read once: a new value counts from the next start.
    m_lockTimeValue = ReadSetting(u"Setting", u"LockTime", u"15");
}

void FrmMain::ExtractBannerImages() {
    const std::filesystem::path dir = DataDirectory();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const int id : {101, 102, 103}) {
        const std::vector<std::uint8_t> bytes = platform::LoadResData(id, "CUSTOM");
        const std::filesystem::path file = dir / (std::to_string(id) + ".gif");
        // The file holds exactly the banner: an older, longer file is cut to it.
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "loomhaven: cannot write the banner %s\n", file.c_str());
        }
    }
}

void FrmMain::Timer1_Timer() {
    Web1.Navigate(kForumHost);
    Timer1.SetEnabled(false);
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

void FrmMain::Form_MouseMove(std::int16_t, std::int16_t, float x, float) {
    // The tray icon's mouse message arrives as the horizontal coordinate, in twips.
    const long long pixelsPerUnit = platform::RoundHalfEven(platform::Screen().TwipsPerPixelY());
    if (pixelsPerUnit == 0) {
        return;
    }
    const long long message = platform::RoundHalfEven(x) / pixelsPerUnit;
    if (message == 514) {  // left button released
        if (WindowState() == platform::vbNormal) {
            SetWindowState(platform::vbMinimized);
            SetVisible(false);
        } else {
            SetWindowState(platform::vbNormal);
            SetVisible(true);
        }
    } else if (message == 517) {  // right button released
        FrmMenu& menu = m_program.Menu();
        menu.Load();
        PopupMenu(menu.AppMenu);
    }
}

void FrmMain::Form_Resize() {
    // Minimising hides the window: the tray icon is the way back. Without a notification area
    // the window stays on the task bar, or it could never be reached again.
    if (WindowState() == platform::vbMinimized && platform::Shell().TrayAvailable()) {
        SetVisible(false);
    }
}

void FrmMain::Form_Unload() {
    TrayIcon().DeleteNotifyIcon();
}

}  // namespace core
