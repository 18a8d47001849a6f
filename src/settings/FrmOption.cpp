// SPDX-License-Identifier: MIT
#include "settings/FrmOption.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "effects/Mod_PicBoxAplha.h"
#include "effects/Mod_Window.h"
#include "forms/Addresses.h"
#include "forms/CloseButton.h"
#include "forms/Layouts.h"
#include "gif/Mod_IntImg.h"
#include "platform/Bmp.h"
#include "platform/Resources.h"
#include "platform/Runtime.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "settings/Mod_Config.h"
#include "settings/ProgramWindows.h"
#include "settings/WebAddress.h"

namespace core {

using platform::Font;
using platform::gdi::RGB;

namespace {

const Font kSong9{.name = u"宋体", .size = 9};
const Font kNewSong{.name = u"新宋体", .size = 10.5f};
const Font kNewSongBold{.name = u"新宋体", .size = 10.5f, .bold = true};

void PlaceLabel(platform::Label& label, platform::Twips l, platform::Twips t, platform::Twips w,
                platform::Twips h, int tabIndex, std::u16string caption,
                platform::gdi::COLORREF colour, const Font& font) {
    label.Move(l, t, w, h);
    label.SetTabIndex(tabIndex);
    label.SetCaption(std::move(caption));
    label.SetForeColor(colour);
    label.SetFont(font);
    label.SetAutoSize(true);
}

void PlaceOption(OptionButton& option, platform::Twips l, platform::Twips t, platform::Twips w,
                 int tabIndex, std::u16string caption) {
    option.Move(l, t, w, 255);
    option.SetTabIndex(tabIndex);
    option.SetCaption(std::move(caption));
    option.SetForeColor(RGB(192, 255, 192));
    option.SetFont(kSong9);
}

// The system colour of button faces, as a colour value that names it.
constexpr std::int64_t kButtonFace = 0x80000000LL | platform::gdi::COLOR_BTNFACE;

constexpr int kWindowFrame = 6;  // the system colour of window frames, a text box's border

void PlaceTextBox(TextBox& box, platform::Twips left, platform::Twips top, platform::Twips width,
                  int tabIndex) {
    box.Move(left, top, width, 285);
    box.SetTabIndex(tabIndex);
    box.SetForeColor(platform::gdi::GetSysColor(platform::gdi::COLOR_WINDOWTEXT));
    box.SetBorderColor(platform::gdi::GetSysColor(kWindowFrame));
    box.SetFont(kSong9);
}

// The reload periods of the four choices, in minutes.
constexpr std::array<int, 4> kLockTimes = {10, 15, 20, 23};

}  // namespace

FrmOption::FrmOption(ProgramWindows& program) : Form("FrmOption"), m_program(program) {
    SetCaption(u"软件设置");
    Move(0, 0, 11595, 7905);
    SetPicture(LayoutPicture("FrmOption.bmp"));
    SetIcon(platform::EmbeddedFile("Loomhaven.ico"));

    Add(Picture1);
    Add(Label1);
    Add(QExit);
    Add(Timer1);
    Add(Timer2);
    Picture1.Add(GifPlay1);
    Picture1.Add(HomePage);
    Picture1.Add(Label5);
    for (int i = 3; i >= 0; --i) {
        Picture1.Add(ReUpdate[static_cast<size_t>(i)]);
    }
    Picture1.Add(Label4);
    Picture1.Add(Mini[1]);
    Picture1.Add(Mini[0]);
    Picture1.Add(Label3);
    Picture1.Add(Label2[4]);
    Picture1.Add(Shape2);
    Picture1.Add(Shape1);
    Picture1.Add(Label2[3]);
    Picture1.Add(Command1);
    Picture1.Add(NewPass);
    Picture1.Add(oldPass);
    Picture1.Add(Users);
    Picture1.Add(Label2[2]);
    Picture1.Add(Label2[1]);
    Picture1.Add(Label2[0]);

    Picture1.Move(1785, 630, 9765, 6930);
    Picture1.SetTabIndex(0);
    Picture1.SetTabStop(false);
    PlaceLabel(Label1, 285, 90, 840, 210, 1, u"选项设置", RGB(255, 255, 255), kNewSong);
    QExit.Move(10950, -15, 660, 360);
    QExit.SetImage(platform::EmbeddedFile("QExit.png"));
    QExit.SetTabStop(false);

    GifPlay1.Move(45, 5685, 9660, 1170);
    GifPlay1.SetTabIndex(3);
    {
        // What the layout keeps for the banner: its size and a button-face background.
        platform::PropertyBag kept;
        kept.WriteProperty("_extentx", 17039, -1);
        kept.WriteProperty("_extenty", 2064, -1);
        kept.WriteProperty("gifbkcolor", kButtonFace, -1);
        GifPlay1.ReadProperties(kept);
    }

    // The forum's address: a row of its own in the free lower part of the other settings.
    PlaceTextBox(HomePage, 1320, 4755, 4335, 21);
    PlaceLabel(Label5, 330, 4800, 900, 180, 20, u"论坛地址：", RGB(0, 0, 255), kSong9);
    PlaceOption(ReUpdate[3], 2085, 4350, 1080, 19, u" 23分钟");
    PlaceOption(ReUpdate[2], 1065, 4350, 1080, 18, u" 20分钟");
    PlaceOption(ReUpdate[1], 2085, 3990, 1080, 17, u" 15分钟");
    PlaceOption(ReUpdate[0], 1065, 3990, 1005, 16, u" 10分钟");
    PlaceLabel(Label4, 330, 3645, 1260, 180, 15, u"网页刷新时间：", RGB(0, 0, 255), kSong9);
    PlaceOption(Mini[1], 2070, 3150, 1305, 14, u"不锁屏");
    PlaceOption(Mini[0], 1050, 3150, 1050, 13, u"  锁屏");
    PlaceLabel(Label3, 330, 2850, 1620, 180, 12, u"最小化后是否锁屏：", RGB(0, 0, 255), kSong9);
    PlaceLabel(Label2[4], 225, 330, 1125, 210, 11, u"账号操作：", RGB(255, 255, 255), kNewSongBold);
    Shape2.Move(195, 600, 5595, 1665);
    Shape1.Move(195, 2685, 5610, 2865);
    PlaceLabel(Label2[3], 225, 2415, 1125, 210, 10, u"其他操作：", RGB(255, 255, 255),
               kNewSongBold);
    Command1.Move(4140, 795, 1260, 390);
    Command1.SetTabIndex(9);
    Command1.SetCaption(u"修改");
    Command1.SetFont(kSong9);
    PlaceTextBox(NewPass, 1485, 1755, 2280, 8);
    PlaceTextBox(oldPass, 1485, 1305, 2280, 7);
    PlaceTextBox(Users, 1485, 825, 2280, 6);
    PlaceLabel(Label2[2], 525, 1785, 1050, 210, 5, u"新的密码：", RGB(0, 0, 0), kNewSong);
    PlaceLabel(Label2[1], 525, 1305, 1050, 210, 4, u"原始密码：", RGB(0, 0, 0), kNewSong);
    PlaceLabel(Label2[0], 525, 855, 1050, 210, 2, u"用户账号：", RGB(0, 0, 0), kNewSong);

    LoadEvent.Connect([this] { Form_Load(); });
    Activate.Connect([this] { Form_Activate(); });
    MouseDown.Connect(
        [this](std::int16_t b, std::int16_t s, float x, float y) { Form_MouseDown(b, s, x, y); });
    Timer1.TimerEvent.Connect([this] { Timer1_Timer(); });
    Timer2.TimerEvent.Connect([this] { Timer2_Timer(); });
    GifPlay1.Click.Connect([this] { GifPlay1_Click(); });
    Command1.Click.Connect([this] { Command1_Click(); });
    for (OptionButton& option : Mini) {
        option.Click.Connect([this](std::int16_t index) { Mini_Click(index); });
    }
    for (OptionButton& option : ReUpdate) {
        option.Click.Connect([this](std::int16_t index) { ReUpdate_Click(index); });
    }
    QExit.Click.Connect([this](std::int16_t button) { QExit_Click(button); });
    ConnectHoverPictures(QExit);
    HomePage.KeyDown.Connect([this](std::int16_t key) {
        if (key == platform::vbKeyReturn) {
            SaveHomePage();
        }
    });
    HomePage.LostFocus.Connect([this] { SaveHomePage(); });
}

FrmOption::~FrmOption() = default;

void FrmOption::Form_Load() {
    MakeFrameless(*this);
    MakeRoundWindow(*this);
    // The address is the one setting shown: a long text nobody wants to type again to see it.
    HomePage.SetText(ReadSetting(kHomePage));
    // The banner: the board's first, although it is the second of the rotation.
    m_rotation = 0;
    ShowBanner("102.gif", ForumBoardPage());
}

void FrmOption::Form_Activate() {
    // Every activation blends again over what the panel holds: it grows more transparent.
    BlendPictureBox(*this, Picture1, 150);
}

void FrmOption::Form_MouseDown(std::int16_t, std::int16_t, float, float) {
    // Only the window's free surface reaches here: the title strip and the margins.
    BeginWindowDrag(*this);
}

void FrmOption::ShowBanner(const char* file, std::u16string_view link) {
    GifPlay1.Play(DataFile(file, platform::DataAccess::Read).string());
    m_link = platform::ToUtf8Lossy(link);
}

void FrmOption::Timer2_Timer() {
    // The banner and its link change together.
    ++m_rotation;
    if (m_rotation == 1) {
        ShowBanner("101.gif", ForumHomePage());
    }
    if (m_rotation == 2) {
        ShowBanner("102.gif", ForumBoardPage());
    }
    if (m_rotation == 3) {
        ShowBanner("103.gif", kPersonalPage);
        m_rotation = 0;
    }
}

void FrmOption::GifPlay1_Click() {
    platform::ShellExecuteA(hWnd(), "open", m_link.c_str(), nullptr, nullptr,
                            platform::SW_SHOWNORMAL);
}

void FrmOption::Timer1_Timer() {
    // Once per load: the background picture goes to BlackGround.bmp and comes back from there.
    // Whatever fails on the way leaves the background as it is.
    Timer1.SetEnabled(false);
    const std::shared_ptr<const platform::gdi::Bitmap>& background = Picture();
    if (!background) {
        return;
    }
    constexpr std::string_view kFile = "BlackGround.bmp";
    if (!WriteDataFile(kFile, platform::EncodeBmp24(*background))) {
        return;
    }
    const std::filesystem::path file = DataFile(kFile, platform::DataAccess::Read);
    const platform::PicturePtr loaded = LoadImageFile(file);
    if (!loaded) {
        platform::Warn("cannot read back %s", file.c_str());
        return;
    }
    // The bitmap lives as long as the picture object that owns it.
    SetPicture(std::shared_ptr<const platform::gdi::Bitmap>(
        loaded, platform::gdi::BitmapOf(loaded->Handle())));
}

bool FrmOption::Save(const Setting& setting, std::u16string_view value, std::u16string_view what) {
    if (WriteSetting(setting, value)) {
        return true;
    }
    platform::MessageBoxes().Show(
        u"无法保存" + std::u16string(what) + u"。\n设置文件：" +
            platform::FromUtf8(platform::CurrentServices().settingsFile.string()),
        u"系统提示", platform::MsgBoxStyle::OkCritical);
    return false;
}

template <size_t N>
void FrmOption::RestoreMark(std::array<OptionButton, N>& options, int previous) {
    if (previous >= 0) {
        options[static_cast<size_t>(previous)].SetValue(true);
    } else {
        for (OptionButton& option : options) {
            option.SetValue(false);
        }
    }
}

void FrmOption::Command1_Click() {
    const Credentials credentials = CheckCredentials(Users.Text(), oldPass.Text());
    if (credentials == Credentials::Unreadable) {
        // Without the stored pair nothing can be checked, so nothing is written; the boxes
        // keep their texts for another try.
        platform::MessageBoxes().Show(
            std::u16string(kSettingsUnreadable) + u"\n设置文件：" +
                platform::FromUtf8(platform::CurrentServices().settingsFile.string()),
            u"系统提示", platform::MsgBoxStyle::OkCritical);
        return;
    }
    // A password the lock panel's box cannot take (none at all, or longer than it) would lock
    // the user out for good.
    if (credentials == Credentials::Match && kPassWord.Accepts(NewPass.Text())) {
        Save(kPassWord, NewPass.Text(), u"新的密码");
        return;
    }
    platform::MessageBoxes().Show(u"账号密码有误，请重新操作！", u"系统提示",
                                  platform::MsgBoxStyle::OkCritical);
    Users.SetText(u"");
    oldPass.SetText(u"");
    NewPass.SetText(u"");
}

void FrmOption::Mini_Click(std::int16_t index) {
    const std::u16string value = index == 0 ? u"True" : u"False";
    if (Save(kLock, value, u"“最小化后是否锁屏”的设置")) {
        m_markedMini = index;
    } else {
        RestoreMark(Mini, m_markedMini);
    }
}

void FrmOption::ReUpdate_Click(std::int16_t index) {
    if (index < 0 || index >= static_cast<std::int16_t>(kLockTimes.size())) {
        return;
    }
    const std::string digits = std::to_string(kLockTimes[static_cast<size_t>(index)]);
    if (Save(kLockTime, std::u16string(digits.begin(), digits.end()), u"“网页刷新时间”的设置")) {
        m_markedReUpdate = index;
    } else {
        RestoreMark(ReUpdate, m_markedReUpdate);
    }
}

void FrmOption::SaveHomePage() {
    if (m_refusingHomePage) {
        return;  // the message box took the keyboard: the box is not being left
    }
    const std::u16string_view typed = TrimBlanks(HomePage.Text());
    const std::optional<std::u16string> stored = TryReadSetting(kHomePage);
    if (stored && *stored == typed) {
        return;  // nothing new: the forum is not opened again
    }
    if (!kHomePage.Accepts(typed)) {
        m_refusingHomePage = true;
        platform::MessageBoxes().Show(u"论坛地址无效，请重新输入！", u"系统提示",
                                      platform::MsgBoxStyle::OkCritical);
        m_refusingHomePage = false;
        return;
    }
    if (Save(kHomePage, typed, u"论坛地址")) {
        m_program.HomePageChanged();
    }
}

void FrmOption::QExit_Click(std::int16_t button) {
    if (button == platform::vbLeftButton) {
        Unload();
    }
}

}  // namespace core
