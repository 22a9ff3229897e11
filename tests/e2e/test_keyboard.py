"""The program from the keyboard: every menu shortcut and the Tab order, as
real key presses through the X server (xdotool) into the active window."""
import subprocess
import unittest

from harness import MAIN_CLASS, MAIN_TITLE, Program, wait_for

ORANGE = 0x0080FF  # R 255, G 128, B 0
BLUE = 0xA05020


def press(*keys):
    subprocess.run(["xdotool", "key", "--delay", "60", *keys], check=True, timeout=30)


class KeyboardTest(unittest.TestCase):
    def start(self, ini=""):
        program = Program(ini_text=f"[Settings]\nLastColor={ORANGE}\nLastColor2={BLUE}\n{ini}")
        self.addCleanup(program.cleanup)
        program.start()
        self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
        # The window must be the active one for the keys to reach it.
        program.probe("foreground", MAIN_CLASS, MAIN_TITLE)
        self.assertTrue(wait_for(lambda: (program.state() or {}).get("foreground"), timeout=10))
        return program

    def test_menu_shortcuts(self):
        program = self.start()
        code = lambda: program.control("LColorCode")  # noqa: E731
        self.assertEqual(code(), "#ff8000")

        # (keys, what the code label or the window shows afterwards)
        steps = [
            (["shift+u"], lambda: code() == "#FF8000"),
            (["shift+p"], lambda: code() == "FF8000"),
            (["shift+p", "shift+u"], lambda: code() == "#ff8000"),
            (["ctrl+i"], lambda: code() == "#007fff"),
            (["ctrl+k"], lambda: code() == "#ff8000"),
            (["alt+4"], lambda: program.client_size()[1] > 75 and program.visible("EColorComponent4")),
            (["alt+1"], lambda: not program.visible("EColorComponent4")),
            (["shift+2"], lambda: program.visible("LColorCode2") and program.control("LColorCode2") == "#2050a0"),
            (["ctrl+s"], lambda: code() == "#2050a0" and program.control("LColorCode2") == "#ff8000"),
            (["shift+2"], lambda: not program.visible("LColorCode2")),
            (["ctrl+s"], lambda: code() == "#2050a0"),  # no swap in one-color mode
            (["ctrl+r"], lambda: code() != "#2050a0"),
        ]
        for keys, shows in steps:
            with self.subTest(keys=keys):
                press(*keys)
                self.assertTrue(wait_for(shows, timeout=5), f"after {keys}: code {code()!r}")

    def test_copy_and_paste_shortcuts(self):
        program = self.start("AutomaticallyCopyCodeToClipboard=0\n")
        self.assertEqual(program.probe("setclip", "something else")[0], 0)
        press("ctrl+c")
        self.assertTrue(wait_for(lambda: program.probe("getclip") == (0, "#ff8000"), timeout=5))
        self.assertEqual(program.probe("setclip", "#123456")[0], 0)
        press("ctrl+v")
        self.assertTrue(wait_for(lambda: program.control("LColorCode") == "#123456", timeout=5))

    def test_tab_reaches_the_rows_and_the_keys_edit_them(self):
        program = self.start()
        # The first scroll bar has the keyboard from the start; the arrows
        # step it.
        press("Right", "Right")
        self.assertTrue(wait_for(lambda: program.probe("scroll", MAIN_CLASS, MAIN_TITLE, "SBColorComponent1")
                                 == (0, "255"), timeout=5))  # already at its end
        press("Left", "Prior")
        self.assertTrue(wait_for(lambda: program.control("EColorComponent1") == "244", timeout=5))
        # Three more Tabs reach the first edit box; typing applies at once.
        press("Tab", "Tab", "Tab", "ctrl+a", "1", "0")
        self.assertTrue(wait_for(lambda: program.control("LColorCode") == "#0a8000", timeout=5),
                        program.control("LColorCode"))


if __name__ == "__main__":
    unittest.main()
