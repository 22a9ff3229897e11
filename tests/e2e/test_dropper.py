"""The eye dropper as a user meets it: a window of known pixels on the
screen, a run started from the menu command, the button's command or the
hot key, the pointer moved onto a pixel, a click. What the main window and
the clipboard then hold is that pixel's color."""
import os
import subprocess
import time
import unittest

from harness import BackgroundProbe, Program, SeparateWine, probe, screenshot_area, wait_for

PATTERN_LEFT, PATTERN_TOP, PATTERN_SIZE = 300, 200, 240


def pattern_rgb(x, y):
    """The color the probe paints at (x, y) of its pattern window."""
    return (x * 37 + y * 91) % 256, (x * 13 + y * 5) % 256, (x * 3 + y * 71) % 256


def sampled_rgb(x, y, size):
    """The rounded mean over the size x size square centred on (x, y)."""
    h = (size - 1) // 2
    sums = [0, 0, 0]
    for dy in range(-h, h + 1):
        for dx in range(-h, h + 1):
            for i, value in enumerate(pattern_rgb(x + dx, y + dy)):
                sums[i] += value
    n = size * size
    return tuple((2 * s + n) // (2 * n) for s in sums)  # n odd: never a tie


def html(rgb):
    return "#%02x%02x%02x" % rgb


class Screen:
    """The X display of a separate Wine: the pointer and keys as a user
    moves and presses them."""

    def __init__(self, wine):
        self.wine = wine
        self.env = {**os.environ, "DISPLAY": wine.env["DISPLAY"]}

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], check=True, timeout=30, env=self.env)

    def move_pointer(self, x, y):
        # Two steps, so the snapshot sees a move even when the pointer was
        # already there.
        self.xdotool("mousemove", x + 1, y)
        time.sleep(0.1)
        self.xdotool("mousemove", x, y)
        time.sleep(0.3)

    def keys(self, *names):
        # One at a time: each press moves the pointer, which the next one
        # starts from.
        for name in names:
            time.sleep(0.3)
            self.xdotool("key", name)
        time.sleep(0.3)

    def click(self):
        self.xdotool("click", "1")

    def cursor(self):
        return probe("cursor", env=self.wine.env)[1]


