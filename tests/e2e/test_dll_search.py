"""DLLs come from System32 only: a DLL planted beside the program under the
name of a system DLL is never loaded."""
import shutil
import subprocess
import unittest

from harness import PROBE, ProgramTestCase, Program, MAIN_CLASS, MAIN_TITLE, wait_for

# Built with the probe: notes "<its path>.loaded" beside itself when loaded.
PLANTED = PROBE.parent / "VeskPlantedDll.dll"


class DllSearchTest(ProgramTestCase):
    def test_system_dlls_planted_beside_the_program_are_not_loaded(self):
        # The dark title bar calls dwmapi when the main window is made, the
        # hints' look calls uxtheme once the pointer reaches a control with a
        # hint. Neither is one of Windows' known DLLs: as imports, or loaded
        # by name without the DLL search set to System32, they would be taken
        # from the program's folder, and Wine does the same. The note file shows
        # a planted DLL's code ran; the module's path shows which copy the
        # program uses.
        dlls = ("dwmapi.dll", "uxtheme.dll")
        with Program() as program:
            for dll in dlls:
                shutil.copy2(PLANTED, program.folder / dll)
            self.start(program)
            # The hints come once the pointer reaches a control that has
            # one: it crosses the whole window.
            left, top, right, bottom = program.window_rect()
            for row in range(1, 8):
                for column in range(1, 12):
                    x, y = left + (right - left) * column // 12, top + (bottom - top) * row // 8
                    subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True, timeout=30)

            def loaded():
                code, paths = program.probe("modules", MAIN_CLASS, MAIN_TITLE, *dlls)
                return paths.splitlines() if code == 0 else []

            self.assertTrue(wait_for(lambda: "-" not in loaded() and len(loaded()) == len(dlls), timeout=10),
                            f"not both loaded: {loaded()}")
            for dll, path in zip(dlls, loaded()):
                with self.subTest(dll=dll):
                    self.assertEqual(path.lower(), f"c:\\windows\\system32\\{dll}")
            self.close(program)
            self.assertEqual(sorted(path.name for path in program.folder.glob("*.loaded")), [])


if __name__ == "__main__":
    unittest.main()
