"""Codes through the real clipboard: paste, automatic copying and a
clipboard that another program holds open."""
import subprocess
import unittest

from harness import ProgramTestCase, MAIN_CLASS, MAIN_TITLE, BackgroundProbe, Program, wait_for


def settings(**values):
    return "[Settings]\n" + "".join(f"{key}={value}\n" for key, value in values.items())


def x_clipboard():
    """The text of the X clipboard, as xclip reads it (None when there is none
    or its owner did not answer)."""
    try:
        # Now and then, while the X selection changes hands between xclip
        # and Wine, a request is never answered and xclip would wait for
        # ever; a new request is.
        result = subprocess.run(["xclip", "-selection", "clipboard", "-o"], capture_output=True, timeout=5)
    except subprocess.TimeoutExpired:
        return None
    return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else None


def wine_clipboard_holds(program, text):
    """Whether the clipboard inside Wine holds TEXT (line ends aside: Wine
    turns the X side's LF into CR LF)."""
    code, held = program.probe("getclip")
    return code == 0 and held.replace("\r\n", "\n") == text.replace("\r\n", "\n")


class ClipboardTest(ProgramTestCase):
    def set_clipboard(self, program, text):
        self.assertEqual(program.probe("setclip", text)[0], 0, "could not put the text on the clipboard")

    def clipboard(self, program):
        code, text = program.probe("getclip")
        return text if code == 0 else None

    def test_pasted_codes(self):
        # (settings file, clipboard text, code shown, RGB rows, stored after the run)
        # Automatic copying is on by default, so the clipboard then holds the
        # code as shown.
        orange = str(0x0080FF)
        cases = (
            # A prefix picks its format and switches the prefix option on.
            (settings(OutputFormat=2, UppercaseCode=1, CodeWithPrefix=0), "#ff8000\r\n", "#FF8000",
             ["255", "128", "000"], {"OutputFormat": "0", "CodeWithPrefix": "1", "LastColor": orange}),
            # Without a prefix the current format reads it, and the prefix
            # option goes off.
            (settings(), "ff8000", "ff8000",
             ["255", "128", "000"], {"OutputFormat": "0", "CodeWithPrefix": "0", "LastColor": orange}),
            # Delphi reads the digits as $00bbggrr: blue FF, green 80, red 00.
            (settings(OutputFormat=1, UppercaseCode=1), "  ff8000\t", "00FF8000",
             ["000", "128", "255"], {"OutputFormat": "1", "CodeWithPrefix": "0", "LastColor": str(0xFF8000)}),
            # The decimal form has no prefix; the option stays as it was.
            (settings(OutputFormat=4, LastColor=255), "8421504", "08421504",
             ["128", "128", "128"], {"OutputFormat": "4", "CodeWithPrefix": "1", "LastColor": str(0x808080)}),
        )
        for ini, text, shown, rows, stored in cases:
            with self.subTest(text=text, ini=ini), Program(ini_text=ini) as program:
                self.start(program)
                self.set_clipboard(program, text)
                program.command("MClipboard_PasteCodeFromClipboard")
                self.assertEqual(program.control("LColorCode"), shown)
                self.assertEqual(program.component_values(), rows)
                self.assertEqual(self.clipboard(program), shown)
                self.close(program)
                written = program.read_ini()["Settings"]
                self.assertEqual({key: written.get(key) for key in stored}, stored)

    def test_forms_copied_from_style_sheets_and_visual_basic(self):
        # Put on the X clipboard by xclip, as another program on the desktop
        # would, and read by the program through Wine. One run: each paste
        # also switches the format, so the order shows that it follows the
        # text. Automatic copying puts the shown code back, which xclip
        # reads from the X side.
        ini = settings(OutputFormat=1, UppercaseCode=1, LastColor=0x123456)
        orange = ["255", "128", "000"]
        cases = (
            # (clipboard text, code shown, RGB rows)
            ("&H0080FF&", "&H000080FF", orange),  # Visual Basic: &HBBGGRR
            ("rgb(255, 128, 0)", "#FF8000", orange),
            ("&HFF&\n", "&H000000FF", ["255", "000", "000"]),
            ("rgb(255 128 0 / 50%)", "#FF8000", orange),
            ("rgb(100% 50% 0%)", "#FF8000", orange),
            ("hsl(30, 100%, 50%)", "#FF8000", orange),
            ("  hsl(30deg 100% 50%);\r\n", "#FF8000", orange),
            ("#f80", "#FF8800", ["255", "136", "000"]),
            ("#ff800080", "#FF8000", orange),
            ("RebeccaPurple", "#663399", ["102", "051", "153"]),
            ("0x000080FF;", "0x000080FF", orange),
            ("lightgoldenrodyellow;", "#FAFAD2", ["250", "250", "210"]),
        )
        with Program(ini_text=ini) as program:
            self.start(program)
            for text, shown, rows in cases:
                with self.subTest(text=text):
                    subprocess.run(["xclip", "-selection", "clipboard"], input=text.encode(), check=True, timeout=30)
                    # Wine takes the X clipboard over in its own time.
                    self.assertTrue(wait_for(lambda: wine_clipboard_holds(program, text), timeout=10),
                                    "the text did not reach the clipboard inside Wine")
                    program.command("MClipboard_PasteCodeFromClipboard")
                    self.assertEqual(program.control("LColorCode"), shown)
                    self.assertEqual(program.component_values(), rows)
                    self.assertTrue(wait_for(lambda: x_clipboard() == shown, timeout=30),
                                    f"the X clipboard holds {x_clipboard()!r}")
            self.close(program)
            written = program.read_ini()["Settings"]
            self.assertEqual((written["OutputFormat"], written["LastColor"]), ("0", str(0xD2FAFA)))

    def test_text_that_is_no_code_changes_nothing(self):
        # Start in Delphi: a text with another format's prefix must not
        # switch the format when the rest of it is invalid.
        with Program(ini_text=settings(OutputFormat=1, LastColor=0x123456)) as program:
            self.start(program)
            before = (program.control("LColorCode"), program.component_values())
            self.assertEqual(before[0], "$00123456")
            for text in ("", "   ", "hello", "#12345", "#ff80001", "$01000000", "0X00808080", "&h00808080"):
                with self.subTest(text=text):
                    self.set_clipboard(program, text)
                    program.command("MClipboard_PasteCodeFromClipboard")
                    self.assertEqual((program.control("LColorCode"), program.component_values()), before)
                    self.assertEqual(self.clipboard(program), text, "the clipboard was written")
            # A message box would still be open.
            self.assertIsNone(program.message_box(timeout_ms=300), "a message box appeared")
            self.close(program)
            written = program.read_ini()["Settings"]
            self.assertEqual((written["OutputFormat"], written["CodeWithPrefix"], written["LastColor"]),
                             ("1", "1", str(0x123456)))

    def test_component_changes_are_copied_once_300_ms_after_the_last(self):
        for automatic in (True, False):
            with self.subTest(automatic=automatic), \
                    Program(ini_text=settings(AutomaticallyCopyCodeToClipboard=int(automatic))) as program:
                self.start(program)
                self.set_clipboard(program, "before")
                # Five moves 100 ms apart, then 1.5 s of watching the
                # clipboard; one line per change, in ms after the last move.
                code, changes = program.probe("scrollburst", MAIN_CLASS, MAIN_TITLE, "SBColorComponent1",
                                              100, 1500, 10, 20, 30, 40, 50)
                self.assertEqual(code, 0)
                times = [int(line) for line in changes.split()]
                self.assertEqual(program.control("LColorCode"), "#328080")
                if automatic:
                    self.assertEqual(len(times), 1, f"clipboard changes at {times} ms")
                    # Timers never fire early; Wine may be a little late.
                    self.assertGreaterEqual(times[0], 290)
                    self.assertLess(times[0], 1000)
                    self.assertEqual(self.clipboard(program), "#328080")
                else:
                    self.assertEqual(times, [])
                    self.assertEqual(self.clipboard(program), "before")
                self.close(program)

    def test_a_clipboard_held_by_another_program_fails_quietly(self):
        with Program() as program:
            self.start(program)
            self.set_clipboard(program, "#123456")
            with BackgroundProbe("holdclip", 60000) as holder:
                self.assertTrue(holder.wait_for_line("held"), "the clipboard could not be held")
                program.command("MClipboard_CopyCodeToClipboard")
                program.command("MClipboard_PasteCodeFromClipboard")
                self.assertIsNone(program.message_box(timeout_ms=1000), "a message box appeared")
                self.assertEqual(program.control("LColorCode"), "#808080")
                self.assertEqual(program.component_values(), ["128", "128", "128"])
                # All of the above happened while the clipboard was held.
                self.assertTrue(holder.running(), "the hold ended too early for this test")
                self.assertEqual(holder.finish()[0], 0)
            # The copy did not take place ...
            self.assertEqual(self.clipboard(program), "#123456")
            # ... and with the clipboard free again, paste works.
            program.command("MClipboard_PasteCodeFromClipboard")
            self.assertEqual(program.control("LColorCode"), "#123456")
            self.close(program)

    def test_a_clipboard_held_for_a_moment_still_takes_the_copy(self):
        # Clipboard managers and remote desktops hold the clipboard for a
        # moment; the program tries again for about 250 ms. The probe holds
        # it while the copy command runs and lets it go after HOLD ms.
        # (hold in ms, whether the copy lands)
        cases = ((150, True), (2000, False))
        with Program(ini_text=settings(LastColor=0x123456)) as program:
            self.start(program)
            shown = program.control("LColorCode")
            self.assertEqual(shown, "#563412")
            for hold, lands in cases:
                with self.subTest(hold=hold):
                    self.set_clipboard(program, "before")
                    code, took = program.probe("heldcommand", MAIN_CLASS, MAIN_TITLE,
                                               "MClipboard_CopyCodeToClipboard", hold)
                    self.assertEqual(code, 0, f"the command was not handled: {took}")
                    took = int(took)
                    if lands:
                        # It waited for the holder: the command ended only
                        # once the clipboard was free.
                        self.assertGreaterEqual(took, hold - 10)
                        self.assertEqual(self.clipboard(program), shown)
                    else:
                        # It tried for a while, then gave up long before the
                        # holder let go: no hang, and the other program's
                        # text is still there.
                        self.assertGreaterEqual(took, 200)
                        self.assertLess(took, 1500)
                        self.assertEqual(self.clipboard(program), "before")
                    self.assertIsNone(program.message_box(timeout_ms=300), "a message box appeared")
            # The program goes on: the next copy lands.
            program.command("MClipboard_CopyCodeToClipboard")
            self.assertEqual(self.clipboard(program), shown)
            self.close(program)

    def test_only_automatic_copies_are_kept_out_of_clipboard_history(self):
        # Windows leaves a clipboard content out of its history and the cloud
        # clipboard when it carries these formats; Wine has neither, so the
        # formats themselves are what can be seen here.
        # The first counts by its presence, whatever its data; the other
        # two must say 0 (the probe lists four-byte data as " =DWORD").
        exclude = "ExcludeClipboardContentFromMonitorProcessing"
        refusals = {"CanIncludeInClipboardHistory =0", "CanUploadToCloudClipboard =0"}
        mark_names = {exclude} | {refusal.split(" =")[0] for refusal in refusals}

        def move_scroll_bar(program):
            program.set_scroll("SBColorComponent1", 50)  # copied 300 ms later

        def copy_command(program):
            program.command("MClipboard_CopyCodeToClipboard")

        def paste(program):
            self.set_clipboard(program, "#ff8000")
            program.command("MClipboard_PasteCodeFromClipboard")

        # (what the user does, whether the copy is automatic) in one run:
        # each copy replaces the marks of the one before.
        cases = ((move_scroll_bar, True), (copy_command, False), (paste, True), (copy_command, False))
        with Program(ini_text=settings(LastColor=0x123456)) as program:
            self.start(program)
            for action, automatic in cases:
                with self.subTest(action=action.__name__):
                    self.set_clipboard(program, "before")
                    action(program)
                    shown = program.control("LColorCode")
                    self.assertTrue(wait_for(lambda: self.clipboard(program) == shown, timeout=10),
                                    f"the clipboard holds {self.clipboard(program)!r}, not {shown!r}")
                    code, listed = program.probe("clipformats")
                    self.assertEqual(code, 0)
                    formats = set(listed.splitlines())
                    names = {line.split(" =")[0] for line in formats}
                    if automatic:
                        self.assertIn(exclude, names)
                        self.assertLessEqual(refusals, formats)
                    else:
                        self.assertEqual(names & mark_names, set())
            self.close(program)


if __name__ == "__main__":
    unittest.main()
