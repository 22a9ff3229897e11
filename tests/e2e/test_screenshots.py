"""Pictures of the main window in its layouts and both looks, saved under
RESULTS/screenshots/ for the eye (main-<look>-<mode>-<space>.png). The
checks here only catch what is plainly wrong; look at the pictures after
changing the window."""
import subprocess
import unittest

from harness import Program, SeparateWine, probe, screenshot_area

LOOKS = {"carbon": 0, "plain": 1}  # DisableSkin_FasterLaunch
MODES = {"one-color": 0, "two-color": 1}  # TwoColorMode
SPACES = {"rgb": 0, "cmyk": 3}  # ColorSpace


def picture_facts(path):
    """(mean brightness 0..1, number of distinct colors) of a picture."""
    text = subprocess.run(["convert", str(path), "-format", "%[fx:mean] %k", "info:"], capture_output=True,
                          text=True, check=True, timeout=60).stdout.split()
    return float(text[0]), int(text[1])


class ScreenshotTest(unittest.TestCase):
    def test_main_window_in_every_layout_and_look(self):
        sizes, brightness = {}, {}
        for look, plain in LOOKS.items():
            for mode, two_color in MODES.items():
                for space, color_space in SPACES.items():
                    name = f"main-{look}-{mode}-{space}"
                    ini = ("[Settings]\n"
                           f"DisableSkin_FasterLaunch={plain}\nTwoColorMode={two_color}\nColorSpace={color_space}\n"
                           f"LastColor={0x0080FF}\nLastColor2={0xA05020}\n")
                    with self.subTest(name), Program(ini_text=ini) as program:
                        program.start()
                        self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                        left, top, right, bottom = program.window_rect()
                        path = screenshot_area(name, left, top, right, bottom)
                        sizes[name] = (right - left, bottom - top)
                        brightness[name], colors = picture_facts(path)
                        self.assertGreater(colors, 20, f"{path} looks empty")
                        self.assertTrue(program.close_main_window())
                        self.assertEqual(program.wait_exit(), 0)

        for mode in MODES:
            for space in SPACES:
                carbon, plain = f"main-carbon-{mode}-{space}", f"main-plain-{mode}-{space}"
                if carbon in brightness and plain in brightness:
                    with self.subTest(f"{mode}-{space}: the dark theme is darker"):
                        self.assertLess(brightness[carbon], brightness[plain] - 0.1)
        for look in LOOKS:
            for space in SPACES:
                one, two = f"main-{look}-one-color-{space}", f"main-{look}-two-color-{space}"
                if one in sizes and two in sizes:
                    with self.subTest(f"{look}-{space}: two-color mode is wider, same height"):
                        self.assertGreater(sizes[two][0], sizes[one][0])
                        self.assertEqual(sizes[two][1], sizes[one][1])
            for mode in MODES:
                rgb, cmyk = f"main-{look}-{mode}-rgb", f"main-{look}-{mode}-cmyk"
                if rgb in sizes and cmyk in sizes:
                    with self.subTest(f"{look}-{mode}: CMYK is taller, same width"):
                        self.assertGreater(sizes[cmyk][1], sizes[rgb][1])
                        self.assertEqual(sizes[cmyk][0], sizes[rgb][0])


    def test_about_window_in_both_looks(self):
        for look, plain in LOOKS.items():
            with self.subTest(look), Program(ini_text=f"[Settings]\nDisableSkin_FasterLaunch={plain}\n") as program:
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                program.command("MHelp_About")  # modal: the command is still running afterwards
                self.assertEqual(program.probe("wait", "TFormAbout", "About", 15000)[0], 0, "no About window")
                code, text = program.probe("rect", "TFormAbout", "About")
                self.assertEqual(code, 0)
                left, top, right, bottom = map(int, text.split())
                path = screenshot_area(f"about-{look}", left, top, right, bottom)
                self.assertGreater(picture_facts(path)[1], 20, f"{path} looks empty")
                # Escape closes it, and the main window takes commands again.
                self.assertEqual(program.probe("close", "TFormAbout", "About")[0], 0)
                self.assertEqual(program.probe("gone", "TFormAbout", "About", 10000)[0], 0)
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)

    def test_at_200_percent_every_size_doubles(self):
        with SeparateWine(dpi=192) as wine:
            ini = f"[Settings]\nTwoColorMode=1\nColorSpace=3\nLastColor={0x0080FF}\nLastColor2={0xA05020}\n"
            with Program(ini_text=ini, env=wine.env) as program:
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(60000), "the main window did not appear")
                self.assertEqual(program.client_size(), (2 * 504, 2 * 95))
                left, top, right, bottom = program.window_rect()
                path = screenshot_area("main-carbon-200-percent", left, top, right, bottom, env=wine.env)
                self.assertGreater(picture_facts(path)[1], 20, f"{path} looks empty")
                program.command("MHelp_About")
                self.assertEqual(program.probe("wait", "TFormAbout", "About", 15000)[0], 0, "no About window")
                code, text = program.probe("rect", "TFormAbout", "About")
                self.assertEqual(code, 0)
                path = screenshot_area("about-carbon-200-percent", *map(int, text.split()), env=wine.env)
                self.assertGreater(picture_facts(path)[1], 20, f"{path} looks empty")
                self.assertEqual(program.probe("close", "TFormAbout", "About")[0], 0)
                self.assertEqual(program.probe("gone", "TFormAbout", "About", 10000)[0], 0)
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)

    def test_switching_the_look_while_running_repaints_the_window(self):
        with Program(ini_text=f"[Settings]\nLastColor={0x0080FF}\n") as program:
            program.start()
            self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
            pictures = {}
            for name in ("switch-carbon-at-start", "switch-plain-at-run-time", "switch-carbon-again"):
                if name != "switch-carbon-at-start":
                    program.command("MSettings_DisableSkin_FasterLaunch")
                left, top, right, bottom = program.window_rect()
                pictures[name] = picture_facts(screenshot_area(name, left, top, right, bottom))[0]
            self.assertLess(pictures["switch-carbon-at-start"], pictures["switch-plain-at-run-time"] - 0.1)
            self.assertAlmostEqual(pictures["switch-carbon-again"], pictures["switch-carbon-at-start"], delta=0.02)
            self.assertTrue(program.close_main_window())
            self.assertEqual(program.wait_exit(), 0)
            # The switch is stored only by saving, which the exit does.
            self.assertEqual(program.read_ini()["Settings"]["DisableSkin_FasterLaunch"], "0")


if __name__ == "__main__":
    unittest.main()
