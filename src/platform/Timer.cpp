// SPDX-License-Identifier: MIT
#include "platform/Timer.h"

#include "platform/Form.h"

namespace platform {

Timer::Timer(std::string name, std::uint32_t intervalMs, bool enabled)
    : Control(std::move(name)), m_interval(intervalMs) {
    Control::SetEnabled(enabled);
    SetVisible(false);
    SetTabStop(false);
    // It starts counting when its form loads, or when it is switched on afterwards.
}

Timer::~Timer() {
    if (m_id != 0) {
        Clock().StopTimer(m_id);
    }
}

void Timer::SetInterval(std::uint32_t ms) {
    m_interval = ms;
    Restart();
}

void Timer::SetEnabled(bool v) {
    Control::SetEnabled(v);
    Restart();
}

void Timer::Restart() {
    if (m_id != 0) {
        Clock().StopTimer(m_id);
        m_id = 0;
    }
    // A timer on a form runs from the moment its form is loaded (Form::Load restarts it).
    Form* form = ParentForm();
    const bool formLoaded = form == nullptr || form->IsLoaded();
    if (Enabled() && m_interval > 0 && formLoaded) {
        m_id = Clock().StartTimer(m_interval, [this] { TimerEvent.Raise(); });
    }
}

}  // namespace platform
