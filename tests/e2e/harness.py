"""Runs the real VeskColorPicker.exe under Wine from a fresh folder and looks
at it from outside, as a user would: through the probe exe (Win32 calls
inside Wine), xdotool, xclip and screenshots of the X display."""
import configparser
import os
import shutil
import subprocess
import tempfile
import threading
import time
import unittest
from pathlib import Path

DIST = Path(os.environ.get("VESK_DIST", "build/windows/dist")).resolve()
PROBE = Path(os.environ.get("VESK_PROBE", "build/windows/tests/VeskProbe.exe")).resolve()
RESULTS = Path(os.environ.get("VESK_RESULTS", "build/test-results")).resolve()

MAIN_CLASS = "TFormMain"
MAIN_TITLE = "Vesk Color Picker"
SETTINGS_FILE = "VeskColorPicker.ini"


def wine_env(extra=None):
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    if extra:
        env.update(extra)
    return env


# Queries and commands whose every failure the probe explains on its output:
# a failure without a word means the probe itself never ran (Wine could not
# start it on a loaded machine), so it is run once more.
_RETRIED = {"command", "rect", "client"}


def probe(*args, timeout=60, env=None):
    """Runs the probe inside Wine; returns (exit code, stdout as text)."""
    code, text = _probe_once(*args, timeout=timeout, env=env)
    if code != 0 and text == "" and args and args[0] in _RETRIED:
        code, text = _probe_once(*args, timeout=timeout, env=env)
    return code, text


def _probe_once(*args, timeout=60, env=None):
    # The output goes through a file, not a pipe: a Wine service process
    # that this probe happens to start inherits its output handle and would
    # keep a pipe open long after the probe has ended.
    with tempfile.TemporaryFile() as output:
        process = subprocess.Popen(["wine", str(PROBE), *map(str, args)], stdout=output,
                                   stderr=subprocess.DEVNULL, env=wine_env(env))
        try:
            code = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=10)
            raise
        output.seek(0)
        text = output.read().decode("utf-8", "replace")
        # Only the line break that ends the output goes: a clipboard text
        # may begin or end with blanks of its own.
        return code, text[:-1] if text.endswith("\n") else text


class BackgroundProbe:
    """The probe running beside the test, for commands that last: holdclip,
    cover, count with a watch time. Use as a context manager, so it is ended
    even when the test fails."""

    def __init__(self, *args, env=None):
        # Standard input is a pipe of ours: closing it ends a watch early.
        self.process = subprocess.Popen(["wine", str(PROBE), *map(str, args)], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=wine_env(env))
        self._lines = []
        self._changed = threading.Condition()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        for raw in self.process.stdout:
            with self._changed:
                self._lines.append(raw.decode("utf-8", "replace").strip())
                self._changed.notify_all()

    def wait_for_line(self, line, timeout=15):
        """True once the probe has printed LINE (such as "held")."""
        with self._changed:
            return self._changed.wait_for(lambda: line in self._lines, timeout=timeout)

    def running(self):
        return self.process.poll() is None

    def finish(self, timeout=60):
        """Waits for the end; returns (exit code, stdout as text)."""
        self.process.stdin.close()
        code = self.process.wait(timeout=timeout)
        self._reader.join(timeout=10)
        return code, "\n".join(self._lines)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        self.process.stdin.close()


class MainWindowWatch(BackgroundProbe):
    """Counts main windows (shown or not) from the moment the constructor
    returns until most() is called (or MS milliseconds have passed); most()
    is the largest number seen."""

    def __init__(self, ms, env=None):
        super().__init__("count", MAIN_CLASS, MAIN_TITLE, ms, env=env)
        if not self.wait_for_line("watching"):
            self.__exit__()
            raise RuntimeError("the window count did not start")

    def most(self):
        code, text = self.finish()
        if code != 0:
            raise RuntimeError(f"the window count failed (exit code {code})")
        return int(text.split()[-1])


def windows_path(path):
    """PATH as the program under Wine sees it (Z:\\...)."""
    return subprocess.run(["winepath", "-w", str(path)], capture_output=True, text=True, check=True,
                          timeout=60).stdout.strip()


