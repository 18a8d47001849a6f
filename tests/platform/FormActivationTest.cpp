// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Doubles.h"
#include "platform/Form.h"

namespace {

// Records the form's events in order.
class EventLog {
  public:
    explicit EventLog(platform::Form& form) {
        form.LoadEvent.Connect([this] { events.push_back("Load"); });
        form.Activate.Connect([this] { events.push_back("Activate"); });
    }
    std::vector<std::string> events;
};

TEST(FormActivation, AWindowItsLoadShowsIsActivatedOnceTheLoadIsOver) {
    testing_support::Harness h;
    platform::Form form("Window");
    EventLog log(form);
    form.LoadEvent.Connect([&] {
        log.events.push_back("Load");
        form.SetVisible(true);
        log.events.push_back("shown");
    });
    form.Load();
    EXPECT_EQ(log.events, (std::vector<std::string>{"Load", "shown", "Activate"}));
    EXPECT_TRUE(form.IsActive());
    // The window system's report of the same activation raises nothing more.
    form.ActivatedFromView();
    EXPECT_EQ(log.events.size(), 3u);
    // After losing it, every activation counts.
    form.DeactivatedFromView();
    form.ActivatedFromView();
    form.ActivatedFromView();
    EXPECT_EQ(log.events.size(), 4u);
    // A hidden window is not active; shown and activated again, it is.
    form.SetVisible(false);
    EXPECT_FALSE(form.IsActive());
    form.SetVisible(true);
    form.ActivatedFromView();
    EXPECT_EQ(log.events.size(), 5u);
}

TEST(FormActivation, AHiddenLoadActivatesNothingUntilShown) {
    testing_support::Harness h;
    platform::Form form("Window");
    EventLog log(form);
    form.Load();
    EXPECT_EQ(log.events, (std::vector<std::string>{"Load"}));
    EXPECT_FALSE(form.IsActive());
    form.Show();
    EXPECT_EQ(log.events, (std::vector<std::string>{"Load", "Activate"}));
    form.Show();  // already the active window
    EXPECT_EQ(log.events.size(), 2u);
}

}  // namespace
