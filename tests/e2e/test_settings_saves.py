"""Saves of the settings file where the disk, other programs or links make
them hard: a disk without free space or free file entries, another program
reading the file, a settings file that is a link, leftovers of saves that
were cut off. Whatever happens, the file holds either its old content or the
complete new one, and what the program writes it reads again."""
import os
import re
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from harness import (MAIN_CLASS, MAIN_TITLE, BackgroundProbe, Program, ProgramTestCase, SeparateWine, wait_for,
                     windows_path)

ENGLISH = {"LANG": "en_US.UTF-8", "LC_ALL": "en_US.UTF-8"}
# The program's section, then another program's section after it: a save
# makes the file longer, so it needs space it does not have yet.
OTHERS = "[Someone else]\r\n" + "".join(f"Line{i:04d}=kept as it is\r\n" for i in range(150))
WITH_OTHERS = "[Settings]\r\nLastColor=255\r\nTwoColorMode=0\r\n\r\n" + OTHERS


def folder_names(folder):
    return sorted(path.name for path in Path(folder).iterdir())


class SmallDisk:
    """A tmpfs of SIZE with INODES file entries, mounted on a fresh folder
    (root only: the suite runs as root, as the two-monitor tests do)."""

    def __init__(self, size="1200k", inodes=40):
        self.folder = Path(tempfile.mkdtemp(prefix="vesk-e2e-disk-"))
        subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size},nr_inodes={inodes}", "tmpfs", str(self.folder)],
                       check=True, capture_output=True, timeout=30)
        self.program = self.folder / "program"
        self.program.mkdir()

    def fill(self):
        """Takes every free byte and every free file entry."""
        try:
            with open(self.folder / "filler", "wb") as filler:
                while True:
                    filler.write(b"\0" * 4096)
                    filler.flush()
        except OSError:
            pass
        entries = 0
        try:
            while True:
                (self.folder / f"entry{entries}").touch()
                entries += 1
        except OSError:
            pass

    def close(self):
        subprocess.run(["umount", "-l", str(self.folder)], capture_output=True, timeout=30)
        try:
            self.folder.rmdir()
        except OSError:
            pass


class ReadOnlyFolder:
    """FOLDER made read-only by a read-only bind mount on itself: root may
    write anywhere else, as a user may not under "Program Files"."""

    def __init__(self, folder):
        self.folder = str(folder)
        subprocess.run(["mount", "--bind", self.folder, self.folder], check=True, capture_output=True, timeout=30)
        subprocess.run(["mount", "-o", "remount,ro,bind", self.folder], check=True, capture_output=True, timeout=30)

    def close(self):
        subprocess.run(["umount", self.folder], capture_output=True, timeout=30)


