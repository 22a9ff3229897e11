"""The eye dropper on two monitors (see two_monitors.py): a primary of
1280 x 1024 at 0,0 and a 1920 x 1080 monitor to its left, at negative
coordinates. The snapshot covers both, a pick is exact on either, and the
zoom window keeps to the monitor under the pointer, with that monitor's size
limit and coordinates."""
import contextlib
import unittest

from harness import BackgroundProbe, Program, probe, wait_for
from test_dropper import html, pattern_rgb
from two_monitors import LEFT, PRIMARY, VIRTUAL_DESKTOP, TwoMonitorWine

PATTERN_SIZE = 240


def mean_rgb(pixels):
    """The mean of the pattern's pixels, each channel rounded to the nearest
    integer, ties to the even one."""
    n = len(pixels)
    channels = []
    for i in range(3):
        whole, remainder = divmod(sum(pattern_rgb(x, y)[i] for x, y in pixels), n)
        channels.append(whole + (1 if 2 * remainder > n or (2 * remainder == n and whole % 2) else 0))
    return tuple(channels)


def square(x, y, size):
    h = (size - 1) // 2
    return [(x + dx, y + dy) for dy in range(-h, h + 1) for dx in range(-h, h + 1)]


def on_monitor(rect, x, y):
    return rect[0] <= x < rect[2] and rect[1] <= y < rect[3]


