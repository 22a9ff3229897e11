"""The recent colors as a user meets them: several picks in one eye dropper
run with Space, the Recent Colors submenu, its copy commands, and the list
kept across a restart."""
import unittest

import test_dropper as dropper
from harness import BackgroundProbe, Program, ProgramTestCase, SeparateWine, screenshot_area, wait_for

LEFT, TOP, SIZE = dropper.PATTERN_LEFT, dropper.PATTERN_TOP, dropper.PATTERN_SIZE


def settings(**values):
    return "[Settings]\n" + "".join(f"{key}={value}\n" for key, value in values.items())


def color_reference(rgb):
    """The settings file's decimal form of a color: 0x00BBGGRR."""
    r, g, b = rgb
    return r | g << 8 | b << 16


def clipboard(program):
    code, text = program.probe("getclip")
    return text if code == 0 else None


class SeveralPicksInOneRunTest(unittest.TestCase):
    INI = dropper.DropperTest.INI

    def setUp(self):
        self.wine = SeparateWine()
        self.addCleanup(self.wine.close)
        self.screen = dropper.Screen(self.wine)

    def open_recent_colors(self):
        """Opens Color > Recent Colors from the keyboard, as a user would."""
        self.screen.keys("alt+o", "e")

    def test_space_adds_colors_and_a_click_ends_the_run(self):
        points = ((37, 41), (120, 7), (3, 200), (60, 90))
        colors = [dropper.pattern_rgb(x, y) for x, y in points]
        newest_first = list(reversed(colors))
        with BackgroundProbe("pattern", LEFT, TOP, SIZE, 600000, env=self.wine.env) as pattern:
            self.assertTrue(pattern.wait_for_line("shown"), "no pattern window")
            with Program(ini_text=self.INI, env=self.wine.env) as program:
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                self.screen.move_pointer(LEFT + 10, TOP + 10)
                program.command("MTools_Dropper")
                self.assertEqual(program.probe("wait", "TFormZoom", "*", 15000)[0], 0, "no zoom window")
                for count, (x, y) in enumerate(points[:3], start=1):
                    self.screen.move_pointer(LEFT + x, TOP + y)
                    self.screen.keys("space")
                    # The run goes on, and the zoom window counts the colors.
                    self.assertEqual(program.probe("findtext", "TFormZoom", "*", f"+{count}"), (0, "1"),
                                     f"the zoom window does not show +{count}")
                    self.assertEqual(program.probe("wait", "TFormSnapshot", "*", 1000)[0], 0, "the run ended")
                screenshot_area("dropper-three-added", 0, 0, 1280, 1024, env=self.wine.env)
                # Space on a color already added adds nothing more.
                self.screen.keys("space")
                self.assertEqual(program.probe("findtext", "TFormZoom", "*", "+3"), (0, "1"))
                self.screen.move_pointer(LEFT + points[3][0], TOP + points[3][1])
                self.screen.click()
                self.assertEqual(program.probe("gone", "TFormSnapshot", "*", 10000)[0], 0, "the run did not end")
                self.assertEqual(program.control("LColorCode"), dropper.html(colors[3]))

                program.command("MRecentColors_CopyAll")
                expected = "\r\n".join(dropper.html(rgb) for rgb in newest_first)
                self.assertTrue(wait_for(lambda: clipboard(program) == expected, timeout=5),
                                f"the clipboard holds {clipboard(program)!r}")
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)
                self.assertEqual(program.read_ini()["Settings"]["RecentColors"],
                                 ",".join(str(color_reference(rgb)) for rgb in newest_first))

                # After a restart the list is still there, and choosing its
                # third color makes it the primary color.
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear again")
                self.assertEqual(program.probe("foreground", "TFormMain", "Vesk Color Picker")[0], 0)
                self.open_recent_colors()
                screenshot_area("recent-colors-menu-carbon", 0, 0, 1280, 1024, env=self.wine.env)
                self.screen.keys("Down", "Down", "Return")
                self.assertTrue(wait_for(lambda: program.control("LColorCode") == dropper.html(newest_first[2]),
                                         timeout=5), f"the code shows {program.control('LColorCode')}")
                # Choosing a color does not reorder the list.
                program.command("MRecentColors_CopyAll")
                self.assertTrue(wait_for(lambda: clipboard(program) == expected, timeout=5),
                                f"the clipboard holds {clipboard(program)!r}")
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)

    def test_escape_cancels_only_the_last_pick(self):
        with BackgroundProbe("pattern", LEFT, TOP, SIZE, 600000, env=self.wine.env) as pattern:
            self.assertTrue(pattern.wait_for_line("shown"), "no pattern window")
            with Program(ini_text=self.INI + "DisableSkin_FasterLaunch=1\n", env=self.wine.env) as program:
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                before = program.control("LColorCode")
                self.screen.move_pointer(LEFT + 50, TOP + 50)
                program.command("MTools_Dropper")
                self.assertEqual(program.probe("wait", "TFormZoom", "*", 15000)[0], 0, "no zoom window")
                self.screen.move_pointer(LEFT + 50, TOP + 50)
                self.screen.keys("space")
                # Another button than the left one picks nothing.
                self.screen.xdotool("click", "3")
                self.assertEqual(program.probe("wait", "TFormSnapshot", "*", 1000)[0], 0, "the run ended")
                self.screen.move_pointer(LEFT + 70, TOP + 20)
                self.screen.keys("Escape")
                self.assertEqual(program.probe("gone", "TFormSnapshot", "*", 10000)[0], 0, "the run did not end")
                self.assertEqual(program.control("LColorCode"), before)
                program.command("MRecentColors_CopyAll")
                added = dropper.html(dropper.pattern_rgb(50, 50))
                self.assertTrue(wait_for(lambda: clipboard(program) == added, timeout=5),
                                f"the clipboard holds {clipboard(program)!r}")
                self.assertEqual(program.probe("foreground", "TFormMain", "Vesk Color Picker")[0], 0)
                self.open_recent_colors()
                screenshot_area("recent-colors-menu-plain", 0, 0, 1280, 1024, env=self.wine.env)
                self.screen.keys("Escape", "Escape", "Escape")
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)


