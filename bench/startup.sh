#!/usr/bin/env bash
# Start-up of VeskColorPicker.exe against a minimal Win32 window program (the
# floor), both under the same Wine on a private Xvfb. The two start in turns
# (A B A B ...), so a busy moment of the machine falls on both alike. For
# each it prints the minimum and the median time from process start to a
# visible window, and to the window answering a message (painted and waiting
# in its event loop), and the program's ratio to the floor.
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
cp "$VESK_BUILD/windows/bench/startup/MinimalWindow.exe" "$work/"
timer="$VESK_BUILD/windows/bench/startup/StartupTimer.exe"
floor=("$(winepath -w "$work/MinimalWindow.exe")" MinimalWindow "Minimal Window")
program=("$(winepath -w "$work/VeskColorPicker.exe")" TFormMain "Vesk Color Picker")

# One warm-up run each, so both start from a warm file cache.
wine "$timer" 1 "${floor[@]}" "${program[@]}" >/dev/null 2>&1

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

wine "$timer" "$runs" "${floor[@]}" "${program[@]}" >"$work/times.txt" 2>/dev/null || { vesk_say "a run failed"; exit 1; }
python3 - "$work/times.txt" "$runs" <<'PY'
import statistics, sys
times = {1: ([], []), 2: ([], [])}
for line in open(sys.argv[1]):
    number, shown, answered = line.split()[:3]
    times[int(number)][0].append(float(shown))
    times[int(number)][1].append(float(answered))
print(f"{sys.argv[2]} runs each, alternating; ms from process start")
print(f"{'':20}{'visible min':>12}{'median':>9}{'answering min':>15}{'median':>9}")
for number, name in ((1, "minimal window"), (2, "Vesk Color Picker")):
    shown, answered = times[number]
    print(f"{name:20}{min(shown):12.1f}{statistics.median(shown):9.1f}"
          f"{min(answered):15.1f}{statistics.median(answered):9.1f}")
ratio = lambda f, i: f(times[2][i]) / f(times[1][i])
print(f"{'ratio':20}{ratio(min, 0):11.2f}x{ratio(statistics.median, 0):8.2f}x"
      f"{ratio(min, 1):14.2f}x{ratio(statistics.median, 1):8.2f}x")
PY
