#pragma once

// Time stamps of the steps of a dropper run, for the hot key benchmark
// (bench/hotkey.sh --trace). Only a build configured with -DVESK_TRACE=ON
// records them; in the program as it ships both functions are empty.

#ifdef VESK_TRACE
// Notes the clock (QueryPerformanceCounter) and the step; `step` must be a
// string literal. Allocates nothing, so it may sit on any path.
void TracePoint(const char* step) noexcept;
// Appends the steps noted so far, one line each ("<clock> <step>"), to the
// file that the environment variable VESK_TRACE_FILE names, and forgets them.
void TraceFlush() noexcept;
#else
inline void TracePoint(const char*) noexcept {}
inline void TraceFlush() noexcept {}
#endif
