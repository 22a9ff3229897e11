// Only in a build with VESK_STARTUP_TRACE: the marks are kept in memory and
// written once, so writing them does not slow the start it measures.

#include "common/StartupTrace.h"

#include <windows.h>

#include <cstdio>

namespace {

struct TMark {
    const char* Step;
    ULONGLONG Time; // 100 ns units of the system clock
};

TMark g_marks[64];
int g_count = 0;
bool g_written = false;

ULONGLONG Now() noexcept
{
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

void Write() noexcept
{
    g_written = true;
    wchar_t fileName[MAX_PATH]{};
    if (::GetEnvironmentVariableW(L"VESK_STARTUP_TRACE_FILE", fileName, MAX_PATH) == 0)
        return;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user))
        return;
    const ULONGLONG start = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    FILE* file = ::_wfopen(fileName, L"a");
    if (!file)
        return;
    for (int i = 0; i < g_count; ++i)
        std::fprintf(file, "%.1f\t%s\n", static_cast<double>(g_marks[i].Time - start) / 10000.0, g_marks[i].Step);
    std::fclose(file);
}

} // namespace

namespace StartupTrace {

namespace {

// Made with the program's static objects, before wWinMain: the time before
// it is the loader's, mapping the exe and the DLLs it imports and running
// their start-up code. A program closed before its queue was ever empty
// writes its marks at the end.
struct TFirstMark {
    TFirstMark() noexcept { Mark("DLLs loaded, static objects"); }
    ~TFirstMark()
    {
        if (!g_written) {
            Mark("ended before the queue was empty");
            Write();
        }
    }
} g_firstMark;

} // namespace

void Mark(const char* step) noexcept
{
    if (!g_written && g_count < static_cast<int>(sizeof g_marks / sizeof g_marks[0]))
        g_marks[g_count++] = {step, Now()};
}

void LoopWaiting() noexcept
{
    if (g_written)
        return;
    MSG message{};
    if (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE))
        return;
    Mark("queue empty: first frame painted");
    Write();
}

} // namespace StartupTrace
