#!/usr/bin/env bash
# Start-up of VeskColorPicker.exe against a minimal Win32 window program,
# both under the same Wine on a private Xvfb: prints each side's median
# time from process start to visible window, and their ratio.
#   bench/startup.sh [RUNS]
set -uo pipefail
source "$(dirname "$0")/../scripts/lib/env.sh"
cd "$VESK_ROOT"
runs=${1:-15}

vesk_build windows >/dev/null || { vesk_say "the Windows build failed"; exit 1; }
trap 'vesk_stop_wine; vesk_stop_xvfb' EXIT
vesk_start_xvfb 24 || exit 1
vesk_wine_env
wineserver -p >/dev/null 2>&1

work=$(mktemp -d)
cp -r "$VESK_DIST"/. "$work/"
rm -f "$work/VeskColorPicker.ini"
cp "$VESK_BUILD/windows/bench/startup/MinimalWindow.exe" "$work/"
timer="$VESK_BUILD/windows/bench/startup/StartupTimer.exe"

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One warm-up run each, so both start from a warm file cache.
wine "$timer" 1 "$(winepath -w "$work/MinimalWindow.exe")" MinimalWindow "Minimal Window" >/dev/null
wine "$timer" 1 "$(winepath -w "$work/VeskColorPicker.exe")" TFormMain "Vesk Color Picker" >/dev/null

floor=$(wine "$timer" "$runs" "$(winepath -w "$work/MinimalWindow.exe")" MinimalWindow "Minimal Window" | median)
program=$(wine "$timer" "$runs" "$(winepath -w "$work/VeskColorPicker.exe")" TFormMain "Vesk Color Picker" | median)
rm -rf "$work"

echo "minimal window:     $floor ms (median of $runs)"
echo "Vesk Color Picker:  $program ms (median of $runs)"
awk -v p="$program" -v f="$floor" 'BEGIN { printf "ratio:              %.2f x the floor\n", p / f }'
