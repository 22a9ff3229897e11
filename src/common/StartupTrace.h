#pragma once

// Marks on the way from the program's entry to its first painted frame, for
// bench/startup.sh --trace. Only a build configured with
// -DVESK_STARTUP_TRACE=ON keeps them (it defines VESK_STARTUP_TRACE); in
// every other build each call is an empty inline function, and the program
// reads no environment variable and writes nothing.

namespace StartupTrace {

#ifdef VESK_STARTUP_TRACE
// Notes the time of step, in milliseconds since the process was created.
void Mark(const char* step) noexcept;
// Called by the event loop before it waits: the first time the queue is
// empty, every window has painted its first frame, and the marks go to the
// file named by the environment variable VESK_STARTUP_TRACE_FILE.
void LoopWaiting() noexcept;
#else
inline void Mark(const char*) noexcept {}
inline void LoopWaiting() noexcept {}
#endif

} // namespace StartupTrace