class SettingsSavesTest(ProgramTestCase):
    def unable_to_write(self, program):
        return f"Unable to write to {windows_path(program.ini_path)}"

    def test_a_full_disk_without_free_entries_leaves_the_whole_old_file(self):
        disk = SmallDisk()
        try:
            with Program(WITH_OTHERS, languages=["English"], env=ENGLISH, folder=disk.program) as program:
                before = program.ini_path.read_bytes()
                disk.fill()
                self.start(program)
                self.assertEqual(program.control("LColorCode"), "#ff0000")
                self.assertTrue(program.close_main_window())
                self.assertEqual(program.message_box(timeout_ms=30000), self.unable_to_write(program))
                self.assertTrue(program.press_ok())
                self.assertEqual(program.wait_exit(), 0)
                self.assertEqual(program.ini_path.read_bytes(), before)
                self.assertEqual(folder_names(program.folder),
                                 ["Languages", "License.txt", "VeskColorPicker.exe", "VeskColorPicker.ini"])
        finally:
            disk.close()

    def test_a_save_goes_through_while_another_program_reads_the_file(self):
        with Program(WITH_OTHERS, env=ENGLISH) as program:
            self.start(program)
            with BackgroundProbe("holdfile", windows_path(program.ini_path), "rwd", 120000) as reader:
                self.assertTrue(reader.wait_for_line("held"), "the settings file could not be held open")
                program.command("MSettings_TwoColorMode")
                program.command("MSettings_SaveConfiguration")
                self.assertIsNone(program.message_box(timeout_ms=2000), "the save showed a message box")
                self.assertEqual(program.read_ini()["Settings"]["TwoColorMode"], "1")
                program.command("MSettings_TwoColorMode")
                self.assertTrue(program.close_main_window())
                self.assertIsNone(program.message_box(timeout_ms=2000), "the save at the end showed a message box")
                self.assertEqual(program.wait_exit(), 0)
                self.assertTrue(reader.running(), "the file was let go before the saves")
                self.assertEqual(reader.finish()[0], 0)
            self.assertEqual(program.read_ini()["Settings"]["TwoColorMode"], "0")
            self.assertTrue(OTHERS.encode() in program.ini_path.read_bytes(), "another program's section changed")
            self.assertEqual(folder_names(program.folder),
                             ["Languages", "License.txt", "VeskColorPicker.exe", "VeskColorPicker.ini"])

    def test_instances_closed_at_once_all_save(self):
        # Each save reads the file while the others replace it.
        instances = 6
        with Program("[Settings]\r\nAllowMultipleInstances=1\r\n\r\n" + OTHERS, env=ENGLISH) as program:
            program.start()
            for _ in range(instances - 1):
                program.start_again()
            self.assertTrue(wait_for(lambda: program.probe("count", MAIN_CLASS, MAIN_TITLE)[1] == str(instances),
                                     timeout=60), "not every instance showed its window")
            self.assertEqual(program.probe("closeall", MAIN_CLASS, MAIN_TITLE), (0, str(instances)))
            self.assertIsNone(program.message_box(timeout_ms=4000), "a save showed a message box")
            self.assertEqual([process.wait(timeout=60) for process in program.processes], [0] * instances)
            self.assertTrue(OTHERS.encode() in program.ini_path.read_bytes(), "another program's section changed")
            self.assertEqual(program.read_ini()["Settings"]["SaveConfigurationOnExit"], "1")
            # Wine's ReplaceFileW makes a file "rfXXXX.tmp" of its own first and
            # leaves it behind when a reader holds the settings file off just
            # then; Windows' own leaves nothing (and Windows 10 renames in
            # POSIX semantics before it gets that far).
            names = [name for name in folder_names(program.folder) if not re.fullmatch(r"rf[0-9a-fA-F]{1,4}\.tmp", name)]
            self.assertEqual(names, ["Languages", "License.txt", "VeskColorPicker.exe", "VeskColorPicker.ini"])

    def test_a_program_folder_that_takes_no_file_keeps_the_settings_in_the_users_folder(self):
        # A Wine of its own: what the program writes to the user's folder
        # must not reach the other tests' prefix.
        with SeparateWine() as wine, Program(env={**ENGLISH, **wine.env}) as program:
            user_files = lambda: list(Path(wine.env["WINEPREFIX"]).glob(
                "drive_c/users/*/AppData/Local/Vesk Color Picker/VeskColorPicker.ini"))
            shipped = folder_names(program.folder)
            read_only = ReadOnlyFolder(program.folder)
            try:
                self.start(program)
                program.set_scroll("SBColorComponent1", 0xAB)
                program.command("MSettings_TwoColorMode")
                self.assertTrue(program.close_main_window())
                self.assertIsNone(program.message_box(timeout_ms=3000), "the save showed a message box")
                self.assertEqual(program.wait_exit(), 0)
                self.assertEqual(len(user_files()), 1, "no settings file in the user's folder")
                self.assertTrue(b"\r\nTwoColorMode=1\r\n" in user_files()[0].read_bytes())

                # The next start reads them there.
                self.start(program)
                self.assertEqual(program.control("LColorCode"), "#ab8080")
                self.assertTrue(program.visible("LColorCode2"), "two-color mode was not kept")
                self.close(program)
            finally:
                read_only.close()
            self.assertEqual(folder_names(program.folder), shipped, "something was written beside the program")

    def test_links_stay_links_and_the_file_behind_them_is_saved(self):
        for kind in ("symbolic", "hard"):
            with self.subTest(kind), Program(env=ENGLISH) as program, \
                    tempfile.TemporaryDirectory(prefix="vesk-e2e-elsewhere-") as elsewhere:
                target = Path(elsewhere) / "Settings.ini"
                target.write_bytes(WITH_OTHERS.encode())
                if kind == "symbolic":
                    program.ini_path.symlink_to(target)
                else:
                    os.link(target, program.ini_path)
                self.start(program)
                self.assertEqual(program.control("LColorCode"), "#ff0000")
                program.command("MSettings_TwoColorMode")
                self.close(program)

                if kind == "symbolic":
                    self.assertTrue(program.ini_path.is_symlink(), "the link was replaced by a file")
                    self.assertEqual(os.readlink(program.ini_path), str(target))
                else:
                    self.assertEqual(program.ini_path.stat().st_ino, target.stat().st_ino,
                                     "the hard link was split")
                    self.assertEqual(target.stat().st_nlink, 2)
                data = target.read_bytes()
                self.assertTrue(b"\r\nTwoColorMode=1\r\n" in data, "the setting did not reach the file behind the link")
                self.assertTrue(OTHERS.encode() in data, "another program's section changed")
                self.assertEqual(folder_names(elsewhere), ["Settings.ini"])
                self.assertEqual(folder_names(program.folder),
                                 ["Languages", "License.txt", "VeskColorPicker.exe", "VeskColorPicker.ini"])

    def test_temporary_files_of_saves_cut_off_long_ago_are_removed(self):
        with Program(WITH_OTHERS, env=ENGLISH) as program:
            stale = program.folder / "VeskColorPicker.ini.0f1e2d3c4b5a6978.tmp"
            recent = program.folder / "VeskColorPicker.ini.00112233445566ff.tmp"
            other = program.folder / "Notes.ini.0f1e2d3c4b5a6978.tmp"
            for path in (stale, recent, other):
                path.write_bytes(WITH_OTHERS.encode()[:1000])
            day_ago = time.time() - 86400
            for path in (stale, other):
                os.utime(path, (day_ago, day_ago))
            self.start(program)
            self.close(program)
            self.assertEqual(folder_names(program.folder),
                             ["Languages", "License.txt", "Notes.ini.0f1e2d3c4b5a6978.tmp", "VeskColorPicker.exe",
                              "VeskColorPicker.ini", "VeskColorPicker.ini.00112233445566ff.tmp"])


if __name__ == "__main__":
    unittest.main()
