"""Which language the program starts in, and what happens without one."""
import unittest

from harness import DIST, MAIN_CLASS, MAIN_TITLE, MainWindowWatch, Program, language_text, shipped_languages

MISSING_LANGUAGE_FILE = ("Language file missing.\r\n"
                         "You need to unpack the whole archive in case of portable version.")


def red_label(language):
    """The first component label in RGB, as the language file spells it."""
    return language_text(DIST / "Languages" / f"{language}.ini", "TFormMain", "sRed")


class LanguageTest(unittest.TestCase):
    def test_without_language_files_it_says_so_and_ends_before_any_window(self):
        with Program(languages=False) as program:
            # Counts main windows for the whole run: none may ever exist.
            with MainWindowWatch(30000) as watch:
                program.start()
                self.assertEqual(program.message_box(), MISSING_LANGUAGE_FILE)
                self.assertTrue(program.press_ok())
                self.assertEqual(program.wait_exit(timeout=30), 0)
                self.assertTrue(watch.running(), "the run outlasted the watch")
                self.assertEqual(watch.most(), 0, "a main window existed during the run")
            self.assertFalse(program.ini_path.exists(), "the settings file was written")

    def test_a_single_language_file_is_used_whatever_the_system_language(self):
        # English system locale, yet Czech is the only language installed.
        with Program(languages=["Czech"], env={"LANG": "en_US.UTF-8", "LC_ALL": "en_US.UTF-8"}) as program:
            program.start()
            self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
            self.assertEqual(program.control("SBColorComponent1"), red_label("Czech"))
            self.assertTrue(program.close_main_window())
            self.assertEqual(program.wait_exit(), 0)
            self.assertEqual(program.read_ini()["Settings"]["Language"], "Czech")

    def test_the_system_locale_chooses_among_installed_languages(self):
        # Wine takes the user's locale and display language from LANG and
        # LC_ALL; the locales come from Debian's locales-all.
        for locale, expected in (("cs_CZ.UTF-8", "Czech"), ("en_US.UTF-8", "English")):
            with self.subTest(locale=locale), \
                    Program(languages=["English", "Czech"], env={"LANG": locale, "LC_ALL": locale}) as program:
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                self.assertEqual(program.control("SBColorComponent1"), red_label(expected))
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)

    def test_the_title_is_the_same_in_every_language(self):
        # The second instance finds the first by this title, so it must not
        # be translated.
        languages = shipped_languages()
        self.assertGreaterEqual(len(languages), 2)
        for language in languages:
            with self.subTest(language=language), \
                    Program(ini_text=f"[Settings]\nLanguage={language}\n") as program:
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                # The stored language is really the active one ...
                self.assertEqual(program.control("SBColorComponent1"), red_label(language))
                # ... and the title stays.
                self.assertEqual(program.probe("text", MAIN_CLASS, MAIN_TITLE), (0, MAIN_TITLE))
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
