// SPDX-License-Identifier: MIT
// The runtime services every part may need: timers and the local clock, the message loop, the
// end of the process, message boxes and the screen. Each is an interface with one real
// implementation (the Qt binding) and test doubles; the installed ones are reached through the
// accessors below, which fall back to inert defaults when nothing is installed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

struct LocalTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
};

using TimerId = std::uint64_t;

class IClock {
  public:
    virtual ~IClock() = default;
    // Calls `tick` every `intervalMs` milliseconds (at least 1) until stopped. Ticks are
    // delivered one at a time on the user-interface thread, each running to its end.
    virtual TimerId StartTimer(std::uint32_t intervalMs, std::function<void()> tick) = 0;
    virtual void StopTimer(TimerId id) = 0;
    virtual LocalTime Now() const = 0;
};

// Thrown by an End that unwinds the running handler instead of exiting on the spot (so that
// the event loop can close the browser's profile cleanly); RunHandler stops it.
struct EndRequested {
    int status;
};

class IProcess {
  public:
    virtual ~IProcess() = default;
    // Handles the messages that are waiting, once, and returns.
    virtual void DoEvents() = 0;
    // Ends the program with `status`: windows vanish and no further handler runs. Either
    // exits or throws EndRequested.
    [[noreturn]] virtual void End(int status) = 0;
    virtual bool HasEnded() const = 0;
};

enum class MsgBoxStyle { Ok, OkCritical };

class IMessageBox {
  public:
    virtual ~IMessageBox() = default;
    // Shows a modal message box and returns when it has been closed.
    virtual void Show(const std::u16string& text, const std::u16string& title,
                      MsgBoxStyle style) = 0;
};

class IScreen {
  public:
    virtual ~IScreen() = default;
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;
    // The screen's size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

// The installed services, or inert defaults: timers that never tick, the system clock, a
// message loop with nothing to do, End that exits, message boxes written to stderr, and a
// 1024 x 768 screen at 15 twips per pixel.
IClock& Clock();
IProcess& Process();
IMessageBox& MessageBoxes();
IScreen& Screen();

// Handles waiting messages once (the classic DoEvents).
inline void DoEvents() {
    Process().DoEvents();
}

// Writes one warning line to stderr: "loomhaven: ", the printf-style text, a line break.
[[gnu::format(printf, 1, 2)]] void Warn(const char* format, ...);

// Runs an event handler under the program's failure policy: a failure that escapes it is
// shown in a message box naming it, and the program ends with a non-zero status. Once the
// program has ended, no handler runs any more.
void RunHandler(const std::function<void()>& handler);

}  // namespace platform
