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
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"VESK_TRACE_FILE", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            for (int i = 0; i < traceCount; ++i) {
                char line[160];
                const int size =
                    std::snprintf(line, sizeof line, "%lld %s\n", traceEntries[i].Clock, traceEntries[i].Step);
                DWORD written = 0;
                if (size > 0)
                    ::WriteFile(file, line, static_cast<DWORD>(size), &written, nullptr);
            }
            ::CloseHandle(file);
        }
    }
    traceCount = 0;
}
