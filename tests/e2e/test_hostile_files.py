"""Files that a broken disk, another program or a careless user may leave
beside the program: settings files that are huge, hold NUL bytes or a
hundred thousand sections, are UTF-16 text, read-only, a folder or just under
the size the program reads; language files that are garbage, empty, huge or
named like devices; a Languages that is a file. In every
case the program starts, or says why not and ends with exit code 0; it never
hangs (every wait has a time-out); and it never rewrites a file it could not
read: the bytes of every such file are the same after the run, also after a
normal close, which saves the settings. Large files are made at test time in
the program's temporary folder."""
import ctypes
import hashlib
import os
import random
import struct
import unittest
from dataclasses import dataclass, field
from pathlib import Path

from harness import DIST, MainWindowWatch, Program, language_text, windows_path
from test_languages import MISSING_LANGUAGE_FILE

# An English system: the 8-bit code page (1252) and the default language
# are then the same on every machine.
ENGLISH = {"LANG": "en_US.UTF-8", "LC_ALL": "en_US.UTF-8"}
RED, GRAY = "#ff0000", "#808080"
MB = 1024 * 1024


def mismatch(file_name, language_id):
    return ("Language File Name and its [.ini]FileInfo.Id key mismatch:\r\n\r\n"
            f"File Name = {file_name}\r\n[.ini]FileInfo.Id = {language_id}")


def unable_to_write(program):
    return f"Unable to write to {windows_path(program.ini_path)}"


def garbage(size, seed):
    """Random bytes that do not begin with a byte-order mark."""
    data = random.Random(seed).randbytes(size)
    return b"x" + data[1:] if data[:2] in (b"\xff\xfe", b"\xfe\xff") or data[:3] == b"\xef\xbb\xbf" else data


def sparse_file(path, head, size):
    """HEAD followed by zeros up to SIZE bytes, taking no disk space."""
    with open(path, "wb") as file:
        file.write(head)
        file.truncate(size)


def file_digests(folder):
    """{relative path: SHA-256} of every file under FOLDER but the program."""
    digests = {}
    for path in sorted(folder.rglob("*")):
        if path.is_file() and path.name != "VeskColorPicker.exe":
            digest = hashlib.sha256()
            with open(path, "rb") as file:
                for block in iter(lambda: file.read(MB), b""):
                    digest.update(block)
            digests[str(path.relative_to(folder))] = digest.hexdigest()
    return digests


class FileChanges:
    """What happens to one file name in a folder, seen from outside through
    Linux inotify: how often a new file is moved onto the name (the way the
    program replaces its settings file) and how often the file is written in
    place."""

    IN_MODIFY, IN_MOVED_TO = 0x2, 0x80

    def __init__(self, folder, name):
        self._libc = ctypes.CDLL(None, use_errno=True)
        self._name = name.encode()
        self._fd = self._libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        if self._fd < 0 or self._libc.inotify_add_watch(self._fd, str(folder).encode(),
                                                         self.IN_MODIFY | self.IN_MOVED_TO) < 0:
            raise OSError(ctypes.get_errno(), "inotify")
        self.replaced = 0
        self.written_in_place = 0

    def read(self):
        """Takes in the events so far; returns self."""
        while True:
            try:
                data = os.read(self._fd, 65536)
            except BlockingIOError:
                return self
            offset = 0
            while offset < len(data):
                _, mask, _, length = struct.unpack_from("iIII", data, offset)
                name = data[offset + 16:offset + 16 + length].rstrip(b"\0")
                offset += 16 + length
                if name == self._name:
                    self.replaced += bool(mask & self.IN_MOVED_TO)
                    self.written_in_place += bool(mask & self.IN_MODIFY)

    def close(self):
        os.close(self._fd)


@dataclass
class Expected:
    """What a row's files make the program do."""
    boxes: list = field(default_factory=list)  # message boxes at start, in order, each closed with OK
    window: bool = True  # the main window comes; otherwise the program ends after the boxes
    code: str = None  # the primary color's code shown: whether the settings were read
    red_label: str = None  # the first component's label: which language is active
    close_boxes: list = field(default_factory=list)  # message boxes after the close request
    # When the row saves: byte blocks of others that the saved settings file
    # holds unchanged, and values it holds (read back through DECODE, the
    # file's encoding).
    kept: list = field(default_factory=list)
    values: dict = field(default_factory=dict)
    decode: object = None


def settings_values(text, section="Settings"):
    """{key: value} of the first section of that name, as the program reads it."""
    values, current, seen = {}, None, set()
    for line in text.replace("\r\n", "\n").replace("\r", "\n").split("\n"):
        line = line.strip(" \t")
        if line.startswith("[") and "]" in line:
            name = line[1:line.index("]")].strip().lower()
            current = name if name not in seen else None
            seen.add(name)
        elif current == section.lower() and "=" in line:
            key, value = line.split("=", 1)
            values.setdefault(key.strip().lower(), value.strip())
    return values


# --- The rows: each lays out its files in the program's folder and says
# --- what the program does with them.

