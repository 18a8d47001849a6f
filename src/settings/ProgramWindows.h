// SPDX-License-Identifier: MIT
// What the tray menu and the settings window may ask of the owner of the program's windows.
// The owner lives at the top (app/Program); the windows below know it only through this.
#pragma once

namespace platform {
class Form;
}

namespace core {

class ProgramWindows {
  public:
    virtual ~ProgramWindows() = default;

    // The main window, created on first use.
    virtual platform::Form& MainWindow() = 0;
    // Shows the settings window (loading it first, or bringing it to the front).
    virtual void ShowOption() = 0;
    // The forum's address in the settings has changed: the main window opens it now.
    virtual void HomePageChanged() = 0;

  protected:
    ProgramWindows() = default;
    ProgramWindows(const ProgramWindows&) = default;
    ProgramWindows& operator=(const ProgramWindows&) = default;
};

}  // namespace core
