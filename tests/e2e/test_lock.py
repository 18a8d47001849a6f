# SPDX-License-Identifier: MIT
"""The lock panel on the real program: while it covers the browser no key, Tab or click
reaches the page; the stored credentials slide it away; the close button brings it back."""

import time
import unittest

from harness import E2ETest, wait_for

# Places in the window, in pixels, with the lock panel in place (it covers x 0..746, y 52..514
# once it has slid in; its boxes lie at these offsets in it).
USER_NAME = (0 + 293 + 100, 50 + 185 + 12)
PASSWORD = (0 + 293 + 100, 50 + 232 + 12)
LOGIN = (0 + 477 + 33, 50 + 312 + 14)
CLOSE = (699 + 22, 12)
PAGE_FIELD = (60, 50 + 90)  # the page's text field, under the panel while locked
PAGE_BODY = (400, 50 + 300)


class LockTest(E2ETest):
    def test_the_lock_cannot_be_bypassed_and_the_credentials_open_it(self):
        program = self.start()
        window = program.window()
        wait_for(self.server.page_loads, 30, what="the home page")
        time.sleep(3)  # the panel has slid in and the page has painted under it
        self.desktop.screenshot("lock-locked.png", crop=self.desktop.geometry(window))

        # Everything aimed at the page while locked: clicks, typing, Tab, the wheel.
        for point in (PAGE_FIELD, PAGE_BODY):
            self.desktop.click(*self.at(window, point))
        self.desktop.type_text("leak")
        self.desktop.key("Tab", "Tab", "Tab", "Tab", "Tab", "shift+Tab", "Return")
        self.desktop.type_text("more")
        self.desktop.xdotool("click", "4")
        self.desktop.xdotool("click", "5")
        time.sleep(1.5)
        self.assertEqual(self.server.paths("/key"), [], "a key reached the page while locked")
        self.assertEqual(self.server.paths("/click"), [], "a click reached the page while locked")
        self.assertEqual(self.server.paths("/wheel"), [], "the wheel reached the page while locked")

        # The stored user name and password (the defaults) open it.
        self.desktop.click(*self.at(window, USER_NAME))
        self.desktop.key("ctrl+a", "BackSpace")
        self.desktop.type_text("58263")
        self.desktop.click(*self.at(window, PASSWORD))
        self.desktop.key("ctrl+a", "BackSpace")
        self.desktop.type_text("58263")
        self.desktop.click(*self.at(window, LOGIN))
        time.sleep(2.5)  # the slide out
        self.desktop.screenshot("lock-unlocked.png", crop=self.desktop.geometry(window))

        self.desktop.click(*self.at(window, PAGE_FIELD))
        self.desktop.type_text("ok")
        keys = wait_for(self.server.keys, 10, what="keys typed into the page after unlocking")
        self.assertIn("o", [k["key"][0] for k in keys])

        # The close button locks and hides; the tray brings the window back, locked.
        self.desktop.click(*self.at(window, CLOSE))
        wait_for(program.window_gone, 10, what="the window to hide")
        before = len(self.server.paths("/key"))
        icon = wait_for(program.tray_icon, 10, what="the tray icon")
        self.desktop.click(*icon)
        window = program.window(timeout=10)
        time.sleep(1)
        self.desktop.screenshot("lock-relocked.png", crop=self.desktop.geometry(window))
        self.desktop.click(*self.at(window, PAGE_FIELD))
        self.desktop.type_text("again")
        time.sleep(1.5)
        self.assertEqual(len(self.server.paths("/key")), before, "the page took keys after relocking")


if __name__ == "__main__":
    unittest.main()
