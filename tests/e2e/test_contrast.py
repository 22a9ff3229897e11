"""The contrast ratio of the two colors in two-color mode, seen from
outside: the ratio shown for the stored colors, after an edit, copied from
the code's pop-up menu, and pictures in both looks
(RESULTS/screenshots/contrast-<look>-<pair>.png)."""
import unittest

from harness import ProgramTestCase, Program, screenshot_area

LOOKS = {"carbon": 0, "plain": 1}  # DisableSkin_FasterLaunch
# (name, primary, secondary, ratio shown): all four marks filled, AA large
# only (#777777 on white), none.
PAIRS = (("black-white", 0x000000, 0xFFFFFF, "21.00:1"),
         ("777-white", 0x777777, 0xFFFFFF, "4.47:1"),
         ("same", 0xA05020, 0xA05020, "1.00:1"))


class ContrastTest(ProgramTestCase):
    def test_the_ratio_of_the_stored_colors_in_both_looks(self):
        for look, plain in LOOKS.items():
            for name, primary, secondary, shown in PAIRS:
                ini = ("[Settings]\n"
                       f"DisableSkin_FasterLaunch={plain}\nTwoColorMode=1\nLastColor={primary}\nLastColor2={secondary}\n")
                with self.subTest(look=look, pair=name), Program(ini_text=ini) as program:
                    self.start(program)
                    self.assertTrue(program.visible("LContrastRatio"))
                    self.assertEqual(program.control("LContrastRatio"), shown)
                    screenshot_area(f"contrast-{look}-{name}", *program.window_rect())
                    self.close(program)

    def test_an_edit_changes_it_and_the_pop_up_copies_it(self):
        ini = f"[Settings]\nLastColor={0x777777}\nLastColor2={0xFFFFFF}\n"
        with Program(ini_text=ini) as program:
            self.start(program)
            self.assertFalse(program.visible("LContrastRatio"))
            program.command("MSettings_TwoColorMode")
            self.assertEqual(program.control("LContrastRatio"), "4.47:1")
            # #767676, the lightest gray that passes AA on white.
            for bar in ("SBColorComponent1", "SBColorComponent2", "SBColorComponent3"):
                program.set_scroll(bar, 0x76)
            self.assertEqual(program.control("LContrastRatio"), "4.54:1")
            for item in ("MCode_CopyContrastRatio", "MCode_CopyContrastRatio2"):
                with self.subTest(item=item):
                    self.assertEqual(program.probe("setclip", "before")[0], 0)
                    program.command(item)
                    self.assertEqual(program.probe("getclip"), (0, "4.54:1"))
            # One-color mode hides it; the layout is the one-color one.
            program.command("MSettings_TwoColorMode")
            self.assertFalse(program.visible("LContrastRatio"))
            self.assertEqual(program.client_size(), (391, 75))
            self.close(program)


if __name__ == "__main__":
    unittest.main()
