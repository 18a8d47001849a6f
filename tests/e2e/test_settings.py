# SPDX-License-Identifier: MIT
"""A whole session on the real program: the tray menu, the settings window (a new password,
the lock switch), unlocking with the new password, and leaving through the menu."""

import os
import time
import unittest

from harness import E2ETest, wait_for

# Places in the settings window, in pixels (its panel starts at 119, 42).
USERS = (119 + 99 + 76, 42 + 55 + 9)
OLD_PASS = (119 + 99 + 76, 42 + 87 + 9)
NEW_PASS = (119 + 99 + 76, 42 + 117 + 9)
CHANGE = (119 + 276 + 42, 42 + 53 + 13)
NO_LOCK = (119 + 138 + 12, 42 + 210 + 8)
CLOSE_OPTION = (730 + 22, 12)
BANNER = (119 + 3 + 322, 42 + 379 + 39)
ADDRESS = (119 + 88 + 140, 42 + 317 + 9)
# Places in the main window with the lock panel in place.
USER_NAME = (293 + 100, 50 + 185 + 12)
PASSWORD = (293 + 100, 50 + 232 + 12)
LOGIN = (477 + 33, 50 + 312 + 14)
CLOSE_MAIN = (699 + 22, 12)
PAGE_FIELD = (60, 50 + 90)


class SessionTest(E2ETest):
    def menu(self, program, key):
        icon = wait_for(program.tray_icon, 15, what="the tray icon")
        self.desktop.click(*icon, button=3)
        time.sleep(1)
        return icon

    def test_a_whole_session(self):
        program = self.start()
        main = program.window()
        wait_for(self.server.page_loads, 30, what="the home page")
        time.sleep(2)

        # Right click on the tray icon: the menu, at the pointer.
        icon = wait_for(program.tray_icon, 15, what="the tray icon")
        self.desktop.click(*icon, button=3)
        time.sleep(1)
        self.desktop.screenshot("tray-menu.png", crop=(icon[0] - 260, 0, 280, 160))
        self.desktop.key("s")  # 软件设置(&S)
        option = program.window("软件设置", timeout=15)
        wait_for(program.window_gone, 10, what="the main window to go to the tray")
        time.sleep(1.5)
        self.desktop.screenshot("settings-window.png", crop=self.desktop.geometry(option))

        # A new password, for the stored user name and the current password.
        for point, text in ((USERS, "58263"), (OLD_PASS, "58263"), (NEW_PASS, "n3w-pass")):
            self.desktop.click(*self.at(option, point))
            self.desktop.type_text(text)
        self.desktop.click(*self.at(option, CHANGE))
        wait_for(lambda: "PassWord=n3w-pass" in (program.settings() or ""), 10, what="the new password")

        # No lock on close.
        self.desktop.click(*self.at(option, NO_LOCK))
        wait_for(lambda: "Lock=False" in (program.settings() or ""), 10, what="Lock=False")

        # The forum's address: written on Enter and opened at once by the hidden main window.
        loads = len(self.server.page_loads())
        self.desktop.click(*self.at(option, ADDRESS))
        self.desktop.type_text(f"127.0.0.1:{self.server.port}/")
        self.desktop.key("Return")
        wait_for(lambda: f"HomePage=127.0.0.1:{self.server.port}/" in (program.settings() or ""), 10,
                 what="the forum's address written")
        wait_for(lambda: len(self.server.page_loads()) > loads, 15, what="the new address opened")
        time.sleep(0.5)
        self.desktop.screenshot("settings-window-chosen.png", crop=self.desktop.geometry(option))
        self.desktop.click(*self.at(option, CLOSE_OPTION))
        wait_for(lambda: program.window_gone("软件设置"), 10, what="the settings window to close")

        # The main window from the tray, still locked; the new password opens it.
        self.desktop.click(*icon)
        main = program.window(timeout=10)
        time.sleep(1)
        for point, text in ((USER_NAME, "58263"), (PASSWORD, "58263")):
            self.desktop.click(*self.at(main, point))
            self.desktop.type_text(text)
        self.desktop.click(*self.at(main, LOGIN))
        time.sleep(2.5)
        self.desktop.click(*self.at(main, PAGE_FIELD))
        self.desktop.type_text("x")
        time.sleep(1.5)
        self.assertEqual(self.server.paths("/key"), [], "the old password still opened the lock")
        self.desktop.click(*self.at(main, PASSWORD))
        self.desktop.key("ctrl+a", "BackSpace")
        self.desktop.type_text("n3w-pass")
        self.desktop.key("Return")  # Enter presses Login
        time.sleep(2.5)
        self.desktop.click(*self.at(main, PAGE_FIELD))
        self.desktop.type_text("y")
        wait_for(self.server.keys, 10, what="keys on the page after unlocking with the new password")

        # With Lock=False the close button only hides: back from the tray, the page is free.
        self.desktop.click(*self.at(main, CLOSE_MAIN))
        wait_for(program.window_gone, 10, what="the window to hide")
        self.desktop.click(*icon)
        main = program.window(timeout=10)
        time.sleep(1)
        before = len(self.server.paths("/key"))
        self.desktop.click(*self.at(main, PAGE_FIELD))
        self.desktop.type_text("z")
        wait_for(lambda: len(self.server.paths("/key")) > before, 10, what="keys without a lock")

        # Leaving through the menu ends the program and takes the tray icon with it.
        self.desktop.click(*icon, button=3)
        time.sleep(1)
        self.desktop.key("e")  # 退出软件(&E)
        status = wait_for(lambda: program.process.poll() is not None and [program.process.returncode], 20,
                          what="the program to end")[0]
        self.assertEqual(status, 0)
        self.assertIsNone(program.tray_icon(), "the tray icon is gone")

    def test_banners_open_their_pages_in_the_users_browser(self):
        program = self.start()
        program.window()
        snapshot = program.data_file("BlackGround.bmp")
        if os.path.exists(snapshot):
            os.remove(snapshot)
        self.menu(program, "s")
        self.desktop.key("s")  # 软件设置(&S)
        option = program.window("软件设置", timeout=15)
        opened_at = time.monotonic()

        # The first banner is the board's, whatever its place in the rotation.
        self.desktop.click(*self.at(option, BANNER))
        wait_for(program.opened, 10, what="the browser to be asked for a page")
        self.assertEqual(program.opened(), ["http://bbs.loomhaven.example/forum-2-1.html"])
        self.assertLess(time.monotonic() - opened_at, 5, "the click came too late to test the first banner")

        # The next banner, five seconds after the window opened, is the home page's.
        time.sleep(max(0, opened_at + 7.5 - time.monotonic()))
        self.desktop.click(*self.at(option, BANNER))
        wait_for(lambda: len(program.opened()) == 2, 10, what="the second page")
        self.assertIn(program.opened()[1], ("http://bbs.loomhaven.example", "http://bbs.loomhaven.example/"))

        # The window's background went through BlackGround.bmp, a real 24-bit bitmap.
        with open(snapshot, "rb") as f:
            header = f.read(54)
        self.assertEqual(header[:2], b"BM")
        self.assertEqual(int.from_bytes(header[2:6], "little"), 1314358)
        self.assertEqual(int.from_bytes(header[28:30], "little"), 24)
        self.assertIsNone(program.process.poll(), "the program still runs")


if __name__ == "__main__":
    unittest.main()
