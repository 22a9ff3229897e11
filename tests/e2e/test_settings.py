"""The settings file: what the program writes at its end and what it makes
of the file at the next start."""
import unittest

from harness import ProgramTestCase, Program, windows_path

GRAY = 0x808080


class SettingsTest(ProgramTestCase):
    def look(self, program):
        """What the user sees of the editor and the window's place."""
        return {
            "code": program.control("LColorCode"),
            "second code shown": program.visible("LColorCode2"),
            "fourth row shown": program.visible("EColorComponent4"),
            "components": program.component_values(),
            "client": program.client_size(),
            "rect": program.window_rect(),
        }

    def test_changed_settings_and_color_come_back_at_the_next_start(self):
        with Program() as program:
            self.start(program)
            width, height = program.client_size()

            # Color 0xEFCDAB: red AB, green CD, blue EF.
            for name, value in (("SBColorComponent1", 0xAB), ("SBColorComponent2", 0xCD), ("SBColorComponent3", 0xEF)):
                program.set_scroll(name, value)
            self.assertEqual(program.control("LColorCode"), "#abcdef")

            program.command("MSettings_TwoColorMode")
            self.assertTrue(program.visible("LColorCode2"), "two-color mode did not show the second code")
            two_color_width, _ = program.client_size()
            self.assertGreater(two_color_width, width)

            program.command("MColorSpace_CMYK")
            self.assertTrue(program.visible("EColorComponent4"))
            _, cmyk_height = program.client_size()
            self.assertGreater(cmyk_height, height)

            program.command("MOutputFormat_Cpp")
            self.assertEqual(program.control("LColorCode"), "0x00efcdab")
            program.command("MSettings_UppercaseCode")
            self.assertEqual(program.control("LColorCode"), "0x00EFCDAB")
            before = self.look(program)
            self.close(program)

            settings = program.read_ini()["Settings"]
            self.assertEqual({key: settings.get(key) for key in
                              ("TwoColorMode", "UppercaseCode", "ColorSpace", "OutputFormat", "LastColor",
                               "LastColor2")},
                             {"TwoColorMode": "1", "UppercaseCode": "1", "ColorSpace": "3", "OutputFormat": "2",
                              "LastColor": str(0xEFCDAB), "LastColor2": str(GRAY)})
            position = program.read_ini()["Position"]
            self.assertEqual((int(position["Left"]), int(position["Top"])), before["rect"][:2])

            self.start(program)
            after = self.look(program)
            self.assertEqual(after, before)
            self.assertEqual(program.control("LColorCode2"), "0x00808080")
            self.close(program)

    def test_values_that_are_no_numbers_give_the_defaults(self):
        with Program() as program:
            self.start(program)
            defaults = self.look(program)
            self.close(program)
            default_file = program.read_ini()

        garbage = ("[Settings]\n"
                   "WindowAlwaysOnTop=yes\n"
                   "LoremIpsumText=\n"
                   "UppercaseCode=TRUE\n"
                   "CodeWithPrefix=no\n"
                   "TwoColorMode=on\n"
                   "ColorSpace=CMYK\n"
                   "OutputFormat=#2\n"
                   "LastColor=red\n"
                   "LastColor2=12abc\n"
                   "DropperZoomFactor=big\n"
                   "[Position]\n"
                   "Top=top\n"
                   "Left=1O0\n")
        with Program(ini_text=garbage) as program:
            self.start(program)
            seen = self.look(program)
            self.assertEqual(seen["code"], "#808080")
            self.assertEqual(seen["components"], ["128", "128", "128"])
            self.assertEqual(seen, defaults)
            self.assertFalse(program.state()["topmost"])
            self.close(program)

            # What is written at the end is the defaults, too.
            written = program.read_ini()
            for section in ("Settings", "Position"):
                self.assertEqual(dict(written[section]), dict(default_file[section]), section)

    def test_the_tray_icon_setting_is_always_saved_off(self):
        # The tray icon item is disabled: a stored 1 cannot switch it on.
        with Program(ini_text="[Settings]\nUseTrayIcon=1\n") as program:
            self.start(program)
            self.close(program)
            self.assertEqual(program.read_ini()["Settings"]["UseTrayIcon"], "0")

    def test_a_read_only_settings_file_is_reported_at_the_end(self):
        content = "[Settings]\nLastColor=255\n"
        with Program(ini_text=content) as program:
            # No write bit on the Linux side: a read-only file in Wine.
            program.ini_path.chmod(0o444)
            self.start(program)
            self.assertEqual(program.control("LColorCode"), "#ff0000")
            self.assertTrue(program.close_main_window())
            self.assertEqual(program.message_box(), f"Unable to write to {windows_path(program.ini_path)}")
            self.assertTrue(program.press_ok())
            self.assertEqual(program.wait_exit(), 0)
            self.assertEqual(program.ini_path.read_text(encoding="utf-8"), content)


    def test_a_log_off_keeps_the_settings_and_the_last_colors(self):
        # Windows ends the process right after the end-of-session messages;
        # the window is never destroyed. What was to be saved must be there.
        with Program() as program:
            self.start(program)
            program.set_scroll("SBColorComponent1", 0x12)
            program.command("MSettings_TwoColorMode")
            self.assertEqual(program.probe("endsession", "TFormMain", "Vesk Color Picker")[0], 0)
            program.kill()
            settings = program.read_ini()["Settings"]
            self.assertEqual(settings["TwoColorMode"], "1")
            self.assertEqual(int(settings["LastColor"]) & 0xFF, 0x12)

if __name__ == "__main__":
    unittest.main()
