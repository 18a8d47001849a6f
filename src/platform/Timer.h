// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include "platform/Control.h"

namespace platform {

// A non-visual periodic tick on the runtime's clock. It runs while it is enabled and its
// interval is above 0; changing the interval of a running timer starts the count afresh.
class Timer : public Control {
  public:
    Timer(std::string name, std::uint32_t intervalMs, bool enabled);
    ~Timer() override;

    std::uint32_t Interval() const { return m_interval; }
    void SetInterval(std::uint32_t ms);
    void SetEnabled(bool v) override;
    bool Running() const { return m_id != 0; }
    // Starts counting afresh when enabled (and its form is loaded); stops otherwise.
    void Restart();

    Event<> TimerEvent;

  private:
    std::uint32_t m_interval;
    TimerId m_id = 0;
};

}  // namespace platform
