# SPDX-License-Identifier: MIT
"""The real program on a virtual desktop: the window, the first load of the forum, the
reload a minute later, and the tray icon hiding and showing the window."""

import os
import signal
import time
import unittest

from harness import E2ETest, wait_for


class MainWindowTest(E2ETest):
    def test_keeps_the_forum_alive_and_hides_in_the_tray(self):
        program = self.start("[Setting]\nLockTime=0\n")
        window = program.window()
        x, y, w, h = self.desktop.geometry(window)
        self.assertEqual((w, h), (743, 545))
        # Centred on the 1280 x 800 screen.
        self.assertLessEqual(abs(x - (1280 - 743) // 2), 1)
        self.assertLessEqual(abs(y - (800 - 545) // 2), 1)

        loads = wait_for(self.server.page_loads, 30, what="the first load of the home page")
        first = loads[0]
        print(f"first request for the home page {first:.1f} s after start")
        self.assertGreaterEqual(first, 4.5)
        self.assertLess(first, 15)

        time.sleep(2)  # let the page paint
        self.desktop.screenshot("main-window.png", crop=(x, y, w, h))

        # A renderer that dies is replaced by a reload at once: the page never stays dead.
        before = len(self.server.page_loads())
        renderers = program.renderer_pids()
        self.assertTrue(renderers, "there is a renderer to end")
        for pid in renderers:
            os.kill(pid, signal.SIGKILL)
        wait_for(lambda: len(self.server.page_loads()) > before, 15, what="the reload after the renderer died")

        icon = wait_for(program.tray_icon, 15, what="the tray icon")
        self.desktop.click(*icon)
        wait_for(lambda: program.window_gone(), 10, what="the window to hide")
        self.desktop.click(*icon)
        program.window(timeout=10)

        # With LockTime 0 every minute tick reloads: the first one minute after start.
        reloads = wait_for(lambda: [t for t in self.server.page_loads() if t > 50], 100, interval=0.5,
                           what="the reload")
        print(f"reload {reloads[0]:.1f} s after start, {reloads[0] - first:.1f} s after the first load")
        self.assertLess(reloads[0], 75)
        self.assertIsNone(program.process.poll(), "the program is still running")


if __name__ == "__main__":
    unittest.main()