def wait_for(condition, timeout=10, interval=0.1):
    """Polls CONDITION until it returns something true; returns its last
    value (falsy on time-out)."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


def screenshot(name):
    """Saves the whole X screen as RESULTS/screenshots/NAME.png."""
    folder = RESULTS / "screenshots"
    folder.mkdir(parents=True, exist_ok=True)
    target = folder / f"{name}.png"
    subprocess.run(["import", "-window", "root", str(target)], check=True, timeout=60)
    return target


def screenshot_area(name, left, top, right, bottom, settle_timeout=5, env=None):
    """Saves the screen area (a window's rectangle) as
    RESULTS/screenshots/NAME.png, cropped with ImageMagick, once two grabs in
    a row give the same picture (the window has finished painting). ENV's
    DISPLAY, when given, names the screen."""
    display = ["-display", env["DISPLAY"]] if env and "DISPLAY" in env else []
    folder = RESULTS / "screenshots"
    folder.mkdir(parents=True, exist_ok=True)
    target = folder / f"{name}.png"
    geometry = f"{right - left}x{bottom - top}+{left}+{top}"
    previous = None
    deadline = time.monotonic() + settle_timeout
    while True:
        # Cropped as it is grabbed: one program, and only the area encoded.
        picture = subprocess.run(["import", *display, "-window", "root", "-crop", geometry, "+repage", "png:-"],
                                 capture_output=True, check=True, timeout=60).stdout
        if picture == previous or time.monotonic() >= deadline:
            break
        previous = picture
        time.sleep(0.2)
    target.write_bytes(picture)
    return target


def language_text(language_file, section, key):
    """A text of a shipped language file, looked up the way the program
    does: first section and first key of the name (letter case ignored),
    "\\n" as CR LF, trimmed; "[undefined]" when absent."""
    wanted_section, wanted_key = section.upper(), key.upper()
    current = None
    for line in Path(language_file).read_text(encoding="utf-8-sig").splitlines():
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            if current == wanted_section:
                break  # only the first section of the name counts
            current = line[1:-1].strip().upper()
            continue
        if current == wanted_section and "=" in line:
            name, value = line.split("=", 1)
            if name.strip().upper() == wanted_key:
                return value.strip().replace("\\n", "\r\n").strip()
    return "[undefined]"


def shipped_languages():
    """The Ids of the language files that ship, from their file names."""
    return sorted(path.stem for path in (DIST / "Languages").glob("*.ini"))


class ProgramTestCase(unittest.TestCase):
    """A test that starts the program and expects a normal end."""

    def start(self, program):
        program.start()
        self.assertIsNotNone(program.wait_for_main_window(), "the main window did not appear")

    def close(self, program):
        self.assertTrue(program.close_main_window())
        self.assertEqual(program.wait_exit(), 0)


class Program:
    """One run of the program from its own temporary folder, laid out as the
    program ships: the exe, Languages\\ and License.txt, plus an optional
    settings file. LANGUAGES is True for every shipped language file, False
    for no Languages folder at all, or a list of Ids to install only those.
    ENV adds to (or overrides) the environment of the program and of the
    probes run through this object."""

    def __init__(self, ini_text=None, languages=True, env=None, folder=None):
        # FOLDER: an empty folder of the caller's to lay the program out in.
        self.folder = Path(folder) if folder else Path(tempfile.mkdtemp(prefix="vesk-e2e-"))
        shutil.copy2(DIST / "VeskColorPicker.exe", self.folder)
        if (DIST / "License.txt").exists():
            shutil.copy2(DIST / "License.txt", self.folder)
        if languages is True:
            shutil.copytree(DIST / "Languages", self.folder / "Languages")
        elif languages:
            (self.folder / "Languages").mkdir()
            for language in languages:
                shutil.copy2(DIST / "Languages" / f"{language}.ini", self.folder / "Languages")
        if ini_text is not None:
            self.ini_path.write_text(ini_text, encoding="utf-8")
        self.env = env
        self.process = None
        self.processes = []

    @property
    def ini_path(self):
        return self.folder / SETTINGS_FILE

    def read_ini(self):
        """The settings file as the program left it (section and key names
        without regard to letter case, as the program reads them)."""
        parser = configparser.ConfigParser(interpolation=None, strict=False)
        parser.read_string(self.ini_path.read_text(encoding="utf-8-sig", errors="replace"))
        return parser

    def start(self):
        self.process = self.start_again()
        return self

    def start_again(self):
        """Starts one more process of the program from the same folder;
        returns its Popen (ended by cleanup like the first)."""
        process = subprocess.Popen(["wine", str(self.folder / "VeskColorPicker.exe")],
                                   cwd=self.folder, env=wine_env(self.env),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def probe(self, *args, **kwargs):
        return probe(*args, env=self.env, **kwargs)

    def wait_for_main_window(self, timeout_ms=30000):
        code, handle = self.probe("wait", MAIN_CLASS, MAIN_TITLE, timeout_ms, timeout=timeout_ms / 1000 + 30)
        return handle if code == 0 else None

    def close_main_window(self):
        code, _ = self.probe("close", MAIN_CLASS, MAIN_TITLE)
        return code == 0

    def wait_exit(self, timeout=30):
        return self.process.wait(timeout=timeout)

    # The main window as the probe sees it.

    def control(self, name):
        """The text of a control of the main window (None when not there)."""
        code, text = self.probe("control", MAIN_CLASS, MAIN_TITLE, name)
        return text if code == 0 else None

    def visible(self, name):
        code, text = self.probe("visible", MAIN_CLASS, MAIN_TITLE, name)
        return code == 0 and text == "1"

    def command(self, name):
        """Runs a menu command and returns once the program has handled it."""
        code, text = self.probe("command", MAIN_CLASS, MAIN_TITLE, name)
        if code != 0:
            raise AssertionError(f"command {name} could not be sent (probe exit code {code}{': ' + text if text else ''})")

    def set_scroll(self, name, position):
        code, _ = self.probe("setscroll", MAIN_CLASS, MAIN_TITLE, name, position)
        if code != 0:
            raise AssertionError(f"setscroll {name} failed (probe exit code {code})")

    def client_size(self):
        code, text = self.probe("client", MAIN_CLASS, MAIN_TITLE)
        return tuple(map(int, text.split())) if code == 0 else None

    def window_rect(self):
        code, text = self.probe("rect", MAIN_CLASS, MAIN_TITLE)
        return tuple(map(int, text.split())) if code == 0 else None

    def state(self):
        """{"iconic", "visible", "foreground", "topmost"} -> bool."""
        code, text = self.probe("state", MAIN_CLASS, MAIN_TITLE)
        if code != 0:
            return None
        return dict(zip(("iconic", "visible", "foreground", "topmost"), (part == "1" for part in text.split())))

    def component_values(self):
        """The texts of the visible component edit boxes, top to bottom."""
        names = [f"EColorComponent{row}" for row in range(1, 5)]
        return [self.control(name) for name in names if self.visible(name)]

    def message_box(self, timeout_ms=10000):
        """The text of the program's message box, or None when none comes."""
        code, text = self.probe("box", MAIN_TITLE, timeout_ms, timeout=timeout_ms / 1000 + 30)
        return text if code == 0 else None

    def press_ok(self):
        code, _ = self.probe("press", MAIN_TITLE, 1)
        return code == 0

    def kill(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait(timeout=10)

    def cleanup(self):
        self.kill()
        if self.ini_path.exists():
            self.ini_path.chmod(0o644)
        shutil.rmtree(self.folder, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.cleanup()


def _start_xvfb(depth):
    """Starts Xvfb on a free display; returns (Popen, display number)."""
    for number in range(100, 200):
        if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
            continue
        server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", f"1280x1024x{depth}", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{number}") or server.poll() is not None, timeout=10)
        if server.poll() is None and os.path.exists(f"/tmp/.X11-unix/X{number}"):
            return server, number
        # Taken by someone else in the meantime: try the next one.
        if server.poll() is None:
            server.kill()
        server.wait(timeout=10)
    raise RuntimeError("no free X display for Xvfb")


def copy_prefix(target):
    """Copies the suite's Wine prefix to TARGET, for a Wine of its own."""
    source = Path(os.environ.get("WINEPREFIX", Path.home() / ".wine")).resolve()
    subprocess.run(["cp", "-a", str(source), str(target)], check=True, timeout=300)


def start_wineserver(env):
    """Starts a persistent wineserver for ENV's prefix: without it the server
    ends as soon as one Wine process ends, and a process started in that
    moment hangs in its start-up."""
    subprocess.run(["wineserver", "-p"], env=wine_env(env), check=True, timeout=60,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def stop_wineserver(env):
    """Ends the wineserver of ENV's prefix, and with it every Wine process
    that runs in it, and waits until it has."""
    for argument in ("-k", "-w"):
        subprocess.run(["wineserver", argument], env=wine_env(env), timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class SeparateWine:
    """An X display of its own (Xvfb at the given colour depth) and a copy of
    the Wine prefix (optionally at another screen DPI), so a test can run the program on another screen without
    disturbing the wineserver and desktop of the shared prefix. ENV is the
    environment for Program(env=...) and probe(env=...)."""

    def __init__(self, depth=24, dpi=None):
        self.root = Path(tempfile.mkdtemp(prefix="vesk-e2e-wine-"))
        self.xvfb = None
        self.env = None
        try:
            prefix = self.root / "prefix"
            copy_prefix(prefix)
            self.xvfb, number = _start_xvfb(depth)
            self.env = {"DISPLAY": f":{number}", "WINEPREFIX": str(prefix)}
            if dpi:
                # The screen's DPI of the copy; read when its server starts.
                subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                                "REG_DWORD", "/d", str(dpi), "/f"], env=wine_env(self.env), timeout=120,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                stop_wineserver(self.env)
            start_wineserver(self.env)
            # The first Wine process starts the prefix's services and the
            # desktop; they should not inherit the output of a test's probe.
            subprocess.run(["wine", str(PROBE), "bpp"], env=wine_env(self.env), timeout=120,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except BaseException:
            self.close()
            raise

    def close(self):
        try:
            if self.env:
                stop_wineserver(self.env)  # the shared prefix is not touched
        finally:
            if self.xvfb and self.xvfb.poll() is None:
                self.xvfb.terminate()
                self.xvfb.wait(timeout=10)
            shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
