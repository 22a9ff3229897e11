#!/usr/bin/env bash
# Start-up and close of VeskColorPicker.exe beside a settings file of
# 400,000 sections (about 25 MB) that the program does not know, its own
# section last, under Wine on a private Xvfb. Prints the median time from
# process start to visible window, and from the close request to the end of
# the process (which saves the settings into that file).
#   bench/big-settings.sh [RUNS] [SECTIONS]
set -uo pipefail
source "$(dirname "$0")/../scripts/lib/env.sh"
cd "$VESK_ROOT"
runs=${1:-5}
sections=${2:-400000}

vesk_build windows >/dev/null || { vesk_say "the Windows build failed"; exit 1; }
trap 'vesk_stop_wine; vesk_stop_xvfb; rm -rf "$work"' EXIT
vesk_start_xvfb 24 || exit 1
vesk_wine_env
wineserver -p >/dev/null 2>&1

work=$(mktemp -d)
cp -r "$VESK_DIST"/. "$work/"
python3 - "$work/VeskColorPicker.ini" "$sections" <<'PY'
import sys
path, count = sys.argv[1], int(sys.argv[2])
with open(path, "w", newline="") as file:
    for i in range(count):
        file.write(f"[Foreign{i:06d}]\r\nKey{i % 97}=value {i:07d} of a section nobody reads\r\n")
    file.write("[Settings]\r\nLastColor=255\r\nTwoColorMode=1\r\n")
PY
size=$(stat -c %s "$work/VeskColorPicker.ini")
timer="$VESK_BUILD/windows/bench/startup/StartupTimer.exe"

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

times=$(wine "$timer" "$runs" "$(winepath -w "$work/VeskColorPicker.exe")" TFormMain "Vesk Color Picker") \
  || { vesk_say "a run did not show its window or did not end"; exit 1; }
echo "settings file:  $sections sections, $size bytes at the start, $(stat -c %s "$work/VeskColorPicker.ini") after"
echo "start:          $(cut -f2 <<<"$times" | median) ms (median of $runs)"
echo "close:          $(cut -f4 <<<"$times" | median) ms (median of $runs)"
