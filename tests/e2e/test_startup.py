import unittest

from harness import Program, probe, screenshot, MAIN_CLASS, MAIN_TITLE


class StartUpTest(unittest.TestCase):
    def test_shows_its_window_and_ends_with_exit_code_0_when_closed(self):
        with Program() as program:
            program.start()
            self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
            code, title = probe("text", MAIN_CLASS, MAIN_TITLE)
            self.assertEqual((code, title), (0, MAIN_TITLE))
            screenshot("startup-main-window")
            self.assertTrue(program.close_main_window())
            self.assertEqual(program.wait_exit(timeout=30), 0)
            # The window is gone with the process.
            self.assertEqual(probe("text", MAIN_CLASS, MAIN_TITLE)[0], 1)


if __name__ == "__main__":
    unittest.main()
