"""Two monitors for the end-to-end tests: a headless Xorg with the dummy video
driver and two RandR outputs, which Wine sees as two monitors, and a Wine
prefix of its own on it.

Wine puts the primary monitor at 0,0 and the other one where the X layout
puts it, here at negative coordinates:

    left:    1920 x 1080 at (-1920, 0)     X root (0, 0)
    primary: 1280 x 1024 at (0, 0)         X root (1920, 0)

so an X root position is the Win32 position plus (1920, 0). Below the
primary, Win32 rows 1024 to 1079 of the virtual desktop lie on no monitor.
The primary's work area leaves 40 pixels for a taskbar at its bottom.

Needs the Debian packages xserver-xorg-core, xserver-xorg-video-dummy and
x11-xserver-utils (xrandr, xsetroot), and the right to start Xorg (root).
The prefix is a copy of the suite's, without its virtual desktop and with
Wine's bitmap fonts.
Whatever fails while the server or Wine starts raises, so the tests that
need the two monitors fail rather than skip."""
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

from harness import PROBE, RESULTS, copy_prefix, screenshot_area, start_wineserver, stop_wineserver, wait_for, wine_env

XORG = Path("/usr/lib/xorg/Xorg")
DUMMY_DRIVER = Path("/usr/lib/xorg/modules/drivers/dummy_drv.so")

# Win32 rectangles (left, top, right, bottom).
PRIMARY = (0, 0, 1280, 1024)
LEFT = (-1920, 0, 0, 1080)
VIRTUAL_DESKTOP = (-1920, 0, 1280, 1080)
TASKBAR = 40
ROOT_OFFSET = (1920, 0)  # X root = Win32 + this


def _size(rect):
    return rect[2] - rect[0], rect[3] - rect[1]


def _mode_name(rect):
    return "vesk%dx%d" % _size(rect)


def _modeline(rect):
    """A plain 60 Hz mode; the dummy output takes any that its clock range
    allows (Xorg drops reduced-blanking timings the monitor does not claim)."""
    width, height = _size(rect)
    clock = (width + 280) * (height + 45) * 60 / 1e6
    return (f'    Modeline "{_mode_name(rect)}" {clock:.2f} {width} {width + 88} {width + 132} {width + 280} '
            f"{height} {height + 4} {height + 9} {height + 45} +hsync +vsync\n")


def _xorg_conf():
    root_width, root_height = _size(VIRTUAL_DESKTOP)
    video_ram = root_width * root_height * 4 // 1024 + 16384  # kB, the whole root picture and some
    return f"""Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "vesk-device"
    Driver "dummy"
    VideoRam {video_ram}
    DacSpeed 2000
EndSection
Section "Monitor"
    Identifier "vesk-monitor"
    HorizSync 1.0 - 10000.0
    VertRefresh 1.0 - 1000.0
{_modeline(PRIMARY)}{_modeline(LEFT)}EndSection
Section "Screen"
    Identifier "vesk-screen"
    Device "vesk-device"
    Monitor "vesk-monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "{_mode_name(PRIMARY)}" "{_mode_name(LEFT)}"
        Virtual {root_width} {root_height}
    EndSubSection
EndSection
"""


def _root(x, y):
    return x + ROOT_OFFSET[0], y + ROOT_OFFSET[1]


