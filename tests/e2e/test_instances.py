"""One program at a time, unless the user allows more; and the colour depth
warning, which needs a screen of its own."""
import unittest

from harness import (DIST, MAIN_CLASS, MAIN_TITLE, BackgroundProbe, MainWindowWatch, Program, SeparateWine,
                     language_text, probe, wait_for)


class SingleInstanceTest(unittest.TestCase):
    def start_first(self, program):
        program.start()
        self.assertIsNotNone(program.wait_for_main_window(), "the first instance's window did not appear")

    def start_second_and_watch(self, program):
        """Starts another process from the same folder while counting main
        windows; returns (its exit code, the most main windows seen)."""
        with MainWindowWatch(30000, env=program.env) as watch:
            second = program.start_again()
            code = second.wait(timeout=30)
            self.assertTrue(watch.running(), "the second process outlasted the watch")
            return code, watch.most()

    def test_a_second_start_restores_the_minimized_first_and_ends(self):
        with Program() as program:
            self.start_first(program)
            program.probe("minimize", MAIN_CLASS, MAIN_TITLE)
            self.assertTrue(wait_for(lambda: program.state()["iconic"]), "the window did not minimize")
            # Another program's window is in front; Wine reports the
            # foreground window of its desktop, so the hand-over shows.
            with BackgroundProbe("cover", 15000, env=program.env) as cover:
                self.assertTrue(cover.wait_for_line("shown"), "the cover window did not come to the front")
                self.assertFalse(program.state()["foreground"])

                self.assertEqual(self.start_second_and_watch(program), (0, 1))
                self.assertTrue(wait_for(lambda: not program.state()["iconic"]), "the first window stayed minimized")
                self.assertTrue(wait_for(lambda: program.state()["foreground"]),
                                "the first window did not come to the front")
                self.assertTrue(program.state()["visible"])
            # Only the first instance writes settings, and only at its end.
            self.assertFalse(program.ini_path.exists(), "the second instance wrote the settings file")

            self.assertTrue(program.close_main_window())
            self.assertEqual(program.wait_exit(), 0)

    def test_a_second_start_brings_the_first_to_the_front(self):
        # Visible but behind another window: it only comes to the front.
        with Program() as program:
            self.start_first(program)
            with BackgroundProbe("cover", 15000, env=program.env) as cover:
                self.assertTrue(cover.wait_for_line("shown"), "the cover window did not come to the front")
                self.assertFalse(program.state()["foreground"])

                self.assertEqual(self.start_second_and_watch(program), (0, 1))
                self.assertTrue(wait_for(lambda: program.state()["foreground"]),
                                "the first window did not come to the front")
                self.assertFalse(program.state()["iconic"])
            self.assertTrue(program.close_main_window())
            self.assertEqual(program.wait_exit(), 0)

    def test_allowed_multiple_instances_run_side_by_side(self):
        with Program(ini_text="[Settings]\nAllowMultipleInstances=1\n") as program:
            self.start_first(program)
            second = program.start_again()
            self.assertTrue(wait_for(lambda: program.probe("count", MAIN_CLASS, MAIN_TITLE)[1] == "2", timeout=30),
                            "the second window did not appear")
            # Closing one leaves the other running.
            self.assertTrue(program.close_main_window())
            self.assertTrue(wait_for(lambda: program.probe("count", MAIN_CLASS, MAIN_TITLE)[1] == "1", timeout=30))
            self.assertTrue(wait_for(lambda: sum(p.poll() is not None for p in (program.process, second)) == 1,
                                     timeout=30), "exactly one of the two processes should have ended")
            self.assertTrue(program.close_main_window())
            self.assertEqual(program.wait_exit(), 0)
            self.assertEqual(second.wait(timeout=30), 0)

    def test_a_killed_instance_does_not_block_the_next_start(self):
        with Program() as program:
            self.start_first(program)
            # TerminateProcess: the mutex is left abandoned, not released.
            self.assertEqual(program.probe("kill", MAIN_CLASS, MAIN_TITLE)[0], 0)
            self.assertEqual(program.wait_exit(), 1)
            self.assertFalse(program.ini_path.exists(), "a killed instance cannot have saved")

            program.start()
            self.assertIsNotNone(program.wait_for_main_window(), "the next start showed no window")
            self.assertTrue(program.close_main_window())
            self.assertEqual(program.wait_exit(), 0)
            self.assertTrue(program.ini_path.exists(), "the next start did not run to its normal end")


class ScreenColorDepthTest(unittest.TestCase):
    def test_a_16_bit_screen_gets_one_warning_before_the_window_shows(self):
        with SeparateWine(depth=16) as wine:
            self.assertEqual(probe("bpp", env=wine.env), (0, "16"))
            with Program(ini_text="[Settings]\nLanguage=Czech\n", env=wine.env) as program:
                program.start()
                expected = language_text(DIST / "Languages" / "Czech.ini", "TFormMain", "sLowScreenColorDepth") + "."
                self.assertEqual(program.message_box(timeout_ms=60000), expected)
                # The window exists but is not shown while the warning is up.
                self.assertIsNone(program.wait_for_main_window(timeout_ms=500))

                self.assertTrue(program.press_ok())
                self.assertIsNotNone(program.wait_for_main_window(), "the window did not appear after the warning")
                self.assertIsNone(program.message_box(timeout_ms=1500), "the warning came again")
                self.assertEqual(program.control("SBColorComponent1"),
                                 language_text(DIST / "Languages" / "Czech.ini", "TFormMain", "sRed"))
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
