#!/usr/bin/env bash
# Idle memory of VeskColorPicker.exe beside the minimal Win32 window program
# under the same Wine: the resident set and the private memory of the Linux
# process that runs each, after the start, after 100 color edits, after the
# About window, and after each of ten eye-dropper runs (bench/memory.py).
# The runs use a copy of the Wine prefix on an X display of their own.
#   bench/memory.sh
set -uo pipefail
source "$(dirname "$0")/../scripts/lib/env.sh"
cd "$VESK_ROOT"

vesk_build windows >/dev/null || { vesk_say "the Windows build failed"; exit 1; }
trap 'vesk_stop_wine; vesk_stop_xvfb' EXIT
vesk_start_xvfb 24 || exit 1
vesk_wine_env || exit 1
VESK_DIST="$VESK_DIST" VESK_PROBE="$VESK_BUILD/windows/tests/VeskProbe.exe" \
  VESK_MINIMAL_WINDOW="$VESK_BUILD/windows/bench/startup/MinimalWindow.exe" python3 bench/memory.py
