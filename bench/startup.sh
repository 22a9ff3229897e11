#!/usr/bin/env bash
# Start-up of VeskColorPicker.exe against a minimal Win32 window program (the
# floor), both under the same Wine on a private Xvfb. The programs start in
# turns (A B C A B C ...), so a busy moment of the machine falls on all
# alike. For each it prints the minimum and the median time from process
# start to a visible window, and to the window answering a message (painted
# and waiting in its event loop), and the ratio to the floor. The middle
# program is the minimal window with as many child controls of the same
# kinds as the main window has: the share of the controls alone.
#   bench/startup.sh [RUNS]
# With --trace the program is built once more with its start-up marks
# (-DVESK_TRACE=ON, in build/windows-trace) and the median time of
# each mark, from the process's creation, is printed instead.
#   bench/startup.sh --trace [RUNS]
set -uo pipefail
source "$(dirname "$0")/../scripts/lib/env.sh"
cd "$VESK_ROOT"
trace=0
if [ "${1:-}" = "--trace" ]; then
  trace=1
  shift
fi
runs=${1:-15}

vesk_build windows >/dev/null || { vesk_say "the Windows build failed"; exit 1; }
dist="$VESK_DIST"
if [ $trace = 1 ]; then
  tracebuild="$VESK_BUILD/windows-trace"
  if [ ! -f "$tracebuild/CMakeCache.txt" ]; then
    cmake -S . -B "$tracebuild" --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DVESK_TRACE=ON >/dev/null || exit 1
  fi
  cmake --build "$tracebuild" -j "$(nproc)" --target VeskColorPicker >/dev/null || exit 1
  dist="$tracebuild/dist"
fi

trap 'vesk_stop_wine; vesk_stop_xvfb; rm -rf "$work"' EXIT
work=$(mktemp -d)
vesk_start_xvfb 24 || exit 1
vesk_wine_env
wineserver -p >/dev/null 2>&1

cp -r "$dist"/. "$work/"
rm -f "$work/VeskColorPicker.ini"
cp "$VESK_BUILD/windows/bench/startup/MinimalWindow.exe" "$VESK_BUILD/windows/bench/startup/MinimalWindowWithControls.exe" "$work/"
timer="$VESK_BUILD/windows/bench/startup/StartupTimer.exe"
floor=("$(winepath -w "$work/MinimalWindow.exe")" MinimalWindow "Minimal Window")
controls=("$(winepath -w "$work/MinimalWindowWithControls.exe")" MinimalWindow "Minimal Window")
program=("$(winepath -w "$work/VeskColorPicker.exe")" TFormMain "Vesk Color Picker")

# One warm-up run each, so both start from a warm file cache.
wine "$timer" 1 "${floor[@]}" "${controls[@]}" "${program[@]}" >/dev/null 2>&1

if [ $trace = 1 ]; then
  export VESK_TRACE_FILE
  VESK_TRACE_FILE=$(winepath -w "$work/trace.txt")
  rm -f "$work/trace.txt"
  # Each run stays open a moment, so it reaches its empty queue before the
  # timer closes it.
  wine "$timer" --linger 500 "$runs" "${program[@]}" >"$work/times.txt" 2>/dev/null || { vesk_say "a run failed"; exit 1; }
  echo "start-up marks, ms from process creation (median of $runs runs):"
  python3 - "$work/trace.txt" <<'PY'
import statistics, sys
marks = {}
for line in open(sys.argv[1]):
    _, time, step = line.rstrip("\n").split("\t", 2)
    marks.setdefault(step, []).append(float(time))
previous = 0.0
for step, times in marks.items():
    median = statistics.median(times)
    print(f"{median:8.1f}  (+{median - previous:6.1f})  {step}")
    previous = median
PY
  exit 0
fi

wine "$timer" "$runs" "${floor[@]}" "${controls[@]}" "${program[@]}" >"$work/times.txt" 2>/dev/null || { vesk_say "a run failed"; exit 1; }
python3 - "$work/times.txt" "$runs" <<'PY'
import statistics, sys
names = {1: "minimal window", 2: "  with 16 controls", 3: "Vesk Color Picker"}
times = {number: ([], []) for number in names}
for line in open(sys.argv[1]):
    number, shown, answered = line.split()[:3]
    times[int(number)][0].append(float(shown))
    times[int(number)][1].append(float(answered))
print(f"{sys.argv[2]} runs each, alternating; ms from process start; ratios to the minimal window")
print(f"{'':20}{'visible min':>12}{'median':>9}{'ratio':>8}{'answering min':>15}{'median':>9}{'ratio':>8}")
for number, name in names.items():
    shown, answered = times[number]
    ratio = lambda values, i: statistics.median(values) / statistics.median(times[1][i])
    print(f"{name:20}{min(shown):12.1f}{statistics.median(shown):9.1f}{ratio(shown, 0):7.2f}x"
          f"{min(answered):15.1f}{statistics.median(answered):9.1f}{ratio(answered, 1):7.2f}x")
PY
