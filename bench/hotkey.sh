#!/usr/bin/env bash
# The time from the global hot key to the visible zoom window, against one
# copy of the whole desktop into a DIB section (the floor), both measured
# inside the same Wine on a private Xvfb by HotkeyTimer: prints min and
# median of each side and the ratio of the medians.
#   bench/hotkey.sh [RUNS] [--trace] [KEY=VALUE ...]
# KEY=VALUE lines go into the [Settings] of the program's settings file (for
# example MinimizeWhileUsingDropper=0). --trace builds the program once more with VESK_TRACE=ON (in
# build/windows-trace; the program as it ships has no trace) and adds where
# the time of a run goes: each step's median time after the hot key message
# was posted.
set -uo pipefail
source "$(dirname "$0")/../scripts/lib/env.sh"
cd "$VESK_ROOT"
runs=15
trace=
settings=()
for argument in "$@"; do
  case $argument in
    --trace) trace=1 ;;
    *=*) settings+=("$argument") ;;
    *) runs=$argument ;;
  esac
done

vesk_build windows >/dev/null || { vesk_say "the Windows build failed"; exit 1; }
exe="$VESK_DIST/VeskColorPicker.exe"
if [ -n "$trace" ]; then
  if [ ! -f "$VESK_BUILD/windows-trace/CMakeCache.txt" ]; then
    cmake -S . -B "$VESK_BUILD/windows-trace" -DCMAKE_TOOLCHAIN_FILE="$VESK_ROOT/cmake/mingw-w64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DVESK_TRACE=ON >/dev/null || exit 1
  fi
  cmake --build "$VESK_BUILD/windows-trace" --target VeskColorPicker -j "$(nproc)" >/dev/null \
    || { vesk_say "the trace build failed"; exit 1; }
  exe="$VESK_BUILD/windows-trace/dist/VeskColorPicker.exe"
fi

trap 'vesk_stop_wine; vesk_stop_xvfb; rm -rf "${work:-}"' EXIT
vesk_start_xvfb 24 || exit 1
vesk_wine_env || exit 1
# A copy of the prefix: Wine keeps a wrong pointer speed after a run sets it
# back, which must not reach the shared prefix.
work=$(mktemp -d)
cp -a "$WINEPREFIX" "$work/prefix"
export WINEPREFIX="$work/prefix"
wineserver -p >/dev/null 2>&1

mkdir "$work/program"
cp -r "$VESK_DIST"/. "$work/program/"
cp "$exe" "$work/program/VeskColorPicker.exe"
# The settings a user starts with, but for the pointer speed (see above).
printf '[Settings]\r\nDropperMouseSpeed=10\r\n' >"$work/program/VeskColorPicker.ini"
for setting in "${settings[@]}"; do printf '%s\r\n' "$setting" >>"$work/program/VeskColorPicker.ini"; done
timer="$VESK_BUILD/windows/bench/dropper/HotkeyTimer.exe"
if [ -n "$trace" ]; then
  export VESK_TRACE_FILE
  VESK_TRACE_FILE=$(winepath -w "$work/trace.txt" 2>/dev/null)
fi

# One warm-up run (file cache, fonts, the first window classes), then the runs.
wine "$timer" 1 "$(winepath -w "$work/program/VeskColorPicker.exe")" >/dev/null 2>&1
rm -f "$work/trace.txt"
wine "$timer" "$runs" "$(winepath -w "$work/program/VeskColorPicker.exe")" 2>/dev/null | tr -d '\r' >"$work/runs.txt"
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || { vesk_say "HotkeyTimer failed ($status)"; exit 1; }

stats() { sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f %.1f", v[1], m }'; }
read -r hotMin hotMedian < <(grep -v '^#' "$work/runs.txt" | awk '{ print $1 }' | stats)
read -r copyMin copyMedian < <(grep -v '^#' "$work/runs.txt" | awk '{ print $2 }' | stats)
read -r newMin newMedian < <(grep -v '^#' "$work/runs.txt" | awk '{ print $4 }' | stats)
echo "desktop copy (floor):   min $copyMin ms, median $copyMedian ms ($runs runs)"
echo "  into a new section:   min $newMin ms, median $newMedian ms"
echo "hot key to zoom window: min $hotMin ms, median $hotMedian ms"
awk -v p="$hotMedian" -v f="$copyMedian" 'BEGIN { printf "ratio of the medians:   %.1f x the floor\n", p / f }'
awk '/^# private_kb/ { printf "private memory:         %d KB after the first run, %d KB after the last\n", $3, $4 }' "$work/runs.txt"

if [ -n "$trace" ]; then
  # Each trace line: clock, ms since the process began, step, in the order
  # the program noted them. A
  # run's steps are the ones after its post; a step's time is its clock
  # minus the post's, and what it took the clock minus the step before it's.
  frequency=$(awk '/^# frequency/ { print $3 }' "$work/runs.txt")
  echo "where the time goes, medians over $runs runs (ms after the post, ms since the step before):"
  awk -v f="$frequency" '
    function median(name, c,    i, j, x) {
      for (i = 1; i <= c; ++i) v[i] = values[name, i]
      for (i = 2; i <= c; ++i) { x = v[i]; for (j = i - 1; j >= 1 && v[j] > x; --j) v[j + 1] = v[j]; v[j + 1] = x }
      return (c % 2) ? v[(c + 1) / 2] : (v[c / 2] + v[c / 2 + 1]) / 2
    }
    FNR == NR { if ($1 != "#") posts[++n] = $3; next }
    {
      clock = $1; step = $0; sub(/^[^\t]*\t[^\t]*\t/, "", step)
      run = 0
      for (i = 1; i <= n; ++i) if (posts[i] <= clock) run = i
      if (run == 0) next
      previous = (run == lastRun) ? lastClock : posts[run]
      lastRun = run; lastClock = clock
      if (!(step in count)) { names[++steps] = step; count[step] = 0 }
      c = ++count[step]
      values["at " step, c] = 1000 * (clock - posts[run]) / f
      values["took " step, c] = 1000 * (clock - previous) / f
    }
    END {
      for (s = 1; s <= steps; ++s)
        printf "  %8.1f %8.1f  %s\n", median("at " names[s], count[names[s]]), median("took " names[s], count[names[s]]), names[s]
    }' "$work/runs.txt" "$work/trace.txt"
fi
