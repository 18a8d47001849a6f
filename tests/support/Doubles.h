// SPDX-License-Identifier: MIT
// Test doubles for the runtime services, and a harness that installs them for one test.
#pragma once

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "TempDir.h"
#include "platform/DataPaths.h"
#include "platform/Form.h"
#include "platform/Runtime.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/TextRasteriser.h"

namespace testing_support {

// A clock that moves only when told to. Advancing it fires every tick that falls due, in time
// order (ties in the order the timers were started), each handler running to its end before
// the next one.
class VirtualClock final : public platform::IClock {
  public:
    VirtualClock() { SetTime(2026, 12, 9, 9, 0, 0); }

    platform::TimerId StartTimer(std::uint32_t intervalMs, std::function<void()> tick) override {
        const platform::TimerId id = ++m_nextId;
        const std::uint32_t interval = intervalMs == 0 ? 1 : intervalMs;
        m_timers[id] = Entry{interval, m_now + interval,
                             std::make_shared<std::function<void()>>(std::move(tick))};
        return id;
    }
    void StopTimer(platform::TimerId id) override { m_timers.erase(id); }

    platform::LocalTime Now() const override {
        const std::time_t t = m_base + static_cast<std::time_t>(m_now / 1000);
        std::tm tm{};
        gmtime_r(&t, &tm);
        return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    }

    // Sets the local time of day (the elapsed count stays).
    void SetTime(int year, int month, int day, int hour, int minute, int second) {
        std::tm tm{};
        tm.tm_year = year - 1900;
        tm.tm_mon = month - 1;
        tm.tm_mday = day;
        tm.tm_hour = hour;
        tm.tm_min = minute;
        tm.tm_sec = second;
        m_base = timegm(&tm) - static_cast<std::time_t>(m_now / 1000);
    }

    // Milliseconds since the clock was made.
    long long Elapsed() const { return m_now; }

    void Advance(long long ms) {
        const long long target = m_now + ms;
        for (;;) {
            auto next = m_timers.end();
            for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
                if (it->second.due <= target &&
                    (next == m_timers.end() || it->second.due < next->second.due)) {
                    next = it;
                }
            }
            if (next == m_timers.end()) {
                break;
            }
            m_now = next->second.due;
            next->second.due += next->second.interval;
            const auto tick = next->second.tick;  // the handler may stop or restart its timer
            (*tick)();
        }
        m_now = target;
    }

    size_t RunningTimers() const { return m_timers.size(); }
    // Whether some running timer ticks every `interval` milliseconds.
    bool IsRunningWithInterval(std::uint32_t interval) const {
        for (const auto& [id, e] : m_timers) {
            if (e.interval == interval) {
                return true;
            }
        }
        return false;
    }

  private:
    struct Entry {
        std::uint32_t interval;
        long long due;
        std::shared_ptr<std::function<void()>> tick;
    };
    std::map<platform::TimerId, Entry> m_timers;  // ordered by id: ties go to the older timer
    platform::TimerId m_nextId = 0;
    long long m_now = 0;
    std::time_t m_base = 0;
};

class FakeProcess final : public platform::IProcess {
  public:
    void DoEvents() override {
        ++doEvents;
        if (inside) {
            const std::function<void()> run = std::exchange(inside, nullptr);
            run();
        }
    }
    [[noreturn]] void End(int s) override {
        ended = true;
        status = s;
        throw platform::EndRequested{s};
    }
    bool HasEnded() const override { return ended; }

    int doEvents = 0;
    bool ended = false;
    int status = 0;
    // Handled during the next DoEvents, as messages waiting in the queue would be.
    std::function<void()> inside;
};

class FakeMessageBoxes final : public platform::IMessageBox {
  public:
    struct Shown {
        std::u16string text;
        std::u16string title;
        platform::MsgBoxStyle style;
    };
    void Show(const std::u16string& text, const std::u16string& title,
              platform::MsgBoxStyle style) override {
        shown.push_back({text, title, style});
        if (onShow) {
            onShow();
        }
    }
    std::vector<Shown> shown;
    std::function<void()> onShow;  // runs while the box is "open"
};

// A 1280 x 800 screen at 96 dpi unless a test sets another size or logical dpi.
class FakeScreen final : public platform::IScreen {
  public:
    float TwipsPerPixelX() const override { return twipsPerPixelX; }
    float TwipsPerPixelY() const override { return twipsPerPixelY; }
    int Width() const override { return width; }
    int Height() const override { return height; }

    // The factors a desktop at `dpi` logical dots per inch reports.
    void SetLogicalDpi(int dpi) {
        twipsPerPixelX = twipsPerPixelY = static_cast<float>(1440.0 / dpi);
    }

