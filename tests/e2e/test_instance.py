# SPDX-License-Identifier: MIT
"""One program per user: a second start calls the first to the front and leaves; the session's
end signals end it as the tray menu's exit does, leaving no temporary file; and without a
notification area the menu is on the title strip."""

import os
import re
import signal
import sqlite3
import subprocess
import tempfile
import time
import unittest

from harness import E2ETest, wait_for

# What the program writes for a moment and renames or deletes: the settings file's and the data
# files' replacement files, the GIF splitter's frame files.
REPLACEMENT = re.compile(r"^\.(Windows\.INI|10[123]\.gif|BlackGround\.bmp)\.[A-Za-z0-9]{6}$")
FRAME = re.compile(r"^ [0-9][0-9A-F]{1,5}\.(GIF|TMP)$")
TITLE_STRIP = (300, 20)  # a point of the main window's title strip, from its top left corner


def age(path):
    """Backdates a file as a run killed an hour ago would have left it."""
    then = time.time() - 3600
    os.utime(path, (then, then))


def leftovers(*dirs):
    found = []
    for d in dirs:
        if os.path.isdir(d):
            found += [os.path.join(d, n) for n in os.listdir(d) if REPLACEMENT.match(n) or FRAME.match(n)]
    return found


class InstanceTest(E2ETest):
    def test_a_second_start_brings_the_first_to_the_front_and_leaves(self):
        program = self.start()
        window = program.window()
        icon = wait_for(program.tray_icon, 15, what="the tray icon")
        time.sleep(1)
        self.desktop.click(*icon)  # to the tray
        wait_for(lambda: not self.desktop.on_screen(window), 10, what="the window to hide")

        started = time.monotonic()
        second = program.start_again()
        self.addCleanup(self._reap, second)
        try:
            output = second.communicate(timeout=15)[0].decode(errors="replace")
        except subprocess.TimeoutExpired:
            self.fail("the second start is still running after 15 s")
        elapsed = time.monotonic() - started
        status = second.returncode
        print(f"second start exited {status} after {elapsed:.1f} s")
        self.assertEqual(status, 0, output)
        self.assertLess(elapsed, 5, "the second start took too long to leave")

        shown = program.window(timeout=10)
        self.assertEqual(shown, window, "the first instance's window did not come back")
        self.assertTrue(self.desktop.on_screen(window))
        self.assertIsNone(program.process.poll(), "the first instance ended")
        self.assertEqual(program.window_ids(), [window], "the second start put up a window")
        self.assertIsNotNone(program.tray_icon(), "the first instance's tray icon went")
        self.assertIsNone(program.settings(), "the second start wrote the settings file")
        self.desktop.screenshot("instance-second-start.png", crop=self.desktop.geometry(window))

        # Asked again while shown, it stays shown.
        third = program.start_again()
        self.addCleanup(self._reap, third)
        third.communicate(timeout=15)
        self.assertEqual(third.returncode, 0)
        self.assertTrue(self.desktop.on_screen(window))

    @staticmethod
    def _reap(process):
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        process.stdout.close()

    def test_session_signals_end_it_in_order(self):
        for sig in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
            with self.subTest(signal=sig.name):
                self._end_by(sig)

    def _end_by(self, sig):
        tmp = tempfile.mkdtemp(prefix="loomhaven-e2e-tmp-")
        self.addCleanup(lambda: subprocess.run(["rm", "-rf", tmp]))
        self.server.cookie = "e2e-session=kept; Max-Age=86400; Path=/"
        loads = len(self.server.page_loads())  # the server lives on from one signal to the next
        program = self.start(extra_env={"TMPDIR": tmp})
        # What a run killed long ago left, and what only looks like it.
        planted = [os.path.join(tmp, " 01A2B.GIF"), os.path.join(tmp, " 12FF.TMP"),
                   os.path.join(program.config, ".Windows.INI.k3Jq9Z")]
        strangers = [os.path.join(tmp, "notes.GIF"), os.path.join(program.config, ".Windows.INI.bak")]
        # The program starts in the meantime: the files are planted before it has got far.
        for path in planted + strangers:
            with open(path, "w") as f:
                f.write("left")
            age(path)
        window = program.window()
        wait_for(program.tray_icon, 15, what="the tray icon")
        wait_for(lambda: len(self.server.page_loads()) > loads, 30, what="this run's home page")
        # The settings window plays the banners: the splitter writes and removes frame files.
        icon = program.tray_icon()
        self.desktop.click(*icon, button=3)
        time.sleep(1)
        self.desktop.key("s")
        program.window("软件设置", timeout=15)
        time.sleep(2)
        self.assertTrue(self.desktop.on_screen(window) or program.window_gone())

        program.process.send_signal(sig)
        try:
            status = program.process.wait(30)
        except subprocess.TimeoutExpired:
            self.fail(f"still running 30 s after {sig.name}")
        self.assertEqual(status, 0, f"{sig.name}: {program.output()[-2000:]}")
        self.assertIsNone(program.tray_icon(), "the tray icon is still there")
        data = os.path.dirname(program.data_file("x"))
        self.assertEqual(leftovers(tmp, program.config, data), [])
        for path in strangers:
            self.assertTrue(os.path.exists(path), f"{path} is not the program's")
        # The browser's profile was shut down, not cut off: the forum's new cookie is on disk.
        profile = os.path.join(program.home, "data")
        stores = [os.path.join(r, n) for r, _, ns in os.walk(profile) for n in ns if n == "Cookies"]
        self.assertTrue(stores, "no cookie store in the profile")
        names = []
        for store in stores:
            with sqlite3.connect(f"file:{store}?mode=ro", uri=True) as db:
                names += [row[0] for row in db.execute("SELECT name FROM cookies")]
        self.assertIn("e2e-session", names, f"{sig.name}: the login cookie was lost")