def fifty_megabytes(program):
    # Many keys of others, and one line of 20 MB, before the program's own
    # section at the very end.
    keys = b"".join(b"Key%07d=a value of another program, kept as it is\r\n" % i for i in range(600000))
    others = b"[Someone else]\r\n" + keys + b"[One line]\r\nValue=" + b"v" * (20 * MB) + b"\r\n"
    program.ini_path.write_bytes(others + b"[Settings]\r\nLastColor=255\r\n")
    if program.ini_path.stat().st_size <= 50 * MB:
        raise AssertionError("the file came out smaller than 50 MB")
    return Expected(code=RED, kept=[others], values={"lastcolor": "255", "twocolormode": "0"})


def nul_bytes(program):
    others = (b"[Bin\0ary]\r\nKey=\0value\0\r\n\0=1\r\n\0\0\0\r\n"
              b"[Settings2]\r\nLastColor2=16\0\r\n[Tail]\r\nEnd=\0")
    program.ini_path.write_bytes(b"[Settings]\r\nLastColor=255\r\nJunk=\0\r\n" + others)
    return Expected(code=RED, kept=[others, b"Junk=\0\r\n"], values={"lastcolor": "255"})


def hundred_thousand_sections(program):
    # Later sections named like the program's own are never read, nor
    # touched: the first [Settings] is the program's.
    sections = []
    for i in range(100000):
        if i % 997 == 0:
            sections.append(b"[settings]\r\nLastColor=65280\r\nTwoColorMode=1\r\n")
        else:
            sections.append(b"[Section %d]\r\nKey=%d\r\n\r\n" % (i, i))
    others = b"".join(sections)
    program.ini_path.write_bytes(b"[Settings]\r\nLastColor=255\r\n" + others)
    return Expected(code=RED, kept=[others], values={"lastcolor": "255", "twocolormode": "0"})


def utf16_text(program):
    others = "[Poznámky]\r\nText=Čeština 🎨\r\n"
    text = "[Settings]\r\nLanguage=Czech\r\nLastColor=255\r\n" + others
    program.ini_path.write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))

    def decode(data):
        if not data.startswith(b"\xff\xfe"):
            raise AssertionError("the settings file is no longer UTF-16 with its mark")
        return data[2:].decode("utf-16-le")

    return Expected(code=RED, red_label=language_text(DIST / "Languages" / "Czech.ini", "TFormMain", "sRed"),
                    kept=[others.encode("utf-16-le")], values={"lastcolor": "255", "language": "Czech"},
                    decode=decode)


def read_only(program):
    program.ini_path.write_bytes(b"[Settings]\r\nLastColor=255\r\n[Other]\r\nKept=1\r\n")
    program.ini_path.chmod(0o444)  # no write bit on the Linux side: a read-only file in Wine
    return Expected(code=RED, close_boxes=[unable_to_write(program)])


def folder_in_its_place(program):
    program.ini_path.mkdir()
    (program.ini_path / "inside.txt").write_bytes(b"[Settings]\r\nLastColor=255\r\n")
    return Expected(code=GRAY, close_boxes=[unable_to_write(program)])


def two_hundred_megabytes(program):
    # Over the size a settings file may have: not read, never rewritten.
    sparse_file(program.ini_path, b"[Settings]\r\nLastColor=255\r\n", 200 * MB)
    return Expected(code=GRAY, close_boxes=[unable_to_write(program)])


def just_under_the_read_limit(program):
    # Read, but a save would take it over the limit the reader keeps: the
    # save is refused, so the next start still has every setting.
    sparse_file(program.ini_path, b"[Settings]\r\nLastColor=255\r\n[Other]\r\nValue=", 67108800)
    return Expected(code=RED, close_boxes=[unable_to_write(program)])


def device_named_language_files(program):
    # Windows takes these names for a serial port and the auxiliary device:
    # they are never opened, and said to be no files.
    boxes = []
    for name in ("AUX.ini", "COM1.ini"):
        path = program.folder / "Languages" / name
        path.write_bytes(b"[FileInfo]\r\nId=" + name[:-4].encode() + b"\r\n")
        boxes.append(f'Error while loading language file.\r\n"{windows_path(path)}" is not a file.')
    return Expected(boxes=boxes, red_label=language_text(DIST / "Languages" / "English.ini", "TFormMain", "sRed"))


def garbage_language_files(program):
    # Beside the shipped languages. Without a mark the bytes are 8-bit text
    # that holds no identity; behind a UTF-8 mark they cannot be decoded.
    (program.folder / "Languages" / "Garbage.ini").write_bytes(garbage(65536, 1))
    noise = program.folder / "Languages" / "Noise.ini"
    noise.write_bytes(b"\xef\xbb\xbf" + garbage(65536, 2))
    return Expected(boxes=[mismatch("Garbage.ini", "[undefined]"),
                           "Error while loading language file.\r\n"
                           f'Cannot decode "{windows_path(noise)}": invalid UTF-8 text.'],
                    red_label=language_text(DIST / "Languages" / "English.ini", "TFormMain", "sRed"))