class RecentColorsTest(ProgramTestCase):
    def test_paste_and_copy_commands_are_remembered_automatic_copies_are_not(self):
        with Program(ini_text=settings(LastColor=0x123456, AutomaticallyCopyCodeToClipboard=1)) as program:
            self.start(program)
            self.assertEqual(program.probe("setclip", "#FF8000")[0], 0)
            program.command("MClipboard_PasteCodeFromClipboard")  # orange; copied back automatically
            # Copied automatically 300 ms after the change, and not remembered.
            program.set_scroll("SBColorComponent1", 0)
            self.assertTrue(wait_for(lambda: clipboard(program) == "#008000", timeout=5))
            program.set_scroll("SBColorComponent2", 0)
            self.assertTrue(wait_for(lambda: clipboard(program) == "#000000", timeout=5))
            program.command("MClipboard_CopyCodeToClipboard")  # black, remembered
            self.assertEqual(program.probe("setclip", "#3366CC")[0], 0)
            program.command("MClipboard_PasteCodeFromClipboard")
            # The automatic copy of the pasted color comes first, so it
            # cannot land on what Copy All writes.
            self.assertTrue(wait_for(lambda: clipboard(program) == "#3366cc", timeout=5))
            program.command("MRecentColors_CopyAll")
            self.assertEqual(clipboard(program), "#3366cc\r\n#000000\r\n#ff8000")

            program.command("MRecentColors_CopyAllAsCss")
            self.assertEqual(clipboard(program),
                             "--color-1: #3366cc;\r\n--color-2: #000000;\r\n--color-3: #ff8000;\r\n")
            program.command("MRecentColors_CopyAllAsGimp")
            self.assertEqual(clipboard(program), "GIMP Palette\r\nName: Vesk Color Picker\r\n#\r\n"
                                                 " 51 102 204\t#3366cc\r\n  0   0   0\t#000000\r\n"
                                                 "255 128   0\t#ff8000\r\n")
            # Copy All writes the codes in the output format of the moment.
            program.command("MOutputFormat_Cpp")
            program.command("MRecentColors_CopyAll")
            self.assertEqual(clipboard(program), "0x00cc6633\r\n0x00000000\r\n0x000080ff")

            program.command("MRecentColors_Clear")
            self.assertEqual(program.probe("setclip", "untouched")[0], 0)
            program.command("MRecentColors_CopyAll")
            self.assertEqual(clipboard(program), "untouched")
            self.close(program)
            # A cleared list stays cleared.
            self.assertEqual(program.read_ini()["Settings"]["RecentColors"], "")

    def test_a_bad_stored_list_is_empty_and_loses_nothing_else(self):
        ini = settings(RecentColors="#3366cc;red", UppercaseCode=1, OutputFormat=2, LastColor=0x123456)
        with Program(ini_text=ini) as program:
            self.start(program)
            self.assertEqual(program.probe("setclip", "untouched")[0], 0)
            program.command("MRecentColors_CopyAll")
            self.assertEqual(clipboard(program), "untouched")
            self.close(program)
            written = program.read_ini()["Settings"]
            self.assertEqual((written["UppercaseCode"], written["OutputFormat"], written["RecentColors"]),
                             ("1", "2", ""))

    def test_a_file_without_the_key_gains_none_until_there_is_a_color(self):
        with Program(ini_text=settings(TwoColorMode=1)) as program:
            self.start(program)
            self.close(program)
            self.assertNotIn("recentcolors", program.read_ini()["Settings"])


if __name__ == "__main__":
    unittest.main()