    float twipsPerPixelX = 15.0f;
    float twipsPerPixelY = 15.0f;
    int width = 1280;
    int height = 800;
};

class FakeShell final : public platform::IShell {
  public:
    struct Call {
        std::uint32_t message;
        platform::NotifyIconRecord record;
    };
    struct Opened {
        platform::gdi::HWND owner;
        std::string operation;
        std::string file;
        int show;
    };
    bool NotifyIcon(std::uint32_t message, const platform::NotifyIconRecord& record) override {
        calls.push_back({message, record});
        return true;
    }
    bool TrayAvailable() const override { return trayAvailable; }
    std::intptr_t Execute(platform::gdi::HWND owner, const std::string& operation,
                          const std::string& file, int show) override {
        opened.push_back({owner, operation, file, show});
        return 42;
    }

    std::vector<Call> calls;
    std::vector<Opened> opened;
    bool trayAvailable = true;
};

// Draws no glyphs; records every text drawn, with where, how and on which bitmap.
class RecordingTextRasteriser final : public platform::ITextRasteriser {
  public:
    struct Drawn {
        const platform::gdi::Bitmap* target;
        int x;
        int y;
        std::u16string text;
        platform::TextStyle style;
    };
    void Draw(platform::gdi::Bitmap& target, int x, int y, std::u16string_view text,
              const platform::TextStyle& style) override {
        drawn.push_back({&target, x, y, std::u16string(text), style});
    }
    std::vector<Drawn> drawn;
};

// Realizes nothing; records what happened, and answers a pop-up menu with the item a test
// chose in advance.
class FakeWindows final : public platform::IWindowSystem {
  public:
    void Realize(platform::Form& form) override { realized.push_back(form.Name()); }
    void Destroy(platform::Form& form) override { destroyed.push_back(form.Name()); }
    void PopupMenu(platform::Form&, platform::Menu& menu) override {
        popups.push_back(menu.Name());
        if (choose) {
            for (platform::Menu* item : menu.Items()) {
                if (item->Name() == *choose) {
                    choose.reset();
                    item->Click.Raise();
                    return;
                }
            }
        }
    }

    bool StartSystemMove(platform::Form& form) override {
        moves.push_back(form.Name());
        return true;
    }
    void ReleaseCapture() override { ++captureReleases; }

    std::vector<std::string> realized;
    std::vector<std::string> destroyed;
    std::vector<std::string> moves;  // interactive moves started, by form
    int captureReleases = 0;
    std::vector<std::string> popups;
    std::optional<std::string> choose;  // the item the next pop-up picks
};

// Installs every double, a settings file and a program directory in a fresh temporary
// directory, for the lifetime of the harness.
class Harness {
  public:
    Harness() : m_scope(Doubles()) {}

    // Every service the harness installs; a fixture that puts a real one in place of a double
    // changes that member and installs the rest as they are.
    platform::Services Doubles() {
        return platform::Services{.settingsFile = SettingsFile(),
                                  .appPath = AppPath(),
                                  .userDataHome = UserDataHome(),
                                  .clock = &clock,
                                  .process = &process,
                                  .messageBox = &messages,
                                  .screen = &screen,
                                  .windows = &windows,
                                  .text = &text,
                                  .shell = &shell};
    }

    std::filesystem::path SettingsFile() const { return dir / "config" / "Windows.INI"; }
    std::filesystem::path AppPath() const { return dir / "app"; }
    std::filesystem::path UserDataHome() const { return dir / "user-data"; }
    // Turns the program directory into an installed one: the pictures that come with the
    // program in the share directory beside it, as the install rules lay them out.
    std::filesystem::path MakeInstalledPictures() const {
        const std::filesystem::path pictures =
            (AppPath() / platform::InstalledDataFromProgram()).lexically_normal();
        std::filesystem::create_directories(pictures);
        return pictures;
    }
    // Where an installed program writes at run time.
    std::filesystem::path UserData() const {
        return UserDataHome() / "loomhaven" / "data" / "image";
    }
    void WriteSettings(const std::string& content) const {
        std::filesystem::create_directories(SettingsFile().parent_path());
        WriteFile(SettingsFile(), content);
    }

    TempDir dir;
    VirtualClock clock;
    FakeProcess process;
    FakeMessageBoxes messages;
    FakeScreen screen;
    FakeWindows windows;
    FakeShell shell;
    RecordingTextRasteriser text;

  private:
    platform::ServicesScope m_scope;
};

}  // namespace testing_support
