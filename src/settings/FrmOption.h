// SPDX-License-Identifier: MIT
// The settings window: the lock password, the lock switch and the reload period, each written
// to the settings file the moment it is chosen, and the rotating link banner.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "forms/AlphaImage.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"
#include "gif/GifPlay.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/PictureBox.h"
#include "platform/Shape.h"
#include "platform/Timer.h"
#include "settings/Mod_Config.h"

namespace core {

class ProgramWindows;

class FrmOption : public platform::Form {
  public:
    explicit FrmOption(ProgramWindows& program);
    ~FrmOption() override;

    // The address a click on the banner opens now.
    const std::string& CurrentLink() const { return m_link; }

    // Controls, front to back within each container.
    platform::PictureBox Picture1{"Picture1"};  // the settings panel
    platform::Label Label1{"Label1"};           // the window's title
    AlphaImage QExit{"QExit"};

    GifPlay GifPlay1{"GifPlay1"};  // the link banner at the bottom of the panel
    TextBox HomePage{"HomePage"};  // the forum's address
    platform::Label Label5{"Label5"};
    std::array<OptionButton, 4> ReUpdate{OptionButton{"ReUpdate", 0}, OptionButton{"ReUpdate", 1},
                                         OptionButton{"ReUpdate", 2}, OptionButton{"ReUpdate", 3}};
    platform::Label Label4{"Label4"};
    std::array<OptionButton, 2> Mini{OptionButton{"Mini", 0}, OptionButton{"Mini", 1}};
    platform::Label Label3{"Label3"};
    std::array<platform::Label, 5> Label2{
        platform::Label{"Label2", 0}, platform::Label{"Label2", 1}, platform::Label{"Label2", 2},
        platform::Label{"Label2", 3}, platform::Label{"Label2", 4}};
    platform::Shape Shape2{"Shape2"};
    platform::Shape Shape1{"Shape1"};
    CommandButton Command1{"Command1"};
    TextBox NewPass{"NewPass"};
    TextBox oldPass{"oldPass"};
    TextBox Users{"Users"};

    platform::Timer Timer1{"Timer1", 100, true};
    platform::Timer Timer2{"Timer2", 5000, true};

  private:
    void Form_Load();
    void Form_Activate();
    void Form_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void Timer1_Timer();
    void Timer2_Timer();
    void GifPlay1_Click();
    // Puts up the banner file `file` of the data directory; a click then opens `link`.
    void ShowBanner(const char* file, std::u16string_view link);
    void Command1_Click();
    void Mini_Click(std::int16_t index);
    void ReUpdate_Click(std::int16_t index);
    void QExit_Click(std::int16_t button);
    // Stores the address typed into HomePage when it is new and passes the check.
    void SaveHomePage();

    // Writes one setting; when the file refuses it, says so and reports false.
    bool Save(const Setting& setting, std::u16string_view value, std::u16string_view what);
    // After a refused write: the option marked before the click is marked again (none when
    // none was), so the window never shows a choice the file does not hold.
    template <size_t N>
    static void RestoreMark(std::array<OptionButton, N>& options, int previous);

    ProgramWindows& m_program;
    std::int32_t m_rotation = 0;  // the banner shown: 1, 2, 3 for 101, 102, 103.gif (0: 103)
    std::string m_link;           // what a click on the banner opens
    int m_markedMini = -1;
    int m_markedReUpdate = -1;
    bool m_refusingHomePage = false;  // the message box about the address is up
};

}  // namespace core
