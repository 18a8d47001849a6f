// SPDX-License-Identifier: MIT
// The services the program's parts need from the outside world. main.cpp installs the real
// ones; a test installs its doubles for its own lifetime. Nothing here is a singleton that
// outlives its scope: a ServicesScope restores whatever was installed before it.
#pragma once

#include <filesystem>

namespace platform {

class IClock;
class IProcess;
class IMessageBox;
class IScreen;
class IWindowSystem;
class IPictureDecoder;
class ITextRasteriser;
class IShell;

struct Services {
    // The settings file (empty: the user's configuration directory, see DefaultSettingsFile).
    std::filesystem::path settingsFile;
    // The directory of the executable, under which the data directory lies (empty: found from
    // the running executable).
    std::filesystem::path appPath;
    // The user's data directory, under which an installed program keeps what it writes (empty:
    // from the environment, see DefaultUserDataHome).
    std::filesystem::path userDataHome;

    // Each may stay null: the accessors then give an inert default (see Runtime.h).
    IClock* clock = nullptr;
    IProcess* process = nullptr;
    IMessageBox* messageBox = nullptr;
    IScreen* screen = nullptr;
    IWindowSystem* windows = nullptr;     // makes forms real on screen
    IPictureDecoder* pictures = nullptr;  // decodes picture files (GIF, BMP, PNG)
    ITextRasteriser* text = nullptr;      // draws glyphs onto bitmaps
    IShell* shell = nullptr;              // notification area and opening addresses
};

// What is installed now, with empty paths filled in from the defaults.
const Services& CurrentServices();

class ServicesScope {
  public:
    explicit ServicesScope(Services services);
    ~ServicesScope();
    ServicesScope(const ServicesScope&) = delete;
    ServicesScope& operator=(const ServicesScope&) = delete;

  private:
    Services m_services;
    const Services* m_previous;
};

// $XDG_CONFIG_HOME/Windows.INI, or $HOME/.config/Windows.INI when XDG_CONFIG_HOME is unset.
std::filesystem::path DefaultSettingsFile();

// The directory of the running executable.
std::filesystem::path ExecutableDirectory();

}  // namespace platform
