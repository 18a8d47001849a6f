# SPDX-License-Identifier: MIT
"""The main path on a desktop with a window manager: the tray icon hides and shows the window
round after round, the close button and the window manager's minimise send it to the tray and
the tray brings it back, and each window keeps the one window id it was mapped with."""

import time
import unittest

from harness import E2ETest, wait_for

CLOSE = (699 + 22, 12)  # the close button, from the window's top left corner
ROUNDS = 8


class TrayTest(E2ETest):
    def tray_click(self, icon):
        self.desktop.click(*icon)

    def assert_hidden(self, program, window, what):
        wait_for(lambda: not self.desktop.on_screen(window), 10, what=f"the window to hide ({what})")
        self.assertTrue(program.window_gone(), f"a window is still viewable after {what}")

    def assert_shown(self, program, window, what):
        shown = program.window(timeout=10)
        self.assertEqual(shown, window, f"the window came back as another window after {what}")
        self.assertTrue(self.desktop.on_screen(window), f"the window is not on screen after {what}")

    def test_the_window_follows_every_tray_click(self):
        program = self.start()
        window = program.window()
        wait_for(self.server.page_loads, 30, what="the home page")
        time.sleep(2)  # the start-up is over: the page is there and the panel has slid in
        self.assertEqual(program.window_ids(), [window],
                         "the main window was mapped as more than one window at start")
        icon = wait_for(program.tray_icon, 15, what="the tray icon")

        started = time.monotonic()
        for n in range(1, ROUNDS + 1):
            self.tray_click(icon)
            self.assert_hidden(program, window, f"tray click {2 * n - 1}")
            self.tray_click(icon)
            self.assert_shown(program, window, f"tray click {2 * n}")

        print(f"{ROUNDS} rounds of tray clicks in {time.monotonic() - started:.1f} s")
        # The close button sends the window to the tray; one tray click brings it back, again
        # and again.
        for n in range(1, 4):
            time.sleep(0.7)
            self.desktop.click(*self.at(window, CLOSE))
            self.assert_hidden(program, window, f"close button {n}")
            self.tray_click(icon)
            self.assert_shown(program, window, f"the tray click after close button {n}")

        # The window manager's own minimise hides the window too, and the tray brings it back.
        for n in range(1, 3):
            time.sleep(0.7)
            self.assertTrue(self.desktop.on_screen(window))
            self.desktop.xdotool("windowminimize", window)
            self.assert_hidden(program, window, f"the window manager's minimise {n}")
            self.tray_click(icon)
            self.assert_shown(program, window, f"the tray click after minimise {n}")

        self.assertEqual(program.window_ids(), [window],
                         "the main window changed its window id during the run")
        self.desktop.screenshot("tray-rounds-end.png", crop=self.desktop.geometry(window))

    def test_the_settings_window_keeps_one_window_id(self):
        program = self.start()
        main = program.window()
        icon = wait_for(program.tray_icon, 15, what="the tray icon")
        time.sleep(1)
        self.desktop.click(*icon, button=3)
        time.sleep(1)
        self.desktop.key("s")  # 软件设置(&S)
        option = program.window("软件设置", timeout=15)
        time.sleep(3)  # the background snapshot and the first banner
        self.assertTrue(self.desktop.on_screen(option))
        self.assertEqual(program.window_ids(), [main, option],
                         "a window was mapped as more than one window")


if __name__ == "__main__":
    unittest.main()