class TwoMonitorDropperTest(unittest.TestCase):
    # As in test_dropper: the mouse speed is given, because Wine stores a
    # wrong value when a run sets the system pointer speed back.
    INI = ("[Settings]\nMinimizeWhileUsingDropper=0\nAutomaticallyCopyCodeToClipboard=1\n"
           "DropperMouseSpeed=10\n")

    @classmethod
    def setUpClass(cls):
        cls.bed = TwoMonitorWine()

    @classmethod
    def tearDownClass(cls):
        cls.bed.close()

    def probe(self, *args):
        return probe(*args, env=self.bed.env)

    def start_run(self, program, x, y):
        self.bed.move_pointer(x, y)
        program.command("MTools_Dropper")
        self.assertEqual(self.probe("wait", "TFormZoom", "*", 15000)[0], 0, "no zoom window")

    def finish_run(self):
        self.assertEqual(self.probe("gone", "TFormSnapshot", "*", 10000)[0], 0, "the run did not end")
        # The pointer is free again: it reaches the virtual desktop's corner.
        self.bed.move_pointer(*VIRTUAL_DESKTOP[:2])
        self.assertEqual(self.probe("cursor"), (0, "%d %d" % VIRTUAL_DESKTOP[:2]))

    def rect(self, window_class):
        code, text = self.probe("rect", window_class, "*")
        self.assertEqual(code, 0, f"no {window_class}")
        return tuple(map(int, text.split()))

    def test_the_snapshot_covers_both_monitors_and_a_pick_is_exact_on_either(self):
        # Sample size 3, so the pointer is confined and each pick is a mean.
        # Each row: where a pattern window stands, the point (of the
        # pattern) the pointer is sent to, where the confinement keeps it,
        # and the pixels whose mean the pick gives.
        cases = (
            ("left monitor, at negative coordinates", (-1500, 300), (37, 41), (37, 41), square(37, 41, 3)),
            # The top-left corner of the virtual desktop: the confinement
            # keeps the sample square on the picture.
            ("left monitor's top-left corner", (-1920, 0), (0, 0), (1, 1), square(1, 1, 3)),
            # The primary's bottom row: the square's lowest row lies on no
            # monitor and is left out of the mean.
            ("primary's bottom edge", (300, 1024 - PATTERN_SIZE), (100, 239), (100, 239),
             [(x, y) for x, y in square(100, 239, 3) if y < PATTERN_SIZE]),
        )
        with contextlib.ExitStack() as stack:
            for _, (left, top), *_ in cases:
                pattern = stack.enter_context(
                    BackgroundProbe("pattern", left, top, PATTERN_SIZE, 600000, env=self.bed.env))
                self.assertTrue(pattern.wait_for_line("shown"), "no pattern window")
            program = stack.enter_context(Program(ini_text=self.INI + "DropperSampleSize=3\n", env=self.bed.env))
            program.start()
            self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
            for name, (left, top), (x, y), (cx, cy), pixels in cases:
                with self.subTest(name):
                    self.start_run(program, left + x, top + y)
                    self.assertEqual(self.rect("TFormSnapshot"), VIRTUAL_DESKTOP)
                    inset = (VIRTUAL_DESKTOP[0] + 1, VIRTUAL_DESKTOP[1] + 1, VIRTUAL_DESKTOP[2] - 1,
                             VIRTUAL_DESKTOP[3] - 1)
                    self.assertEqual(self.probe("clip"), (0, "%d %d %d %d" % inset))
                    self.bed.move_pointer(left + x, top + y)
                    self.assertEqual(self.probe("cursor"), (0, f"{left + cx} {top + cy}"))
                    self.bed.click()
                    self.finish_run()
                    expected = html(mean_rgb(pixels))
                    self.assertEqual(program.control("LColorCode"), expected)
                    self.assertTrue(wait_for(lambda: program.probe("getclip") == (0, expected), timeout=5),
                                    f"the clipboard holds {program.probe('getclip')!r}")
            self.assertTrue(program.close_main_window())
            self.assertEqual(program.wait_exit(), 0)

    def test_the_zoom_window_keeps_to_the_pointers_monitor_its_size_limit_and_coordinates(self):
        # Source size 67 at zoom factor 8 is a 536-pixel picture: it fits the
        # left monitor (limit 1080 div 2 = 540), not the primary (512), where
        # the run shrinks it to 63 for good.
        zoom_factor = 8
        points = (
            ("left-middle", LEFT, (-960, 540)),
            ("left-top-left", LEFT, (-1918, 2)),
            ("left-top-right", LEFT, (-3, 3)),
            ("left-bottom-left", LEFT, (-1916, 1077)),
            ("left-bottom-right", LEFT, (-2, 1078)),
            ("primary-top-left", PRIMARY, (2, 2)),
            ("primary-top-right", PRIMARY, (1277, 3)),
            ("primary-bottom-left", PRIMARY, (4, 1021)),
            ("primary-bottom-right", PRIMARY, (1278, 1022)),
            ("primary-middle", PRIMARY, (640, 512)),
            ("left-middle-again", LEFT, (-960, 540)),
        )
        source_size = 67
        with Program(ini_text=self.INI + f"DropperZoomFactor={zoom_factor}\nDropperSourceSize={source_size}\n",
                     env=self.bed.env) as program:
            program.start()
            self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
            self.start_run(program, *points[0][2])
            for name, monitor, (x, y) in points:
                with self.subTest(name):
                    self.bed.move_pointer(x, y)
                    width, height = monitor[2] - monitor[0], monitor[3] - monitor[1]
                    limit = min(width, height) // 2
                    if source_size * zoom_factor > limit:
                        fitting = limit // zoom_factor
                        source_size = fitting if fitting % 2 else fitting - 1
                    side = source_size * zoom_factor + 2
                    size = (128 + side, max(side, 281))

                    left, top, right, bottom = self.rect("TFormZoom")
                    self.assertEqual((right - left, bottom - top), size)
                    self.assertTrue(on_monitor(monitor, left, top) and on_monitor(monitor, right - 1, bottom - 1),
                                    f"the zoom window {(left, top, right, bottom)} leaves the monitor {monitor}")
                    # 30 pixels right of the pointer, or left of it near the
                    # monitor's right edge, or (with room on neither side)
                    # against the edge of the side with more; centred on it
                    # vertically, within the monitor's top and bottom.
                    if x + 30 + size[0] <= monitor[2]:
                        expected_left = x + 30
                    elif x - 30 - size[0] >= monitor[0]:
                        expected_left = x - 30 - size[0]
                    else:
                        expected_left = monitor[2] - size[0] if monitor[2] - x >= x - monitor[0] else monitor[0]
                    self.assertEqual(left, expected_left)
                    self.assertEqual(top, min(max(y - size[1] // 2, monitor[1]), monitor[3] - size[1]))

                    if monitor == PRIMARY:
                        monitor_caption, wrong_caption = "Monitor = -- ditto --", f"Monitor = [{x}, {y}]"
                    else:
                        monitor_caption = f"Monitor = [{x - monitor[0]}, {y - monitor[1]}]"
                        wrong_caption = "Monitor = -- ditto --"
                    code, shown = self.probe("findtext", "TFormZoom", "*", f"Screen = [{x}, {y}]", monitor_caption,
                                             wrong_caption)
                    self.assertEqual((code, shown.split()), (0, ["1", "1", "0"]),
                                     f"the captions {f'Screen = [{x}, {y}]'!r}, {monitor_caption!r} (shown) "
                                     f"and {wrong_caption!r} (not shown)")
                    self.bed.screenshot(f"dropper-two-monitors-{name}", monitor)
            self.bed.keys("Escape")
            self.finish_run()
            self.assertTrue(program.close_main_window())
            self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