class TwoMonitorWine:
    """The X server and the Wine prefix, from the constructor until close().
    ENV is the environment for Program(env=...) and probe(env=...)."""

    def __init__(self):
        self.root = Path(tempfile.mkdtemp(prefix="vesk-e2e-two-monitors-"))
        self.xorg = None
        self.env = None
        try:
            self._start_xorg()
            self._place_monitors()
            self._make_prefix()
            self._start_wine()
        except BaseException:
            self.close()
            raise

    def _start_xorg(self):
        for path, package in ((XORG, "xserver-xorg-core"), (DUMMY_DRIVER, "xserver-xorg-video-dummy")):
            if not path.exists():
                raise RuntimeError(f"{path} is missing: the two-monitor tests need the package {package}")
        config = self.root / "xorg.conf"
        config.write_text(_xorg_conf())
        # A folder of our own, so no configuration of the machine comes in.
        (self.root / "xorg.conf.d").mkdir()
        log = self.root / "Xorg.log"
        for number in range(100, 200):
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            server = subprocess.Popen([str(XORG), f":{number}", "-config", str(config), "-configdir",
                                       str(self.root / "xorg.conf.d"), "-logfile", str(log), "-noreset", "-nolisten",
                                       "tcp", "-novtswitch"], cwd=self.root, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
            ready = lambda: subprocess.run(["xdpyinfo", "-display", f":{number}"], stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL).returncode == 0
            wait_for(lambda: server.poll() is not None or ready(), timeout=20, interval=0.2)
            if server.poll() is None and ready():
                self.xorg = server
                self.display = f":{number}"
                return
            if server.poll() is None:
                server.kill()
            server.wait(timeout=10)
            text = log.read_text(errors="replace") if log.exists() else ""
            if "already active" not in text:
                raise RuntimeError(f"Xorg with the dummy driver did not start on :{number}; its log:\n{text[-3000:]}")
            # Taken by someone else in the meantime: try the next one.
        raise RuntimeError("no free X display for Xorg")

    def x(self, *args):
        subprocess.run(list(map(str, args)), check=True, timeout=60, env={**os.environ, "DISPLAY": self.display},
                       stdout=subprocess.DEVNULL)

    def _place_monitors(self):
        root_width, root_height = _size(VIRTUAL_DESKTOP)
        # The first output is connected from the start; the second gets its mode.
        self.x("xrandr", "--addmode", "DUMMY1", _mode_name(LEFT))
        self.x("xrandr", "--fb", f"{root_width}x{root_height}",
               "--output", "DUMMY0", "--mode", _mode_name(PRIMARY), "--pos", "%dx%d" % _root(*PRIMARY[:2]), "--primary",
               "--output", "DUMMY1", "--mode", _mode_name(LEFT), "--pos", "%dx%d" % _root(*LEFT[:2]))
        # A full query, which makes the server look at its outputs again:
        # Wine asks only for what the server already knows, and until this
        # query that is the first output alone.
        self.x("xrandr", "--query")
        # No monitor shows the root's corner below the primary; a plain gray
        # there, distinct from every test picture.
        self.x("xsetroot", "-solid", "#404040")
        # Wine reads the work areas from these when it starts: one rectangle
        # per monitor in root coordinates, the primary's without its taskbar.
        areas = []
        for rect, reserved in ((PRIMARY, TASKBAR), (LEFT, 0)):
            width, height = _size(rect)
            areas += [*_root(*rect[:2]), width, height - reserved]
        self.x("xprop", "-root", "-f", "_GTK_WORKAREAS_D0", "32c", "-set", "_GTK_WORKAREAS_D0",
               ",".join(map(str, areas)))
        self.x("xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA",
               f"0,0,{root_width},{root_height}")

    def _make_prefix(self):
        """A copy of the suite's prefix without its Wine virtual desktop: in
        one, Wine shows a single monitor of the desktop's size."""
        prefix = self.root / "prefix"
        copy_prefix(prefix)
        # No wineserver runs for the copy yet, so its registry file can be
        # edited in place.
        user_reg = prefix / "user.reg"
        lines, section = [], None
        for line in user_reg.read_text(encoding="utf-8", errors="surrogateescape").split("\n"):
            if line.startswith("["):
                section = line.split("]")[0] + "]"
            if section == r"[Software\\Wine\\Explorer]" and line.startswith('"Desktop"='):
                continue
            lines.append(line)
        user_reg.write_text("\n".join(lines), encoding="utf-8", errors="surrogateescape")
        # Wine's bitmap fonts, MS Sans Serif among them, as every Windows has
        # them: the zoom window writes its values in MS Sans Serif. Without
        # it Wine takes a wider face, and the longest coordinates of these
        # monitors ("Screen = [-1916, 1077]") run past the values panel.
        fonts = prefix / "drive_c" / "windows" / "Fonts"
        bitmap_fonts = sorted(Path("/usr/share/wine/fonts").glob("*.fon"))
        if not bitmap_fonts:
            raise RuntimeError("Wine's bitmap fonts are missing from /usr/share/wine/fonts (package fonts-wine)")
        for font in bitmap_fonts:
            shutil.copy2(font, fonts)
        self.env = {"DISPLAY": self.display, "WINEPREFIX": str(prefix)}

    def _start_wine(self):
        start_wineserver(self.env)
        # The first Wine process starts the desktop, which reads the monitors
        # from the X server; a process that starts alongside may still get
        # those of the copied prefix (one virtual desktop). They must come to
        # be the two above, or every test of them would be wrong.
        expected = " ".join(map(str, [*PRIMARY, *PRIMARY[:3], PRIMARY[3] - TASKBAR, *LEFT, *LEFT]))
        seen = []

        def monitors():
            with tempfile.TemporaryFile() as output:
                code = subprocess.run(["wine", str(PROBE), "monitors"], env=wine_env(self.env), timeout=180,
                                      stdout=output, stderr=subprocess.DEVNULL).returncode
                output.seek(0)
                seen.append((code, " ".join(output.read().decode(errors="replace").split())))
            return seen[-1] == (0, expected)

        if not wait_for(monitors, timeout=60, interval=0.5):
            raise RuntimeError(f"Wine sees the monitors {seen[-1][1]!r} (probe exit code {seen[-1][0]}), "
                               f"not {expected!r}")

    # The pointer and the keys, in Win32 coordinates.

    def move_pointer(self, x, y):
        # Two steps, so the program sees a move even when the pointer was
        # already there.
        self.x("xdotool", "mousemove", *_root(x + 1, y))
        time.sleep(0.1)
        self.x("xdotool", "mousemove", *_root(x, y))
        time.sleep(0.3)

    def click(self):
        self.x("xdotool", "click", "1")

    def keys(self, *names):
        for name in names:
            time.sleep(0.3)
            self.x("xdotool", "key", name)
        time.sleep(0.3)

    def screenshot(self, name, rect):
        """Saves the Win32 rectangle of the screen as RESULTS/screenshots/NAME.png."""
        left, top = _root(*rect[:2])
        right, bottom = _root(*rect[2:])
        return screenshot_area(name, left, top, right, bottom, env=self.env)

    def close(self):
        try:
            if self.env:
                stop_wineserver(self.env)
        finally:
            if self.xorg and self.xorg.poll() is None:
                self.xorg.terminate()
                try:
                    self.xorg.wait(timeout=20)
                except subprocess.TimeoutExpired:
                    self.xorg.kill()
                    self.xorg.wait(timeout=10)
            log = self.root / "Xorg.log"
            if log.exists():
                RESULTS.mkdir(parents=True, exist_ok=True)
                shutil.copy2(log, RESULTS / "two-monitors-Xorg.log")
            shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
