# SPDX-License-Identifier: MIT
"""The installed program: `cmake --install` into a prefix that is then made read-only, started
from there as a user would start it from the menu. What it writes goes to the user's own data
directory; when that cannot be made, it starts all the same and the settings window shows its
background without a banner."""

import os
import stat
import subprocess
import tempfile
import time
import unittest

from harness import E2ETest, wait_for

BUILD = os.environ.get("LOOMHAVEN_BUILD_DIR", "")
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The banner player inside the settings window, in pixels: 644 x 78 at (3, 379) of the panel,
# which starts at (119, 42).
BANNER_AREA = (119 + 3, 42 + 379, 644, 78)


def tree(root):
    """Every path under root with its size and modification time."""
    found = {}
    for d, dirs, files in os.walk(root):
        for name in dirs + files:
            path = os.path.join(d, name)
            st = os.lstat(path)
            found[os.path.relpath(path, root)] = (st.st_size, st.st_mtime_ns)
    return found


class InstalledTest(E2ETest):
    @classmethod
    def setUpClass(cls):
        if not BUILD:
            raise unittest.SkipTest("LOOMHAVEN_BUILD_DIR is not set")
        cls.prefix = tempfile.mkdtemp(prefix="loomhaven-prefix-")
        p = subprocess.run(["cmake", "--install", BUILD, "--prefix", cls.prefix],
                           capture_output=True, text=True)
        if p.returncode != 0:
            raise AssertionError(p.stdout + p.stderr)
        # Read-only for everyone, as /usr is for a user.
        for d, dirs, files in os.walk(cls.prefix):
            for name in files:
                path = os.path.join(d, name)
                os.chmod(path, os.stat(path).st_mode & ~(stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH))
        for d, _, _ in sorted(os.walk(cls.prefix), reverse=True):
            os.chmod(d, 0o555)
        cls.before = tree(cls.prefix)
        cls.binary = os.path.join(cls.prefix, "bin", "loomhaven")

    @classmethod
    def tearDownClass(cls):
        for d, _, _ in os.walk(cls.prefix):
            os.chmod(d, 0o755)
        subprocess.run(["rm", "-rf", cls.prefix])

    def settings_window(self, program):
        program.window()
        wait_for(program.tray_icon, 15, what="the tray icon")
        self.desktop.click(*program.tray_icon(), button=3)
        time.sleep(1)
        self.desktop.key("s")  # 软件设置(&S)
        option = program.window("软件设置", timeout=15)
        time.sleep(1.5)  # the background snapshot and the first banner's frames
        return option

    def banner_colours(self, option, name):
        """How many colours the banner area of the settings window shows on screen."""
        x, y, _, _ = self.desktop.geometry(option)
        bx, by, bw, bh = BANNER_AREA
        shot = self.desktop.screenshot(name, crop=(x + bx, y + by, bw, bh))
        out = subprocess.run(["convert", shot, "-format", "%k", "info:"], capture_output=True,
                             text=True, check=True).stdout
        return int(out)

    def said(self, program):
        return [line for line in program.output().splitlines() if line.startswith("loomhaven:")]

    def test_banners_go_to_the_users_data_directory_and_play(self):
        program = self.start(binary=self.binary)
        program.window()
        images = os.path.join(program.data_home, "loomhaven", "data", "image")
        for banner in ("101.gif", "102.gif", "103.gif"):
            path = os.path.join(images, banner)
            wait_for(lambda: os.path.exists(path), 15, what=banner)
            with open(path, "rb") as got, open(os.path.join(SOURCE, "assets", banner), "rb") as want:
                self.assertEqual(got.read(), want.read(), banner)
        for level in (os.path.join(program.data_home, "loomhaven"), os.path.dirname(images), images):
            self.assertEqual(stat.S_IMODE(os.stat(level).st_mode), 0o700, level)

        option = self.settings_window(program)
        colours = self.banner_colours(option, "installed-banner.png")
        self.assertGreater(colours, 40, "the banner area shows the banner, not a blank face")
        wait_for(lambda: os.path.exists(os.path.join(images, "BlackGround.bmp")), 10,
                 what="the background snapshot")
        self.assertEqual(tree(self.prefix), self.before, "nothing is written into the prefix")
        self.assertEqual(self.said(program), [])
        self.assertIsNone(program.process.poll())

    def test_unusable_data_directory_leaves_it_running_without_a_banner(self):
        def block(program):
            # A file where the data directory should be: not even root can make it.
            os.makedirs(os.path.join(program.data_home, "loomhaven"))
            with open(os.path.join(program.data_home, "loomhaven", "data"), "w") as f:
                f.write("in the way")

        program = self.start(binary=self.binary, prepare=block)
        option = self.settings_window(program)
        colours = self.banner_colours(option, "installed-no-banner.png")
        self.assertLessEqual(colours, 2, "no banner: the player's background alone")
        time.sleep(5)  # one banner rotation
        self.assertIsNone(program.process.poll(), "still running")
        said = self.said(program)
        self.assertEqual(len(said), 1, said)
        self.assertIn("cannot use the data directory", said[0])
        self.assertEqual(tree(self.prefix), self.before, "nothing is written into the prefix")


if __name__ == "__main__":
    unittest.main()
