"""Pictures of the main window in its layouts and both looks, saved under
RESULTS/screenshots/ for the eye (main-<look>-<mode>-<space>.png). The
checks here only catch what is plainly wrong; look at the pictures after
changing the window."""
import subprocess
import unittest

from harness import Program, SeparateWine, probe, screenshot_area, shipped_languages

LOOKS = {"carbon": 0, "plain": 1}  # DisableSkin_FasterLaunch
MODES = {"one-color": 0, "two-color": 1}  # TwoColorMode
SPACES = {"rgb": 0, "cmyk": 3}  # ColorSpace
# The client area fixed by the layout: the width by the mode, the height by
# the number of component rows. The outer size is not fixed: the menu bar
# may wrap and the window grows with it.
CLIENT_SIZES = {("one-color", "rgb"): (391, 75), ("one-color", "cmyk"): (391, 95),
                ("two-color", "rgb"): (504, 75), ("two-color", "cmyk"): (504, 95)}


def white_share(path, left, top, width, height):
    """The share of pure white pixels in an area of a picture."""
    text = subprocess.run(["convert", str(path), "-crop", f"{width}x{height}+{left}+{top}", "+repage", "-fill",
                           "black", "+opaque", "white", "-format", "%[fx:mean]", "info:"], capture_output=True,
                          text=True, check=True, timeout=60).stdout
    return float(text)


def picture_facts(path):
    """(mean brightness 0..1, number of distinct colors) of a picture."""
    text = subprocess.run(["convert", str(path), "-format", "%[fx:mean] %k", "info:"], capture_output=True,
                          text=True, check=True, timeout=60).stdout.split()
    return float(text[0]), int(text[1])


class ScreenshotTest(unittest.TestCase):
    def test_main_window_in_every_layout_and_look(self):
        clients, brightness = {}, {}
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
                        clients[name] = ((mode, space), program.client_size())
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
        for name, (layout, client) in clients.items():
            with self.subTest(f"{name}: the client area is the layout's"):
                self.assertEqual(client, CLIENT_SIZES[layout])

    def test_a_wrapped_menu_bar_leaves_the_client_area_alone(self):
        # The window grows with its menu bar when the captions do not fit on
        # one row; that growth is right, as long as the client area keeps its
        # size. English wraps in one-color mode with Wine's Tahoma. (Wine
        # keeps a menu inside its process, so the items' places are checked
        # by the in-process tests.)
        for language, two_color in (("English", 0), ("German", 0), ("German", 1)):
            mode = "two-color" if two_color else "one-color"
            ini = f"[Settings]\nLanguage={language}\nTwoColorMode={two_color}\n"
            with self.subTest(language=language, mode=mode), Program(ini_text=ini) as program:
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                client_width, client_height = CLIENT_SIZES[(mode, "rgb")]
                self.assertEqual(program.client_size(), (client_width, client_height))
                left, top, right, bottom = program.window_rect()
                path = screenshot_area(f"menu-bar-{language.lower()}-{mode}", left, top, right, bottom)
                # In the dark look the whole bar is dark, also beside the
                # items of its last row (the system paints that in its own
                # light menu color).
                border = (right - left - client_width) // 2
                client_top = bottom - top - border - client_height
                self.assertEqual(white_share(path, border, client_top - 6, client_width, 5), 0.0,
                                 f"{path}: white in the menu bar")
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)

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
                if look == "carbon":
                    # The dark bar is dark beside its items too, as the
                    # main window's.
                    border = (right - left - 231) // 2
                    client_top = bottom - top - border - 225
                    self.assertEqual(white_share(path, border, client_top - 6, 231, 5), 0.0,
                                     f"{path}: white in the menu bar")
                # Escape closes it, and the main window takes commands again.
                self.assertEqual(program.probe("close", "TFormAbout", "About")[0], 0)
                self.assertEqual(program.probe("gone", "TFormAbout", "About", 10000)[0], 0)
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)

    def test_the_about_window_keeps_its_client_size_in_every_language(self):
        # Two menu captions need two rows of the bar in some languages; the
        # window grows, the client area does not shrink.
        for language in shipped_languages():
            with self.subTest(language=language), Program(ini_text=f"[Settings]\nLanguage={language}\n") as program:
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                program.command("MHelp_About")
                self.assertEqual(program.probe("wait", "TFormAbout", "*", 15000)[0], 0, "no About window")
                self.assertEqual(program.probe("client", "TFormAbout", "*"), (0, "231 225"))
                code, text = program.probe("rect", "TFormAbout", "*")
                screenshot_area(f"about-{language.lower()}", *map(int, text.split()))
                self.assertEqual(program.probe("close", "TFormAbout", "*")[0], 0)
                self.assertEqual(program.probe("gone", "TFormAbout", "*", 10000)[0], 0)
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)

    def test_every_language_at_100_and_200_percent(self):
        # Pictures to look at for clipped or overlapping texts: the main
        # window in both modes and all four color spaces, and the About
        # window, in each language at both scales. The checks catch a layout
        # that no longer has its size.
        spaces = ("RGB", "HLS", "CMY", "CMYK")
        for dpi in (96, 192):
            scale = dpi // 96
            wine = SeparateWine(dpi=dpi) if dpi != 96 else None
            try:
                env = wine.env if wine else None
                for language in shipped_languages():
                    with self.subTest(language=language, dpi=dpi), \
                            Program(ini_text=f"[Settings]\nLanguage={language}\n", env=env) as program:
                        program.start()
                        self.assertIsNotNone(program.wait_for_main_window(60000), "the main window did not appear")
                        for two_color in (False, True):
                            if two_color:
                                program.command("MSettings_TwoColorMode")
                            for space in spaces:
                                program.command(f"MColorSpace_{space}")
                                mode = "two-color" if two_color else "one-color"
                                rows = "cmyk" if space == "CMYK" else "rgb"
                                width, height = CLIENT_SIZES[(mode, rows)]
                                self.assertEqual(program.client_size(), (scale * width, scale * height), space)
                                screenshot_area(f"lang-{language.lower()}-{dpi}-{mode}-{space.lower()}",
                                                *program.window_rect(), env=env)
                        program.command("MHelp_About")
                        self.assertEqual(program.probe("wait", "TFormAbout", "*", 15000)[0], 0, "no About window")
                        self.assertEqual(program.probe("client", "TFormAbout", "*"),
                                         (0, f"{scale * 231} {scale * 225}"))
                        code, text = program.probe("rect", "TFormAbout", "*")
                        screenshot_area(f"lang-{language.lower()}-{dpi}-about", *map(int, text.split()), env=env)
                        self.assertEqual(program.probe("close", "TFormAbout", "*")[0], 0)
                        self.assertEqual(program.probe("gone", "TFormAbout", "*", 10000)[0], 0)
                        self.assertTrue(program.close_main_window())
                        self.assertEqual(program.wait_exit(), 0)
            finally:
                if wine:
                    wine.close()

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
                self.assertEqual(program.probe("client", "TFormAbout", "About"), (0, f"{2 * 231} {2 * 225}"))
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
