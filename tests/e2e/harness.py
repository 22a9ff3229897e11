"""Runs the real VeskColorPicker.exe under Wine from a fresh folder and looks
at it from outside, as a user would: through the probe exe (Win32 calls
inside Wine), xdotool, xclip and screenshots of the X display."""
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

DIST = Path(os.environ.get("VESK_DIST", "build/windows/dist")).resolve()
PROBE = Path(os.environ.get("VESK_PROBE", "build/windows/tests/VeskProbe.exe")).resolve()
RESULTS = Path(os.environ.get("VESK_RESULTS", "build/test-results")).resolve()

MAIN_CLASS = "TFormMain"
MAIN_TITLE = "Vesk Color Picker"


def wine_env(extra=None):
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=")
    if extra:
        env.update(extra)
    return env


def probe(*args, timeout=60, env=None):
    """Runs the probe inside Wine; returns (exit code, stdout as text)."""
    done = subprocess.run(["wine", str(PROBE), *map(str, args)], capture_output=True,
                          timeout=timeout, env=wine_env(env))
    return done.returncode, done.stdout.decode("utf-8", "replace").strip()


def screenshot(name):
    """Saves the whole X screen as RESULTS/screenshots/NAME.png."""
    folder = RESULTS / "screenshots"
    folder.mkdir(parents=True, exist_ok=True)
    target = folder / f"{name}.png"
    subprocess.run(["import", "-window", "root", str(target)], check=True, timeout=60)
    return target


class Program:
    """One run of the program from its own temporary folder, laid out as the
    program ships: the exe, Languages\\ and License.txt, plus an optional
    settings file."""

    def __init__(self, ini_text=None, languages=True, env=None):
        self.folder = Path(tempfile.mkdtemp(prefix="vesk-e2e-"))
        shutil.copy2(DIST / "VeskColorPicker.exe", self.folder)
        if (DIST / "License.txt").exists():
            shutil.copy2(DIST / "License.txt", self.folder)
        if languages and (DIST / "Languages").is_dir():
            shutil.copytree(DIST / "Languages", self.folder / "Languages")
        if ini_text is not None:
            (self.folder / "VeskColorPicker.ini").write_text(ini_text, encoding="utf-8")
        self.env = env
        self.process = None

    def start(self):
        self.process = subprocess.Popen(["wine", str(self.folder / "VeskColorPicker.exe")],
                                        cwd=self.folder, env=wine_env(self.env),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self

    def wait_for_main_window(self, timeout_ms=30000):
        code, handle = probe("wait", MAIN_CLASS, MAIN_TITLE, timeout_ms, timeout=timeout_ms / 1000 + 30)
        return handle if code == 0 else None

    def close_main_window(self):
        code, _ = probe("close", MAIN_CLASS, MAIN_TITLE)
        return code == 0

    def wait_exit(self, timeout=30):
        return self.process.wait(timeout=timeout)

    def kill(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)

    def cleanup(self):
        self.kill()
        shutil.rmtree(self.folder, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.cleanup()
