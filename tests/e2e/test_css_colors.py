"""Modern CSS colors through the real clipboard: the Copy As items and
pasting the forms they copy."""
import unittest

from harness import ProgramTestCase, Program

ORANGE = 0x0080FF  # as the settings file stores a color: 0x00BBGGRR

# The orange #FF8000 in every form of the Copy As submenus.
ORANGE_FORMS = {
    "Hex": "#FF8000",
    "Rgb": "rgb(255 128 0)",
    "Hsl": "hsl(30.1 100% 50%)",
    "Hwb": "hwb(30.1 0% 0%)",
    "Lab": "lab(67.82 45.49 74.84)",
    "Lch": "lch(67.82 87.58 58.71)",
    "Oklab": "oklab(73.19% 0.11186 0.14836)",
    "Oklch": "oklch(73.19% 0.1858 52.98)",
    "DisplayP3": "color(display-p3 0.9361 0.529 0.1987)",
}


def settings(**values):
    return "[Settings]\n" + "".join(f"{key}={value}\n" for key, value in values.items())


class CssColorsTest(ProgramTestCase):
    def clipboard(self, program):
        code, text = program.probe("getclip")
        return text if code == 0 else None

    def test_copy_as_puts_the_items_text_on_the_clipboard(self):
        ini = settings(LastColor=ORANGE, UppercaseCode=1, AutomaticallyCopyCodeToClipboard=0)
        with Program(ini_text=ini) as program:
            self.start(program)
            for form, text in ORANGE_FORMS.items():
                for item in (f"MClipboard_CopyAs_{form}", f"MCode_CopyAs_{form}"):
                    with self.subTest(item=item):
                        self.assertEqual(program.probe("setclip", "before")[0], 0)
                        program.command(item)
                        self.assertEqual(self.clipboard(program), text)
            # Uppercase is for the hexadecimal digits only.
            program.command("MSettings_UppercaseCode")
            program.command("MClipboard_CopyAs_Hex")
            self.assertEqual(self.clipboard(program), "#ff8000")
            program.command("MClipboard_CopyAs_DisplayP3")
            self.assertEqual(self.clipboard(program), ORANGE_FORMS["DisplayP3"])
            self.close(program)

    def test_pasted_modern_forms_set_the_color(self):
        cases = (
            # (clipboard text, code shown, RGB rows)
            (ORANGE_FORMS["Oklch"], "#FF8000", ["255", "128", "000"]),
            ("oklch(62.8% 0.25768 29.23);", "#FF0000", ["255", "000", "000"]),
            ("lab(67.82 45.49 74.84)", "#FF8000", ["255", "128", "000"]),
            # Outside sRGB: gamut-mapped, not clipped to #00FF00.
            ("color(display-p3 0 1 0)", "#00FB29", ["000", "251", "041"]),
        )
        # Without the automatic copy, whose timer would otherwise write the
        # pasted color's code over the next text set on the clipboard.
        ini = settings(LastColor=0x123456, UppercaseCode=1, AutomaticallyCopyCodeToClipboard=0)
        with Program(ini_text=ini) as program:
            self.start(program)
            for text, shown, rows in cases:
                with self.subTest(text=text):
                    self.assertEqual(program.probe("setclip", text)[0], 0)
                    program.command("MClipboard_PasteCodeFromClipboard")
                    self.assertEqual(program.control("LColorCode"), shown)
                    self.assertEqual(program.component_values(), rows)
            self.close(program)


if __name__ == "__main__":
    unittest.main()