def only_empty_and_garbage_languages(program):
    (program.folder / "Languages" / "Czech.ini").write_bytes(garbage(4096, 3))
    (program.folder / "Languages" / "English.ini").write_bytes(b"")
    return Expected(boxes=[mismatch("Czech.ini", "[undefined]"), mismatch("English.ini", "[undefined]"),
                           MISSING_LANGUAGE_FILE], window=False)


def huge_language_files(program):
    # English padded to 30 MB, within the size a language file may have, is
    # the language in use; German over that size is refused.
    english = program.folder / "Languages" / "English.ini"
    padding = b"".join(b"Key%07d=a text that no window asks for\r\n" % i for i in range(800000))
    english.write_bytes(english.read_bytes() + b"\r\n[Padding]\r\n" + padding[:30 * MB])
    german = program.folder / "Languages" / "German.ini"
    sparse_file(german, german.read_bytes(), 40 * MB)
    program.ini_path.write_bytes(b"[Settings]\r\nLanguage=English\r\n")
    return Expected(boxes=["Error while loading language file.\r\n"
                           f'"{windows_path(german)}" is too large for a language file.'],
                    red_label=language_text(DIST / "Languages" / "English.ini", "TFormMain", "sRed"))


def languages_is_a_file(program):
    (program.folder / "Languages").write_bytes(b"[FileInfo]\r\nId=English\r\n")
    return Expected(boxes=[MISSING_LANGUAGE_FILE], window=False)


ROWS = [
    ("a 50 MB settings file", True, ["English"], fifty_megabytes),
    ("a settings file with NUL bytes", True, ["English"], nul_bytes),
    ("a settings file with 100,000 sections", True, ["English"], hundred_thousand_sections),
    ("a settings file in UTF-16", True, ["English", "Czech"], utf16_text),
    ("a read-only settings file", False, ["English"], read_only),
    ("a folder named like the settings file", False, ["English"], folder_in_its_place),
    ("a settings file of 200 MB", False, ["English"], two_hundred_megabytes),
    ("a settings file just under the read limit", False, ["English"], just_under_the_read_limit),
    ("language files named like devices", True, ["English"], device_named_language_files),
    ("language files of garbage", True, True, garbage_language_files),
    ("only empty and garbage language files", False, ["English"], only_empty_and_garbage_languages),
    ("language files of 30 and 40 MB", True, True, huge_language_files),
    ("Languages is a file", False, False, languages_is_a_file),
]


class HostileFilesTest(unittest.TestCase):
    def test_the_program_starts_or_says_why_not_and_rewrites_no_file_it_could_not_read(self):
        for name, saves, languages, make in ROWS:
            with self.subTest(name), Program(languages=languages, env=ENGLISH) as program:
                self.run_row(program, make(program), saves)

    def run_row(self, program, expected, saves):
        before = file_digests(program.folder)
        settings_existed = program.ini_path.exists()
        changes = FileChanges(program.folder, program.ini_path.name)
        try:
            with MainWindowWatch(180000, env=program.env) as watch:
                program.start()
                for text in expected.boxes:
                    self.assertEqual(program.message_box(timeout_ms=60000), text)
                    self.assertTrue(program.press_ok())
                if expected.window:
                    self.assertIsNotNone(program.wait_for_main_window(timeout_ms=60000),
                                         "the main window did not appear")
                    if expected.code:
                        self.assertEqual(program.control("LColorCode"), expected.code)
                    if expected.red_label:
                        self.assertEqual(program.control("SBColorComponent1"), expected.red_label)
                    self.assertTrue(program.close_main_window())
                    for text in expected.close_boxes:
                        self.assertEqual(program.message_box(timeout_ms=60000), text)
                        self.assertTrue(program.press_ok())
                self.assertEqual(program.wait_exit(timeout=60), 0)
                self.assertTrue(watch.running(), "the run outlasted the window count")
                self.assertEqual(watch.most(), 1 if expected.window else 0)
            changes.read()
        finally:
            changes.close()

        after = file_digests(program.folder)
        settings = str(program.ini_path.relative_to(program.folder))
        if saves:
            # One save at the close: one new file moved onto the old one.
            self.assertEqual((changes.replaced, changes.written_in_place), (1, 0))
            data = program.ini_path.read_bytes()
            for block in expected.kept:
                self.assertIn(block, data, "a part the program does not know was changed")
            saved = settings_values(expected.decode(data) if expected.decode else data.decode("latin-1"))
            self.assertEqual({key: saved.get(key) for key in expected.values}, expected.values)
            before.pop(settings, None)
            after.pop(settings, None)
        else:
            self.assertEqual((changes.replaced, changes.written_in_place), (0, 0))
            if not settings_existed:
                self.assertFalse(program.ini_path.exists(), "a settings file was written")
        # Every other file, language files included, is as it was.
        self.assertEqual(after, before)


if __name__ == "__main__":
    unittest.main()
