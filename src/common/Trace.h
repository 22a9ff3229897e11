#pragma once

// Time stamps of the program's steps for the benchmarks: the start-up
// (bench/startup.sh --trace) and the dropper runs (bench/hotkey.sh --trace).
// Only a build configured with -DVESK_TRACE=ON records them; in the program
// as it ships every function is empty, and it reads no environment variable
// and writes nothing.

#ifdef VESK_TRACE
// Notes the clock and the step; `step` must be a string literal. Allocates
// nothing, so it may sit on any path.
void TracePoint(const char* step) noexcept;
// Appends the steps noted so far to the file that the environment variable
// VESK_TRACE_FILE names, one line each ("<QueryPerformanceCounter>\t<ms since
// the process was created>\t<step>"), and forgets them.
void TraceFlush() noexcept;
// Called by the event loop before it waits: the first time the queue is
// empty, every window has painted its first frame; that is noted and the
// start-up's steps are written.
void TraceQueueEmpty() noexcept;
#else
inline void TracePoint(const char*) noexcept {}
inline void TraceFlush() noexcept {}
inline void TraceQueueEmpty() noexcept {}
#endif
