# SPDX-License-Identifier: MIT
"""The window effects on the real program: rounded corners that show the desktop behind them,
the outlined title, the translucent lock panel, and moving the window by dragging its free
surface. Runs under a window manager, since the move is the window manager's."""

import os
import subprocess
import time
import unittest

from harness import E2ETest

SOURCE = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
BACKGROUND = os.path.join(SOURCE, "assets", "FrmMain.bmp")


def region(path, x, y, w, h):
    """The pixels of a rectangle of an image file, as rows of (r, g, b)."""
    data = subprocess.run(["convert", path, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8",
                           "rgb:-"], capture_output=True, check=True).stdout
    return [[tuple(data[(row * w + col) * 3:(row * w + col) * 3 + 3]) for col in range(w)]
            for row in range(h)]


def count(pixels, test):
    return sum(1 for row in pixels for p in row if test(p))


def white(p):
    return min(p) >= 245


def black(p):
    return max(p) <= 10


class EffectsTest(E2ETest):

    def drag(self, start, by, steps=10):
        """Presses the left button at `start`, moves by `by` in steps, releases."""
        self.desktop.move_to(*start)
        time.sleep(0.2)
        self.desktop.xdotool("mousedown", "1")
        time.sleep(0.3)
        for i in range(1, steps + 1):
            self.desktop.move_to(start[0] + by[0] * i // steps, start[1] + by[1] * i // steps)
            time.sleep(0.05)
        time.sleep(0.2)
        self.desktop.xdotool("mouseup", "1")
        time.sleep(0.5)

    def test_main_window_at_start(self):
        before = self.desktop.screenshot("effects-desktop-before.png")
        program = self.start()
        window = program.window()
        time.sleep(4)  # the lock panel slides in (some 1.3 s) and everything has painted
        x, y, w, h = self.desktop.geometry(window)
        self.assertEqual((w, h), (743, 545))
        screen = self.desktop.screenshot("effects-screen.png")
        shot = self.desktop.screenshot("effects-main-window.png", crop=(x, y, w, h))

        # The corners (and the last column and row) show the desktop as it was before.
        for px, py in ((0, 0), (1, 1), (4, 0), (0, 4), (741, 0), (0, 543), (741, 543), (740, 542),
                       (742, 272), (371, 544)):
            self.assertEqual(self.desktop.pixel(screen, x + px, y + py),
                             self.desktop.pixel(before, x + px, y + py), f"corner pixel {px},{py}")
        # Just inside them, the window's own background.
        background = region(BACKGROUND, 0, 0, 743, 545)
        for px, py in ((5, 0), (0, 5), (7, 7), (735, 538)):
            self.assertEqual(self.desktop.pixel(shot, px, py), background[py][px],
                             f"pixel {px},{py}")

        # The title: white strokes with a black outline where the background has neither.
        title = region(shot, 0, 0, 160, 40)
        plain = [row[:160] for row in background[:40]]
        self.assertEqual(count(plain, white) + count(plain, black), 0)
        strokes, outline = count(title, white), count(title, black)
        print(f"title: {strokes} white and {outline} black pixels")
        self.assertGreater(strokes, 40)
        self.assertGreater(outline, strokes)

        # The lock panel is in place, translucent: between its own grey and the background.
        for px, py in ((50, 100), (700, 480), (120, 300)):
            shown, under = self.desktop.pixel(shot, px, py), background[py][px]
            self.assertNotEqual(shown, under, f"panel pixel {px},{py}")
            for s, b in zip(shown, under):
                self.assertTrue(min(b, 240) <= s <= max(b, 240),
                                f"panel pixel {px},{py}: {shown} over {under}")
        # Its plate is lighter than the panel around it, and the clock writes white on it.
        plate, around = self.desktop.pixel(shot, 200, 150), self.desktop.pixel(shot, 120, 150)
        self.assertGreater(sum(plate), sum(around) + 15)
        clock = region(shot, 530, 392, 70, 30)
        self.assertGreater(count(clock, white), 10)
        # Below the panels only the background.
        self.assertEqual(self.desktop.pixel(shot, 300, 530), background[530][300])

    def test_dragging_the_free_surface_moves_the_window(self):
        program = self.start()
        window = program.window()
        time.sleep(3)
        x0, y0, _, _ = self.desktop.geometry(window)

        # The title strip, right of the title.
        self.drag(self.at(window, (300, 25)), (120, 80))
        x1, y1, _, _ = self.desktop.geometry(window)
        print(f"title strip dragged by (120, 80): the window moved by ({x1 - x0}, {y1 - y0})")
        self.assertEqual((x1 - x0, y1 - y0), (120, 80))

        # The strip along the bottom.
        self.drag(self.at(window, (300, 530)), (-60, -40))
        x2, y2, _, _ = self.desktop.geometry(window)
        print(f"bottom strip dragged by (-60, -40): the window moved by ({x2 - x1}, {y2 - y1})")
        self.assertEqual((x2 - x1, y2 - y1), (-60, -40))
        self.desktop.screenshot("effects-after-drag.png")

        # A press on a control drags nothing: the lock panel, then the user-name box.
        for px, py in ((50, 100), (400, 247)):
            self.drag(self.at(window, (px, py)), (70, 50))
            self.assertTrue(self.desktop.on_screen(window))
            self.assertEqual(self.desktop.geometry(window)[:2], (x2, y2), f"pressed at {px},{py}")
        self.assertIsNone(program.process.poll(), "the program is still running")


if __name__ == "__main__":
    unittest.main()
