# Shared by scripts/run and scripts/test: the packages a fresh Debian 12
# machine needs, a private X display and a private Wine prefix.
# shellcheck shell=bash

VESK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
VESK_BUILD="$VESK_ROOT/build"
VESK_DIST="$VESK_BUILD/windows/dist"

vesk_say() { printf '%s: %s\n' "$(basename "$0")" "$*" >&2; }

# Installs whichever of the named Debian packages are missing. Exits with a
# clear message when apt-get cannot install them.
vesk_require_packages() {
  local missing=() package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  vesk_say "installing ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  if ! "${sudo[@]}" apt-get update -qq >/dev/null \
    || ! DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    vesk_say "could not install: ${missing[*]}"
    vesk_say "install them by hand (apt-get install ${missing[*]}) and run again"
    exit 1
  fi
}

VESK_BUILD_PACKAGES=(cmake make g++ googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 python3 clang-format)
# Xorg with the dummy video driver and xrandr: the two-monitor tests' X server.
VESK_RUN_PACKAGES=(wine wine64 fonts-wine xvfb xauth x11-utils xdotool xclip imagemagick locales-all
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils)

# Configures (once) and builds one preset.
vesk_build() {
  local preset=$1
  if [ ! -f "$VESK_BUILD/$preset/CMakeCache.txt" ]; then
    cmake --preset "$preset" >/dev/null || return 1
  fi
  cmake --build --preset "$preset" -j "$(nproc)"
}

# Starts Xvfb on the first free display and exports DISPLAY. The server is
# ended when the script exits.
vesk_start_xvfb() {
  local depth=${1:-24} n
  for n in $(seq 90 160); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "1280x1024x$depth" -nolisten tcp >/dev/null 2>&1 &
    VESK_XVFB_PID=$!
    local tries=0
    while [ ! -e "/tmp/.X11-unix/X$n" ]; do
      sleep 0.1
      tries=$((tries + 1))
      if ! kill -0 "$VESK_XVFB_PID" 2>/dev/null || [ $tries -gt 100 ]; then
        continue 2
      fi
    done
    export DISPLAY=":$n"
    return 0
  done
  vesk_say "no free X display for Xvfb"
  return 1
}

vesk_stop_xvfb() {
  if [ -n "${VESK_XVFB_PID:-}" ]; then
    kill "$VESK_XVFB_PID" 2>/dev/null
    wait "$VESK_XVFB_PID" 2>/dev/null
    VESK_XVFB_PID=
  fi
}

# The version of the prefix's make-up below. A prefix made by an older
# script (another number, or none) is made again.
VESK_PREFIX_VERSION=2

# A Wine prefix of our own inside the build folder, made once and reused.
# Mono and Gecko are not wanted: the program needs neither.
vesk_wine_env() {
  export WINEPREFIX="$VESK_BUILD/windows/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$(cat "$WINEPREFIX/vesk-ready" 2>/dev/null)" != "$VESK_PREFIX_VERSION" ]; then
    wineserver -k >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # Wine draws texts with whatever fonts it finds. Without its own Tahoma,
    # Marlett and MS Sans Serif in the prefix it falls back to the host's
    # fonts (menus in DejaVu, caption buttons as letters), and every machine
    # would show other pictures and other menu bar widths.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null
    if [ ! -f "$fonts/tahoma.ttf" ] || [ ! -f "$fonts/marlett.ttf" ]; then
      vesk_say "Wine's fonts are missing from /usr/share/wine/fonts (package fonts-wine)"
      return 1
    fi
    # A Wine virtual desktop draws real Windows frames (title bar, menu bar,
    # caption buttons) with no X window manager, so screenshots show the
    # windows as Windows users see them.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
    wineserver -w
    echo "$VESK_PREFIX_VERSION" >"$WINEPREFIX/vesk-ready"
  fi
}

vesk_stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
  return 0
}