class DropperTest(unittest.TestCase):
    # The mouse speed is given: Wine stores a wrong value when a run sets the
    # system pointer speed back, so the default derived from it is not to be
    # trusted there. For the same reason each test runs in a copy of the Wine
    # prefix, which the pointer speed cannot leak out of.
    INI = ("[Settings]\nMinimizeWhileUsingDropper=0\nAutomaticallyCopyCodeToClipboard=1\n"
           "DropperMouseSpeed=10\n")

    def setUp(self):
        self.open_wine()

    def open_wine(self, dpi=None):
        if getattr(self, "wine", None):
            self.wine.close()
        self.wine = SeparateWine(dpi=dpi)
        self.addCleanup(self.wine.close)
        self.screen = Screen(self.wine)

    def start(self, program, start_command):
        """Starts a run the way START_COMMAND names and waits for the zoom
        window."""
        if start_command == "hotkey":
            # Wine delivers no X key press to a registered hot key; the
            # message is what Windows would send.
            self.assertEqual(program.probe("hotkey", "TFormMain", "Vesk Color Picker")[0], 0)
        elif start_command == "BDropper":
            self.assertEqual(program.probe("click", "TFormMain", "Vesk Color Picker", "BDropper")[0], 0)
        else:
            program.command(start_command)
        self.assertEqual(program.probe("wait", "TFormZoom", "*", 15000)[0], 0, "no zoom window")

    def finish_run(self, program):
        self.assertEqual(program.probe("gone", "TFormSnapshot", "*", 10000)[0], 0, "the run did not end")
        # The pointer is free again: it reaches the screen's corner.
        self.screen.xdotool("mousemove", 0, 0)
        time.sleep(0.2)
        self.assertEqual(self.screen.cursor(), "0 0")

    def test_a_click_picks_the_pixel_under_the_pointer(self):
        cases = (("MTools_Dropper", 1, (37, 41)), ("BDropper", 1, (120, 7)), ("hotkey", 1, (3, 200)),
                 ("MTools_Dropper", 3, (60, 90)), ("MTools_Dropper", 5, (101, 13)))
        with BackgroundProbe("pattern", PATTERN_LEFT, PATTERN_TOP, PATTERN_SIZE, 600000, env=self.wine.env) as pattern:
            self.assertTrue(pattern.wait_for_line("shown"), "no pattern window")
            for start_command, sample_size, (x, y) in cases:
                with self.subTest(start=start_command, sample_size=sample_size, at=(x, y)), \
                        Program(ini_text=self.INI + f"DropperSampleSize={sample_size}\n", env=self.wine.env) as program:
                    program.start()
                    self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                    self.screen.move_pointer(PATTERN_LEFT + x, PATTERN_TOP + y)
                    self.start(program, start_command)
                    self.screen.move_pointer(PATTERN_LEFT + x, PATTERN_TOP + y)
                    if sample_size == 1 and start_command == "MTools_Dropper":
                        screenshot_area("dropper-zoom-window", 0, 0, 1280, 1024, env=self.wine.env)
                    self.screen.click()
                    self.finish_run(program)
                    expected = html(sampled_rgb(x, y, sample_size))
                    self.assertEqual(program.control("LColorCode"), expected)
                    self.assertTrue(wait_for(lambda: program.probe("getclip") == (0, expected), timeout=5),
                                    f"the clipboard holds {program.probe('getclip')!r}")
                    self.assertTrue(program.close_main_window())
                    self.assertEqual(program.wait_exit(), 0)
                    # A pick keeps the run's values for the next run.
                    self.assertEqual(program.read_ini()["Settings"]["DropperSampleSize"], str(sample_size))

    def test_arrow_keys_move_the_picked_point_and_escape_and_f12_cancel(self):
        with BackgroundProbe("pattern", PATTERN_LEFT, PATTERN_TOP, PATTERN_SIZE, 600000, env=self.wine.env) as pattern:
            self.assertTrue(pattern.wait_for_line("shown"), "no pattern window")
            with Program(ini_text=self.INI, env=self.wine.env) as program:
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                before = program.control("LColorCode")

                for cancel_key in ("Escape", "F12"):
                    with self.subTest(cancel=cancel_key):
                        self.screen.move_pointer(PATTERN_LEFT + 50, PATTERN_TOP + 50)
                        self.start(program, "MTools_Dropper")
                        self.screen.move_pointer(PATTERN_LEFT + 50, PATTERN_TOP + 50)
                        self.screen.keys(cancel_key)
                        self.finish_run(program)
                        self.assertEqual(program.control("LColorCode"), before)
                        if cancel_key == "F12":
                            # The zoom picture, So x Z square, with the pixel
                            # under the pointer in its middle.
                            code, text = probe("getclipbitmap", env=self.wine.env)
                            self.assertEqual((code, text), (0, "392 392 %02x%02x%02x" % pattern_rgb(50, 50)))

                with self.subTest("arrows"):
                    self.screen.move_pointer(PATTERN_LEFT + 50, PATTERN_TOP + 50)
                    self.start(program, "MTools_Dropper")
                    self.screen.move_pointer(PATTERN_LEFT + 50, PATTERN_TOP + 50)
                    self.screen.keys("Right", "Right", "Down", "shift+Right")
                    # The run takes the keys from its queue: the moves come a
                    # moment after the presses.
                    moved = f"{PATTERN_LEFT + 62} {PATTERN_TOP + 51}"
                    self.assertTrue(wait_for(lambda: self.screen.cursor() == moved, timeout=5),
                                    f"the pointer is at {self.screen.cursor()}, not at {moved}")
                    self.screen.click()
                    self.finish_run(program)
                    self.assertEqual(program.control("LColorCode"), html(pattern_rgb(62, 51)))

                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)

    def test_the_zoom_window_stays_on_the_screen_near_every_edge(self):
        # The screen of the test is 1280 x 1024; the zoom window (522 x 394
        # with the defaults) stands 30 pixels beside the pointer, to its left
        # near the right edge, and is kept inside at the top and the bottom.
        points = {"top-left": (2, 2), "top-right": (1277, 3), "bottom-left": (4, 1021), "bottom-right": (1278, 1022),
                  "middle": (640, 512)}
        with BackgroundProbe("pattern", PATTERN_LEFT, PATTERN_TOP, PATTERN_SIZE, 600000, env=self.wine.env) as pattern:
            self.assertTrue(pattern.wait_for_line("shown"), "no pattern window")
            for look, plain in (("carbon", 0), ("plain", 1)):
                with Program(ini_text=self.INI + f"DisableSkin_FasterLaunch={plain}\n", env=self.wine.env) as program:
                    program.start()
                    self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                    self.screen.move_pointer(*points["middle"])
                    self.start(program, "MTools_Dropper")
                    for name, (x, y) in points.items():
                        with self.subTest(look=look, at=name):
                            self.screen.move_pointer(x, y)
                            code, text = program.probe("rect", "TFormZoom", "*")
                            self.assertEqual(code, 0)
                            left, top, right, bottom = map(int, text.split())
                            self.assertEqual((right - left, bottom - top), (522, 394))
                            self.assertTrue(0 <= left and right <= 1280 and 0 <= top and bottom <= 1024,
                                            f"the zoom window {text} leaves the screen")
                            expected_left = x + 30 if x <= 1280 - 522 - 30 else x - 522 - 30
                            self.assertEqual(left, expected_left)
                            screenshot_area(f"dropper-{look}-{name}", 0, 0, 1280, 1024, env=self.wine.env)
                    self.screen.keys("Escape")
                    self.finish_run(program)
                    self.assertTrue(program.close_main_window())
                    self.assertEqual(program.wait_exit(), 0)

    def test_the_pick_is_exact_at_200_percent(self):
        # The picture, the pointer and the monitors are all in physical
        # pixels, so the scaled layout changes nothing about the pick.
        self.open_wine(dpi=192)
        with BackgroundProbe("pattern", PATTERN_LEFT, PATTERN_TOP, PATTERN_SIZE, 600000, env=self.wine.env) as pattern:
            self.assertTrue(pattern.wait_for_line("shown"), "no pattern window")
            with Program(ini_text=self.INI + "DropperSampleSize=3\n", env=self.wine.env) as program:
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(60000), "the main window did not appear")
                self.screen.move_pointer(PATTERN_LEFT + 77, PATTERN_TOP + 33)
                self.start(program, "MTools_Dropper")
                self.screen.move_pointer(PATTERN_LEFT + 77, PATTERN_TOP + 33)
                screenshot_area("dropper-zoom-window-200-percent", 0, 0, 1280, 1024, env=self.wine.env)
                self.screen.click()
                self.finish_run(program)
                self.assertEqual(program.control("LColorCode"), html(sampled_rgb(77, 33, 3)))
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