class NotificationAreaGoesAwayTest(E2ETest):
    def test_a_hidden_window_comes_back_to_the_task_bar_with_the_menu(self):
        program = self.start("[Setting]\r\nTitleMenuTold=True\r\n")
        window = program.window()
        icon = wait_for(program.tray_icon, 15, what="the tray icon")
        time.sleep(1)
        self.desktop.click(*icon)
        wait_for(lambda: window not in self.desktop.clients(), 10, what="the window to leave the task bar")
        self.desktop.trayer.terminate()
        self.desktop.trayer.wait(5)
        # Back among the window manager's clients, that is on the task bar, minimised.
        wait_for(lambda: window in self.desktop.clients(), 10, what="the window back on the task bar")
        self.desktop.xdotool("windowactivate", window)  # a click on its task bar entry
        program.window(timeout=10)
        time.sleep(1)
        self.desktop.click(*self.at(window, TITLE_STRIP), button=3)
        time.sleep(1)
        self.desktop.key("e")  # 退出软件(&E) from the title strip's menu
        try:
            status = program.process.wait(30)
        except subprocess.TimeoutExpired:
            self.fail("the title strip's menu did not end the program")
        self.assertEqual(status, 0, program.output()[-2000:])


class WithoutNotificationAreaTest(E2ETest):
    tray = False

    def test_the_title_strip_opens_the_menu_and_its_exit_works(self):
        program = self.start()
        window = program.window()
        time.sleep(2)
        self.assertIsNone(program.tray_icon())
        self.desktop.click(*self.at(window, TITLE_STRIP), button=3)
        box = program.window("系统提示", timeout=10)
        self.desktop.screenshot("instance-title-menu-told.png", crop=self.desktop.geometry(box))
        self.desktop.key("Return")
        wait_for(lambda: program.window_gone("系统提示"), 10, what="the message box to close")
        time.sleep(1)
        self.desktop.screenshot("instance-title-menu.png")
        self.assertIn("TitleMenuTold=True", program.settings() or "")

        self.desktop.key("e")  # 退出软件(&E)
        try:
            status = program.process.wait(30)
        except subprocess.TimeoutExpired:
            self.fail("the menu's exit did not end the program")
        self.assertEqual(status, 0, program.output()[-2000:])


if __name__ == "__main__":
    unittest.main()
