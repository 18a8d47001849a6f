// SPDX-License-Identifier: MIT
#include "platform/Runtime.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>

#include "platform/Services.h"
#include "platform/Text.h"

namespace platform {
namespace {

class InertClock final : public IClock {
  public:
    TimerId StartTimer(std::uint32_t, std::function<void()>) override { return ++m_next; }
    void StopTimer(TimerId) override {}
    LocalTime Now() const override {
        const std::time_t t = std::time(nullptr);
        std::tm tm{};
        localtime_r(&t, &tm);
        return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    }

  private:
    TimerId m_next = 0;
};

class InertProcess final : public IProcess {
  public:
    void DoEvents() override {}
    [[noreturn]] void End(int status) override { std::exit(status); }
    bool HasEnded() const override { return false; }
};

class StderrMessageBox final : public IMessageBox {
  public:
    void Show(const std::u16string& text, const std::u16string& title, MsgBoxStyle) override {
        std::fprintf(stderr, "%s: %s\n", ToUtf8Lossy(title).c_str(), ToUtf8Lossy(text).c_str());
    }
};

class StandardScreen final : public IScreen {
  public:
    float TwipsPerPixelX() const override { return 15.0f; }
    float TwipsPerPixelY() const override { return 15.0f; }
    int Width() const override { return 1024; }
    int Height() const override { return 768; }
};

template <typename T, typename Default>
T& InstalledOr(T* installed) {
    static Default fallback;
    return installed != nullptr ? *installed : fallback;
}

}  // namespace

IClock& Clock() {
    return InstalledOr<IClock, InertClock>(CurrentServices().clock);
}
IProcess& Process() {
    return InstalledOr<IProcess, InertProcess>(CurrentServices().process);
}
IMessageBox& MessageBoxes() {
    return InstalledOr<IMessageBox, StderrMessageBox>(CurrentServices().messageBox);
}
IScreen& Screen() {
    return InstalledOr<IScreen, StandardScreen>(CurrentServices().screen);
}

void RunHandler(const std::function<void()>& handler) {
    if (Process().HasEnded()) {
        return;
    }
    std::u16string failure;
    try {
        handler();
        return;
    } catch (const EndRequested&) {
        return;
    } catch (const std::exception& e) {
        failure = FromUtf8(e.what());
    } catch (...) {
        failure = u"unknown failure";
    }
    try {
        MessageBoxes().Show(u"运行时错误: " + failure, u"Loomhaven", MsgBoxStyle::OkCritical);
        Process().End(1);
    } catch (const EndRequested&) {
    }
}

void Warn(const char* format, ...) {
    // One write for the whole line, so warnings from elsewhere never land inside it.
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::fprintf(stderr, "loomhaven: %s\n", text);
}

}  // namespace platform
