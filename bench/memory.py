"""Idle memory of VeskColorPicker.exe against the minimal window program,
both under the same Wine: the resident set (VmRSS) and the private memory
(Private_Clean + Private_Dirty) of the Linux process that runs each exe,
after the start, after 100 color edits, after the About window has been
opened and closed, and after each of ten eye-dropper runs (the hot key's
WM_HOTKEY id 10 posted to the main window, then Escape). Run it through
bench/memory.sh."""
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
from harness import MAIN_CLASS, MAIN_TITLE, Program, SeparateWine, probe, wine_env  # noqa: E402

SETTLE = 2.0  # seconds of idle before each reading
MINIMAL = Path(os.environ.get("VESK_MINIMAL_WINDOW", ROOT / "build/windows/bench/startup/MinimalWindow.exe"))


def memory_kib(pid):
    """(VmRSS, Private_Clean + Private_Dirty) of a Linux process, in KiB."""
    rss = private = 0
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            rss = int(line.split()[1])
    for line in Path(f"/proc/{pid}/smaps_rollup").read_text().splitlines():
        if line.startswith(("Private_Clean:", "Private_Dirty:")):
            private += int(line.split()[1])
    return rss, private


def check(result, what):
    code, text = result
    if code != 0:
        raise RuntimeError(f"{what} failed (probe exit code {code}) {text}")
    return text


def minimal_window(env):
    folder = Path(tempfile.mkdtemp(prefix="vesk-memory-"))
    try:
        shutil.copy2(MINIMAL, folder)
        process = subprocess.Popen(["wine", str(folder / MINIMAL.name)], cwd=folder, env=wine_env(env),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            check(probe("wait", "MinimalWindow", "Minimal Window", 30000, env=env, timeout=60), "the minimal window")
            time.sleep(SETTLE)
            return memory_kib(process.pid)
        finally:
            probe("close", "MinimalWindow", "Minimal Window", env=env)
            process.wait(timeout=30)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def program_readings(env):
    # No pointer speed taken from the system, which Wine gets wrong after a
    # run; no minimizing, so every run starts from the same window.
    readings = []
    with Program(ini_text="[Settings]\nDropperMouseSpeed=10\nMinimizeWhileUsingDropper=0\n", env=env) as program:
        program.start()
        if not program.wait_for_main_window():
            raise RuntimeError("the main window did not appear")
        pid = program.process.pid
        time.sleep(SETTLE)
        readings.append(("after start", memory_kib(pid)))

        # 100 edits: the three scroll bars of RGB in turn, each a new color.
        for row, count in ((1, 34), (2, 33), (3, 33)):
            positions = [(row * 37 + i * 53) % 256 for i in range(count)]
            check(program.probe("scrollburst", MAIN_CLASS, MAIN_TITLE, f"SBColorComponent{row}", 10, 0, *positions),
                  "the color edits")
        time.sleep(SETTLE)
        readings.append(("after 100 color edits", memory_kib(pid)))

        # The command returns while the About window's modal loop runs.
        program.command("MHelp_About")
        check(program.probe("wait", "TFormAbout", "*", 10000), "the About window")
        check(program.probe("close", "TFormAbout", "*"), "closing the About window")
        check(program.probe("gone", "TFormAbout", "*", 10000), "the About window's end")
        time.sleep(SETTLE)
        readings.append(("after the About window", memory_kib(pid)))

        for run in range(1, 11):
            check(program.probe("hotkey", MAIN_CLASS, MAIN_TITLE), "the hot key")
            check(program.probe("wait", "TFormSnapshot", "*", 10000), f"dropper run {run}")
            time.sleep(0.5)
            check(program.probe("key", "TFormZoom", "*", 0x1B), "Escape")
            check(program.probe("gone", "TFormSnapshot", "*", 10000), f"the end of dropper run {run}")
            time.sleep(SETTLE)
            readings.append((f"after dropper run {run}", memory_kib(pid)))
        program.close_main_window()
        program.wait_exit()
    return readings


def main():
    wine = SeparateWine()
    try:
        floor = minimal_window(wine.env)
        readings = program_readings(wine.env)
    finally:
        wine.close()

    mib = lambda kib: kib / 1024
    print(f"{'':28}{'RSS MiB':>9}{'private MiB':>13}")
    print(f"{'minimal window':28}{mib(floor[0]):9.1f}{mib(floor[1]):13.1f}")
    print("Vesk Color Picker")
    for name, (rss, private) in readings:
        print(f"  {name:26}{mib(rss):9.1f}{mib(private):13.1f}")
    rss, private = readings[0][1]
    print(f"after start against the floor: RSS {rss / floor[0]:.2f} x, private {private / floor[1]:.2f} x")
    runs = [reading for name, reading in readings if name.startswith("after dropper run")]
    print(f"dropper runs 2 to 10: RSS grew by {mib(runs[-1][0] - runs[1][0]):+.1f} MiB, "
          f"private by {mib(runs[-1][1] - runs[1][1]):+.1f} MiB")


if __name__ == "__main__":
    main()
