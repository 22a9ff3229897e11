// Only in a build with VESK_TRACE: the steps are kept in memory and written
// at the end of what is measured, so writing them does not slow it.

#include "common/Trace.h"

#include <windows.h>

#include <cstdio>

namespace {

struct TTraceEntry {
    LONGLONG Clock;
    const char* Step;
};

TTraceEntry traceEntries[512];
int traceCount = 0;
bool queueWasEmpty = false;

// Where the clock stood when the process was created, in its own units.
LONGLONG CreationClock() noexcept
{
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    LARGE_INTEGER clock{}, frequency{};
    ::QueryPerformanceCounter(&clock);
    ::GetSystemTimePreciseAsFileTime(&now);
    ::QueryPerformanceFrequency(&frequency);
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user))
        return clock.QuadPart;
    const auto ticks = [](const FILETIME& time) {
        return static_cast<LONGLONG>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    // 100 ns units since the creation, in clock units.
    return clock.QuadPart - (ticks(now) - ticks(created)) * frequency.QuadPart / 10000000;
}

// Made with the program's static objects, before wWinMain: the time before
// it is the loader's, mapping the exe and the DLLs it imports and running
// their start-up code. What a program closed before its queue was ever empty
// noted is written at the end.
struct TFirstPoint {
    TFirstPoint() noexcept { TracePoint("DLLs loaded, static objects"); }
    ~TFirstPoint()
    {
        if (!queueWasEmpty)
            TracePoint("ended before the queue was empty");
        TraceFlush();
    }
} firstPoint;

} // namespace

void TracePoint(const char* step) noexcept
{
    if (traceCount == static_cast<int>(sizeof traceEntries / sizeof traceEntries[0]))
        return;
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    traceEntries[traceCount++] = {now.QuadPart, step};
}

void TraceFlush() noexcept
{
    static const LONGLONG created = CreationClock();
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"VESK_TRACE_FILE", path, MAX_PATH);
    if (traceCount > 0 && length > 0 && length < MAX_PATH) {
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            for (int i = 0; i < traceCount; ++i) {
                const TTraceEntry& entry = traceEntries[i];
                const double sinceCreation =
                    1000.0 * static_cast<double>(entry.Clock - created) / static_cast<double>(frequency.QuadPart);
                char line[160];
                const int size =
                    std::snprintf(line, sizeof line, "%lld\t%.1f\t%s\n", entry.Clock, sinceCreation, entry.Step);
                DWORD written = 0;
                if (size > 0)
                    ::WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
            }
            ::CloseHandle(file);
        }
    }
    traceCount = 0;
}

void TraceQueueEmpty() noexcept
{
    if (queueWasEmpty)
        return;
    MSG message{};
    if (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
        return;
    queueWasEmpty = true;
    TracePoint("queue empty: first frame painted");
    TraceFlush();
}
