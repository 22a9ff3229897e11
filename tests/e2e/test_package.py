"""The release package as a user gets it: checked against its SHA-256 file,
unpacked into a fresh folder, and the program started from there."""
import hashlib
import os
import shutil
import tempfile
import unittest
import zipfile
from pathlib import Path

from harness import MAIN_CLASS, MAIN_TITLE, Program

PACKAGES = Path(os.environ.get("VESK_PACKAGES", "build")).resolve()


class PackageTest(unittest.TestCase):
    def test_the_unpacked_package_runs(self):
        packages = sorted(PACKAGES.glob("VeskColorPicker-*-win64.zip"))
        self.assertEqual(len(packages), 1, f"expected one package in {PACKAGES}, found {packages}")
        package = packages[0]
        digest, name = Path(f"{package}.sha256").read_text().split()
        self.assertEqual(name, package.name)
        self.assertEqual(digest, hashlib.sha256(package.read_bytes()).hexdigest())

        with zipfile.ZipFile(package) as archive:
            names = set(archive.namelist())
            for expected in ("VeskColorPicker.exe", "License.txt", "ReadMe.txt", "Languages/English.ini",
                             "Languages/Czech.ini", "Languages/German.ini", "Languages/Slovak.ini"):
                self.assertIn(f"VeskColorPicker/{expected}", names)
            with Program(languages=False) as program:
                for entry in program.folder.iterdir():
                    shutil.rmtree(entry) if entry.is_dir() else entry.unlink()
                unpacked = Path(tempfile.mkdtemp(prefix="vesk-package-"))
                try:
                    archive.extractall(unpacked)
                    for entry in (unpacked / "VeskColorPicker").iterdir():
                        shutil.move(str(entry), program.folder)
                finally:
                    shutil.rmtree(unpacked)
                program.start()
                self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")
                self.assertEqual(program.probe("text", MAIN_CLASS, MAIN_TITLE), (0, MAIN_TITLE))
                self.assertEqual(program.control("SBColorComponent1"), "Red")
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
